#include "script/ProtocolNumbers.h"

#include <cerrno>
#include <cfloat>
#include <charconv>
#include <cstdlib>

namespace Marrowvane
{

namespace
{

// isspace in the "C" locale: blank, \t, \n, \v, \f, \r.
bool IsSpace(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Powers of ten that a float holds exactly (5^10 < 2^24).
constexpr float kExactPowersOfTen[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f, 1e6f, 1e7f, 1e8f, 1e9f, 1e10f};
constexpr int kMaxFastFractionDigits = 10;
constexpr std::uint32_t kMaxExactFloatInteger = 1u << 24;
constexpr int kMaxFastSignificantDigits = 8;

// Fields up to this length are copied to the stack for strtof.
constexpr std::size_t kStackFieldLength = 127;

bool ParseFloatWithCLibrary(std::string_view field, float& value)
{
    char stackCopy[kStackFieldLength + 1];
    std::string heapCopy;
    const char* text = nullptr;
    if (field.size() <= kStackFieldLength)
    {
        field.copy(stackCopy, field.size());
        stackCopy[field.size()] = '\0';
        text = stackCopy;
    }
    else
    {
        heapCopy.assign(field);
        text = heapCopy.c_str();
    }
    char* end = nullptr;
    errno = 0;
    const float result = std::strtof(text, &end);
    if (end == text || errno == ERANGE)
    {
        return false;
    }
    value = result;
    return true;
}

} // namespace

bool ParseFloatField(std::string_view field, float& value)
{
#if FLT_EVAL_METHOD == 0
    // Fast path: [blanks][sign]digits[.digits] with at most 8 significant
    // digits, a mantissa up to 2^24 and at most 10 decimals, followed by
    // anything but an exponent. Mantissa and power of ten are then exact
    // floats, and one IEEE division rounds exactly as strtof does.
    const char* p = field.data();
    const char* const end = p + field.size();
    while (p < end && IsSpace(*p))
    {
        ++p;
    }
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-'))
    {
        negative = *p == '-';
        ++p;
    }
    const bool maybeHex = p + 1 < end && p[0] == '0' && (p[1] == 'x' || p[1] == 'X');
    std::uint32_t mantissa = 0;
    int significantDigits = 0;
    int fractionDigits = 0;
    bool anyDigit = false;
    bool fast = !maybeHex;
    for (; fast && p < end && IsDigit(*p); ++p)
    {
        anyDigit = true;
        if (mantissa != 0 || *p != '0')
        {
            fast = ++significantDigits <= kMaxFastSignificantDigits;
            mantissa = mantissa * 10 + static_cast<std::uint32_t>(*p - '0');
        }
    }
    if (fast && p < end && *p == '.')
    {
        ++p;
        for (; fast && p < end && IsDigit(*p); ++p)
        {
            anyDigit = true;
            if (mantissa != 0 || *p != '0')
            {
                fast = ++significantDigits <= kMaxFastSignificantDigits;
            }
            mantissa = mantissa * 10 + static_cast<std::uint32_t>(*p - '0');
            fast = fast && ++fractionDigits <= kMaxFastFractionDigits;
        }
    }
    if (fast && anyDigit && mantissa <= kMaxExactFloatInteger && !(p < end && (*p == 'e' || *p == 'E')))
    {
        float result = static_cast<float>(mantissa);
        if (fractionDigits > 0)
        {
            result /= kExactPowersOfTen[fractionDigits];
        }
        value = negative ? -result : result;
        return true;
    }
#endif
    return ParseFloatWithCLibrary(field, value);
}

bool ParseIntField(std::string_view field, std::int32_t& value)
{
    const char* p = field.data();
    const char* const end = p + field.size();
    while (p < end && IsSpace(*p))
    {
        ++p;
    }
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-'))
    {
        negative = *p == '-';
        ++p;
    }
    if (p == end || !IsDigit(*p))
    {
        return false;
    }
    // strtol reads every digit even past its range; so does this.
    constexpr std::uint64_t kLimit = 2147483648u; // |INT32_MIN|
    std::uint64_t magnitude = 0;
    for (; p < end && IsDigit(*p); ++p)
    {
        if (magnitude <= kLimit)
        {
            magnitude = magnitude * 10 + static_cast<std::uint64_t>(*p - '0');
        }
    }
    if (magnitude > (negative ? kLimit : kLimit - 1))
    {
        return false;
    }
    value = negative ? static_cast<std::int32_t>(-static_cast<std::int64_t>(magnitude))
                     : static_cast<std::int32_t>(magnitude);
    return true;
}

void AppendDefaultNotation(std::string& text, float value)
{
    char digits[32];
    const auto result = std::to_chars(digits, digits + sizeof digits, value, std::chars_format::general, 6);
    text.append(digits, result.ptr);
}

void AppendDecimal(std::string& text, std::int32_t value)
{
    char digits[16];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    text.append(digits, result.ptr);
}

std::string FormatFixedSixDecimals(float value)
{
    // Up to 39 integer digits for FLT_MAX, the point and six decimals.
    char digits[64];
    const auto result = std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, 6);
    return std::string(digits, result.ptr);
}

} // namespace Marrowvane
