#include "script/ProtocolNumbers.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>
#include <random>
#include <sstream>
#include <string>

namespace Marrowvane
{
namespace
{

// What the protocol means by a float field: strtof, with no conversion or
// ERANGE as failure.
std::optional<float> ReferenceFloat(const std::string& text)
{
    errno = 0;
    char* end = nullptr;
    const float value = std::strtof(text.c_str(), &end);
    if (end == text.c_str() || errno == ERANGE)
    {
        return std::nullopt;
    }
    return value;
}

// And by an integer field: strtol in base 10, within 32 bits.
std::optional<std::int32_t> ReferenceInt(const std::string& text)
{
    errno = 0;
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (end == text.c_str() || errno == ERANGE || value < INT32_MIN || value > INT32_MAX)
    {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(value);
}

std::uint32_t Bits(float value)
{
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

void ExpectSameAsStrtof(const std::string& text)
{
    const std::optional<float> expected = ReferenceFloat(text);
    float value = 42.0f;
    const bool parsed = ParseFloatField(text, value);
    ASSERT_EQ(parsed, expected.has_value()) << "field [" << text << "]";
    if (!parsed)
    {
        EXPECT_EQ(value, 42.0f) << "a failed parse leaves the value alone: [" << text << "]";
        return;
    }
    if (std::isnan(*expected))
    {
        EXPECT_TRUE(std::isnan(value)) << text;
        EXPECT_EQ(std::signbit(value), std::signbit(*expected)) << text;
    }
    else
    {
        EXPECT_EQ(Bits(value), Bits(*expected))
            << "field [" << text << "] gave " << value << ", strtof " << *expected;
    }
}

TEST(ProtocolNumbers, FloatFieldsReadAsStrtofReadsThem)
{
    const char* const cases[] = {
        // the protocol's own examples
        "12.5px",
        " 3",
        "10",
        "0",
        "255",
        "-1",
        // signs, points, white space of the C locale
        "+12",
        "-0",
        "+0",
        "-0.0",
        ".5",
        "+.5",
        "-.5",
        "5.",
        ".",
        "",
        "-",
        "+",
        "+-1",
        "- 1",
        " \t\n\v\f\r7",
        " \r1.5",
        "1.5\r",
        "1,5",
        "1_000",
        "2.5.3",
        "0000000000000000000001.5",
        "1.00000000000000000000",
        // exponents
        "e5",
        "1e5",
        "1E-3",
        "1e",
        "1e+",
        "1e-",
        "4.2e1",
        "-.5e-3",
        "1.5e3x",
        "1e0",
        "7E+2",
        // hexadecimal, inf, nan
        "0x10",
        "0x1p3",
        "0X1P-2",
        "0x",
        "0xg",
        "-0x1.8p1",
        "0x.8",
        "inf",
        "-INF",
        "infinity",
        "Infinity",
        "infinit",
        "nan",
        "-nan",
        "NaN(123)",
        "nan(",
        "nanx",
        // range: overflow and underflow fail, exact zero does not
        "1e39",
        "-1e39",
        "3.4028235e38",
        "3.4028236e38",
        "3.40282357e38",
        "1e-39",
        "1e-45",
        "1e-46",
        "1e-50",
        "0e-999",
        "0e999",
        "1.17549435e-38",
        "1.1754942e-38",
        "0x1p-149",
        "0x1p-150",
        "0x1.8p-149",
        // rounding at the edge of the fast path
        "16777216",
        "16777217",
        "16777218",
        "16777219",
        "99999999",
        "999999999",
        "0.1",
        "0.2",
        "0.3",
        "0.0166667",
        "0.016666668",
        "123456.7",
        "1234567.8",
        "12345678.9",
        "0.00000000001",
        "0.0000000001",
        "0.000000001",
        "1234567890",
        "0.1234567890123",
        "3.14159265358979323846",
        "1.0000001",
        "1.00000005",
        "1.000000059604644775390625",
        "1.00000005960464477539062500001",
        "8388608.5",
        "8388609.5",
        "0.5000000000",
        "0.50000000000",
        "0.00000001",
        "0.000000012345678",
        "7.038531e-26",
    };
    for (const char* text : cases)
    {
        ExpectSameAsStrtof(text);
    }
}

TEST(ProtocolNumbers, LongFloatFieldsAlsoMatchStrtof)
{
    ExpectSameAsStrtof("0." + std::string(400, '0') + "1");
    ExpectSameAsStrtof(std::string(300, '9'));
    ExpectSameAsStrtof("1." + std::string(300, '0') + "1");
    ExpectSameAsStrtof(std::string(200, ' ') + "2.5");
    ExpectSameAsStrtof("0.1" + std::string(1000, '0') + "e-1");
}

TEST(ProtocolNumbers, RandomDecimalFieldsMatchStrtof)
{
    std::mt19937 random(20240611u);
    std::uniform_int_distribution<int> digitCount(1, 12);
    std::uniform_int_distribution<int> digit(0, 9);
    std::uniform_int_distribution<int> choice(0, 9);
    for (int i = 0; i < 200000; ++i)
    {
        std::string text;
        if (choice(random) == 0)
        {
            text += choice(random) < 5 ? '-' : '+';
        }
        const int integerDigits = digitCount(random) - 3;
        for (int d = 0; d < integerDigits; ++d)
        {
            text += static_cast<char>('0' + digit(random));
        }
        if (choice(random) < 7)
        {
            text += '.';
            const int fractionDigits = digitCount(random);
            for (int d = 0; d < fractionDigits; ++d)
            {
                text += static_cast<char>('0' + digit(random));
            }
        }
        if (choice(random) == 0)
        {
            text += "e" + std::to_string(choice(random) * 9 - 40);
        }
        ExpectSameAsStrtof(text);
        if (HasFailure())
        {
            return;
        }
    }
}

TEST(ProtocolNumbers, IntegerFieldsReadAsStrtolReadsThem)
{
    const char* const cases[] = {
        "3.7",
        "+12",
        "0x10",
        "-1",
        "300",
        "256",
        "0",
        "-0",
        "00012",
        " \t42",
        "42abc",
        "2147483647",
        "2147483648",
        "-2147483648",
        "-2147483649",
        "4294967296",
        "99999999999999999999",
        "-99999999999999999999",
        "",
        " ",
        "+",
        "-",
        "a",
        "+-3",
        "- 3",
        "\r5",
        "5\r",
        "1e3",
        "\xef\xbc\x90",
    };
    for (const char* text : cases)
    {
        const std::optional<std::int32_t> expected = ReferenceInt(text);
        std::int32_t value = 77;
        const bool parsed = ParseIntField(text, value);
        ASSERT_EQ(parsed, expected.has_value()) << "field [" << text << "]";
        EXPECT_EQ(value, parsed ? *expected : 77) << "field [" << text << "]";
    }
}

TEST(ProtocolNumbers, FieldsEndAtTheirViewNotAtTheLine)
{
    // A field is a view into a longer line: the digits after it are not its.
    const std::string line = "12|34";
    float number = 0.0f;
    std::int32_t integer = 0;
    ASSERT_TRUE(ParseFloatField(std::string_view(line).substr(0, 2), number));
    EXPECT_EQ(number, 12.0f);
    ASSERT_TRUE(ParseIntField(std::string_view(line).substr(0, 1), integer));
    EXPECT_EQ(integer, 1);
    // And the slow path copies only the field too.
    ASSERT_TRUE(ParseFloatField(std::string_view("1e5|1").substr(0, 2), number));
    EXPECT_EQ(number, 1.0f);
}

TEST(ProtocolNumbers, DefaultNotationIsThatOfAStream)
{
    struct Case
    {
        float value;
        const char* text;
    };
    const Case examples[] = {
        {0.016666668f, "0.0166667"},
        {0.05f, "0.05"},
        {0.0f, "0"},
        {0.00001f, "1e-05"},
        {1.0f / 60.0f, "0.0166667"},
        {100.0f, "100"},
        {123456.0f, "123456"},
        {1234567.0f, "1.23457e+06"},
        {-0.5f, "-0.5"},
    };
    for (const Case& example : examples)
    {
        std::string text;
        AppendDefaultNotation(text, example.value);
        EXPECT_EQ(text, example.text);
    }

    std::mt19937 random(7u);
    std::uniform_int_distribution<std::uint32_t> bits;
    for (int i = 0; i < 20000; ++i)
    {
        std::uint32_t pattern = bits(random);
        float value = 0.0f;
        std::memcpy(&value, &pattern, sizeof value);
        if (std::isnan(value))
        {
            continue;
        }
        std::ostringstream stream;
        stream << value;
        std::string text;
        AppendDefaultNotation(text, value);
        ASSERT_EQ(text, stream.str());
    }
}

TEST(ProtocolNumbers, FixedNotationIsThatOfPercentF)
{
    EXPECT_EQ(FormatFixedSixDecimals(1.0f / 60.0f), "0.016667");
    EXPECT_EQ(FormatFixedSixDecimals(0.0f), "0.000000");
    EXPECT_EQ(FormatFixedSixDecimals(-2.5f), "-2.500000");
    const float values[] = {1e-7f, 0.0000005f, 0.0000015f, 123.456f, 3.4028235e38f, -1e20f, 640.0f};
    for (const float value : values)
    {
        char expected[128];
        std::snprintf(expected, sizeof expected, "%f", static_cast<double>(value));
        EXPECT_EQ(FormatFixedSixDecimals(value), expected);
    }
}

} // namespace
} // namespace Marrowvane
