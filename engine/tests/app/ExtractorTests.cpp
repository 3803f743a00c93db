#include "app/ProjectConfig.h"

#include "app/RegexExtractors.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <random>
#include <stdexcept>
#include <string>

namespace Marrowvane
{
namespace
{

using namespace std::string_literals;

// Every row is checked twice: against the expected value and against the
// regular-expression form of the pattern, so the two readings cannot drift.

TEST(ExtractStringTest, TakesTheFirstQuotedValueAfterTheKey)
{
    struct Case
    {
        std::string json;
        std::string key;
        std::string expected;
    };
    const std::string fallback = "<fallback>";
    const Case cases[] = {
        {R"({"name": "Pong"})", "name", "Pong"},
        {R"({"name":"Pong"})", "name", "Pong"},
        {"{\"name\" \t\r\n:\n\v\f \"Pong\"}", "name", "Pong"}, // blanks and line breaks around the colon
        {"{\"name\"\xA0: \"Pong\"}", "name", fallback},        // a no-break space is not white space here
        {R"({"scenes": [{"name": "Intro"}], "name": "Pong"})", "name",
         "Intro"},                                            // first place wins, nested or not
        {R"({"name": 5, "name": "Later"})", "name", "Later"}, // wrong form: the search goes on
        {R"({"name": ""})", "name", ""},
        {R"({"title": "Say \"hi\""})", "title", "Say \\"}, // no escapes: ends at the first quote
        {"{\"name\": \"two\nlines\"}", "name", "two\nlines"},
        {"{\"name\": \"a\0b\"}"s, "name", "a\0b"s},
        {R"({"name": "unterminated)", "name", fallback},
        {R"({"Name": "Pong"})", "name", fallback},                // case-sensitive
        {R"({"username": "x", "name": "Pong"})", "name", "Pong"}, // whole quoted word only
        {R"({"names": "x"})", "name", fallback},
        {R"({"name" "Pong"})", "name", fallback}, // no colon
        {R"({"name": : "Pong"})", "name", fallback},
        {R"("name": "Pong")", "name", "Pong"}, // no braces needed
        {R"({"": "empty key"})", "", "empty key"},
        {R"("a"a"a": "v")", "a\"a", "v"}, // overlapping occurrences of the quoted key
        {"", "name", fallback},
        {R"({"name": "Pong"})", "", fallback},
    };
    for (const Case& item : cases)
    {
        SCOPED_TRACE(item.json);
        EXPECT_EQ(ExtractString(item.json, item.key, fallback), item.expected);
        EXPECT_EQ(RegexExtractors::ExtractString(item.json, item.key, fallback), item.expected);
    }
}

TEST(ExtractIntTest, TakesTheLeadingDigitsAsUnsigned32Bit)
{
    struct Case
    {
        std::string json;
        std::int32_t expected;
    };
    const std::int32_t fallback = 1280;
    const Case cases[] = {
        {R"({"width": 800})", 800},
        {R"({"width":800})", 800},
        {"{\"width\"\n:\n800}", 800},
        {R"({"width": "800"})", fallback},
        {R"({"width": "800", "width": 1024})", 1024},
        {R"({"width": -1})", fallback}, // no sign
        {R"({"width": +1})", fallback},
        {R"({"width": 60.5})", 60},
        {R"({"width": 1e3})", 1},
        {R"({"width": 0})", 0},
        {R"({"width": 007})", 7},
        {R"({"width": 000000000000000000000000000042})", 42}, // leading zeros do not overflow
        {R"({"width": 2147483647})", 2147483647},
        {R"({"width": 2147483648})", std::numeric_limits<std::int32_t>::min()},
        {R"({"width": 4294967295})", -1},
        {R"({"width": true})", fallback},
        {R"({"width": })", fallback},
        {R"({"width":)", fallback},
    };
    for (const Case& item : cases)
    {
        SCOPED_TRACE(item.json);
        EXPECT_EQ(ExtractInt(item.json, "width", fallback), item.expected);
        EXPECT_EQ(RegexExtractors::ExtractInt(item.json, "width", fallback), item.expected);
    }
}

TEST(ExtractFloatTest, TakesAnOptionalMinusDigitsAndAnOptionalFraction)
{
    struct Case
    {
        std::string json;
        float expected;
    };
    const float fallback = 0.05f;
    const Case cases[] = {
        {R"({"maxDeltaTime": 0.1})", 0.1f},
        {R"({"maxDeltaTime": 3})", 3.0f},
        {R"({"maxDeltaTime": -0.5})", -0.5f},
        {R"({"maxDeltaTime": .05})", fallback}, // no leading point
        {R"({"maxDeltaTime": -.5})", fallback},
        {R"({"maxDeltaTime": 1e-2})", 1.0f}, // no exponent
        {R"({"maxDeltaTime": 5.})", 5.0f},
        {R"({"maxDeltaTime": 1.2.3})", 1.2f},
        {R"({"maxDeltaTime": --1})", fallback},
        {R"({"maxDeltaTime": -})", fallback},
        {R"({"maxDeltaTime": "0.1"})", fallback},
        {R"({"maxDeltaTime": "0.1", "maxDeltaTime": 0.25})", 0.25f},
        {R"({"maxDeltaTime": 0.000001})", 0.000001f},
        {R"({"maxDeltaTime": 340000000000000000000000000000000000000})", 3.4e38f},
    };
    for (const Case& item : cases)
    {
        SCOPED_TRACE(item.json);
        EXPECT_EQ(ExtractFloat(item.json, "maxDeltaTime", fallback), item.expected);
        EXPECT_EQ(RegexExtractors::ExtractFloat(item.json, "maxDeltaTime", fallback), item.expected);
    }
}

TEST(ExtractBoolTest, TakesTheLowerCaseWords)
{
    struct Case
    {
        std::string json;
        bool fallback;
        bool expected;
    };
    const Case cases[] = {
        {R"({"pixelPerfect": true})", false, true},
        {R"({"pixelPerfect": false})", true, false},
        {R"({"pixelPerfect":false})", true, false},
        {R"({"pixelPerfect": True})", false, false},
        {R"({"pixelPerfect": "true"})", false, false},
        {R"({"pixelPerfect": 1})", false, false},
        {R"({"pixelPerfect": trueish})", false, true}, // only the leading word counts
        {R"({"pixelPerfect": fals})", true, true},
        {R"({"pixelPerfect": "x", "pixelPerfect": false})", true, false},
        {R"({})", true, true},
    };
    for (const Case& item : cases)
    {
        SCOPED_TRACE(item.json);
        EXPECT_EQ(ExtractBool(item.json, "pixelPerfect", item.fallback), item.expected);
        EXPECT_EQ(RegexExtractors::ExtractBool(item.json, "pixelPerfect", item.fallback), item.expected);
    }
}

// What a call gives: its value as text, or the message of what it threw.
template <typename Call>
std::string Outcome(Call call)
{
    try
    {
        if constexpr (std::is_same_v<decltype(call()), std::string>)
        {
            return "value " + call();
        }
        else
        {
            return "value " + std::to_string(call());
        }
    }
    catch (const std::out_of_range& error)
    {
        return std::string("out_of_range ") + error.what();
    }
}

TEST(ExtractNumberTest, ValuesOutOfRangeThrowTheStandardConversionError)
{
    struct Case
    {
        std::string json;
        bool integer;
        std::string expected;
    };
    const Case cases[] = {
        {R"({"n": 4294967296})", true, "out_of_range stoul"},
        {R"({"n": 99999999999999999999999999})", true, "out_of_range stoul"},
        {R"({"n": 1000000000000000000000000000000000000000})", false, "out_of_range stof"}, // over FLT_MAX
        {R"({"n": -1000000000000000000000000000000000000000})", false, "out_of_range stof"},
        {R"({"n": 0.00000000000000000000000000000000000000000000000001})", false, "out_of_range stof"},
        {R"({"n": 0.00000000000000000000000000000000000000000000000000})", false, "value 0.000000"},
    };
    for (const Case& item : cases)
    {
        SCOPED_TRACE(item.json);
        if (item.integer)
        {
            EXPECT_EQ(Outcome([&] { return ExtractInt(item.json, "n", 0); }), item.expected);
            EXPECT_EQ(Outcome([&] { return RegexExtractors::ExtractInt(item.json, "n", 0); }), item.expected);
        }
        else
        {
            EXPECT_EQ(Outcome([&] { return ExtractFloat(item.json, "n", 0.0f); }), item.expected);
            EXPECT_EQ(Outcome([&] { return RegexExtractors::ExtractFloat(item.json, "n", 0.0f); }),
                      item.expected);
        }
    }
}

// Short texts made of near-matches of the key patterns: the quoted key, some
// blanks, maybe a colon, and a value-like piece, between bits of noise.
class NearMatchGenerator
{
public:
    explicit NearMatchGenerator(unsigned seed) : random(seed) {}

    std::string Next()
    {
        std::string text;
        for (int fragments = Pick(1, 4); fragments > 0; --fragments)
        {
            if (Pick(0, 3) == 0)
            {
                text += Noise();
                continue;
            }
            text += Pick(0, 5) == 0 ? "\"K\"" : "\"k\"";
            text += Blanks();
            if (Pick(0, 4) != 0)
            {
                text += ':';
            }
            text += Blanks();
            text += Value();
        }
        return text;
    }

private:
    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); }

    std::string Blanks()
    {
        static const char* const blanks[] = {"", "", " ", "\n", "\t\r", "\v\f", "\xA0", " \n "};
        return blanks[Pick(0, std::size(blanks) - 1)];
    }

    std::string Digits()
    {
        static const char* const digits[] = {
            "", "0", "7", "42", "0017", "4294967295", "4294967296", "99999999999999999999", "3.5", "1e5"};
        return digits[Pick(0, std::size(digits) - 1)];
    }

    std::string Noise()
    {
        static const std::string noise[] = {"\"", "k", ":", ",", "{", "}", "\\", "\0"s, "x", " ", "-", "."};
        std::string text;
        for (int i = Pick(1, 3); i > 0; --i)
        {
            text += noise[Pick(0, std::size(noise) - 1)];
        }
        return text;
    }

    std::string Value()
    {
        switch (Pick(0, 7))
        {
        case 0: return "\"" + Noise() + (Pick(0, 3) == 0 ? "" : "\"");
        case 1: return "\"\"";
        case 2: return Digits();
        case 3: return (Pick(0, 1) == 0 ? "-" : "") + Digits() + (Pick(0, 1) == 0 ? "." : "") + Digits();
        case 4:
        {
            static const char* const words[] = {"true", "false",   "tru",     "fals",
                                                "True", "trueish", "\"true\""};
            return words[Pick(0, std::size(words) - 1)];
        }
        case 5: return "-." + Digits();
        default: return Noise();
        }
    }

    std::mt19937 random;
};

TEST(ExtractorTest, AgreesWithTheRegularExpressionsOnRandomShortTexts)
{
    NearMatchGenerator generator(20240601);
    for (int round = 0; round < 3000; ++round)
    {
        const std::string json = generator.Next();
        SCOPED_TRACE(json);
        ASSERT_EQ(Outcome([&] { return ExtractString(json, "k", "-"); }),
                  Outcome([&] { return RegexExtractors::ExtractString(json, "k", "-"); }));
        ASSERT_EQ(Outcome([&] { return ExtractInt(json, "k", -7); }),
                  Outcome([&] { return RegexExtractors::ExtractInt(json, "k", -7); }));
        ASSERT_EQ(Outcome([&] { return ExtractFloat(json, "k", -7.5f); }),
                  Outcome([&] { return RegexExtractors::ExtractFloat(json, "k", -7.5f); }));
        ASSERT_EQ(Outcome([&] { return ExtractBool(json, "k", round % 2 == 0); }),
                  Outcome([&] { return RegexExtractors::ExtractBool(json, "k", round % 2 == 0); }));
    }
}

TEST(ExtractorTest, LongValuesAndManyOccurrencesOfTheKey)
{
    const std::string longValue(10 * 1024 * 1024, 'v');
    EXPECT_EQ(ExtractString("{\"title\": \"" + longValue + "\"}", "title", ""), longValue);
    EXPECT_EQ(ExtractString("{\"title\": \"" + longValue, "title", "fallback"), "fallback");

    std::string manyKeys;
    for (int i = 0; i < 500000; ++i)
    {
        manyKeys += "\"width\" : \"no\" ";
    }
    EXPECT_EQ(ExtractInt(manyKeys, "width", 5), 5);
    EXPECT_EQ(ExtractInt(manyKeys + "\"width\": 6", "width", 5), 6);
    EXPECT_EQ(ExtractBool(manyKeys, "width", true), true);
    EXPECT_EQ(ExtractFloat(manyKeys, "width", 1.5f), 1.5f);
    EXPECT_EQ(ExtractString(manyKeys, "width", ""), "no");

    // A key made of one repeated character, against a text of that character.
    const std::string same(1 << 20, 'a');
    EXPECT_EQ(ExtractString(same, std::string(1 << 19, 'a'), "none"), "none");

    const std::string digits(10 * 1024 * 1024, '7');
    EXPECT_EQ(Outcome([&] { return ExtractInt("\"n\": " + digits, "n", 0); }), "out_of_range stoul");
    EXPECT_EQ(Outcome([&] { return ExtractFloat("\"n\": " + digits, "n", 0.0f); }), "out_of_range stof");
    EXPECT_EQ(ExtractFloat("\"n\": 0." + digits, "n", 0.0f), std::stof("0." + digits));
}

TEST(ParseHexColorTest, ReadsHashAndThreeHexPairs)
{
    struct Case
    {
        std::string text;
        Color3 expected;
    };
    const Color3 fallback{9, 8, 7};
    const Case cases[] = {
        {"#12141a", {18, 20, 26}},
        {"#FFffFF", {255, 255, 255}},
        {"#000000", {0, 0, 0}},
        {"#aBcDeF", {0xAB, 0xCD, 0xEF}},
        {"#1g2233", {1, 34, 51}}, // a pair converts as far as its digits go
        {"#0x0x0x", {0, 0, 0}},
        {"#fff", fallback}, // not seven characters
        {"#1a2b3c4", fallback},
        {"", fallback},
        {"1a2b3c", fallback}, // no leading #
        {"01a2b3c", fallback},
        {"#gg0000", fallback}, // a pair with no hexadecimal digit at its start
        {"#00gg00", fallback},
        {"#0000gg", fallback},
        {"##00000", fallback},
        {"#\0\0\0\0\0\0"s, fallback},
        {"#\xff\xff\xff\xff\xff\xff", fallback},
    };
    for (const Case& item : cases)
    {
        SCOPED_TRACE(item.text);
        EXPECT_EQ(ParseHexColor(item.text, fallback), item.expected);
        EXPECT_EQ(RegexExtractors::ParseHexColor(item.text, fallback), item.expected);
    }
}

TEST(ParseHexColorTest, APairMustStartWithAHexDigit)
{
    // The standard conversion would skip white space and take a sign; a
    // colour pair is two characters and nothing else.
    const Color3 fallback{9, 8, 7};
    for (const std::string text : {"# f0000", "#+f0000", "#-10000", "#00\t100", "#0000-f"})
    {
        SCOPED_TRACE(text);
        EXPECT_EQ(ParseHexColor(text, fallback), fallback);
    }
}

} // namespace
} // namespace Marrowvane
