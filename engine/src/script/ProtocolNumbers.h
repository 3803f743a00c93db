#pragma once

#include <cfloat>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace Marrowvane
{

// Numbers on the script line protocol.
//
// A float field reads as the C library's strtof reads it in the "C" locale:
// leading white space is skipped, the longest prefix that forms a number
// (decimal, hexadecimal, inf, nan) is converted, the rest of the field is
// ignored; "12.5px" gives 12.5. An integer field reads as strtol in base 10:
// white space, an optional sign, decimal digits, the rest ignored; "3.7" gives
// 3, "0x10" gives 0, and the value must fit 32 bits.
//
// A field with no number at its start, or whose number is out of range
// (strtof's ERANGE, so overflow and underflow alike; outside the 32-bit
// range for integers), fails: the result is false and value is unchanged.
//
// Short decimal fields, which are nearly all of them, are converted without
// calling into the C library (no locale, no stream); everything else goes
// to strtof itself, so the results are the same bit for bit.
inline bool ParseFloatField(std::string_view field, float& value);
inline bool ParseIntField(std::string_view field, std::int32_t& value);

// The same, for a field that starts at begin and ends at the first '|' at or
// after begin, or at end: parsed says whether it read, and the result is the
// end of the field. This is how the line handlers read a line in one pass.
inline const char* ReadFloatField(const char* begin, const char* end, float& value, bool& parsed);
inline const char* ReadIntField(const char* begin, const char* end, std::int32_t& value, bool& parsed);

// The default stream notation of a float: %g with 6 significant digits,
// "." as the decimal point. 0.016666668 gives "0.0166667", 0.00001 "1e-05".
void AppendDefaultNotation(std::string& text, float value);
void AppendDecimal(std::string& text, std::int32_t value);

// Fixed notation with six decimals, as %f: 1/60 gives "0.016667".
std::string FormatFixedSixDecimals(float value);

namespace ProtocolNumbersDetail
{

// isspace in the "C" locale: blank, \t, \n, \v, \f, \r.
inline bool IsSpace(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

inline bool IsDigit(char c)
{
    return static_cast<unsigned char>(c - '0') < 10;
}

// Everything the fast path does not take: strtof itself.
bool ParseFloatWithCLibrary(std::string_view field, float& value);

// The first '|' at or after p, or end.
inline const char* FieldEnd(const char* p, const char* end);

inline constexpr float kExactPowersOfTen[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f,
                                              1e6f, 1e7f, 1e8f, 1e9f, 1e10f};

// Past this a value stops growing: anything above it is out of every range
// the fast paths take, and it cannot overflow however many digits follow.
inline constexpr std::uint64_t kSaturation = 100000000000ull;

// Reads the decimal digits at p into value (which saturates, see above),
// moves p past them and returns how many there were.
inline std::ptrdiff_t ReadDigits(const char*& p, const char* end, std::uint64_t& value)
{
    const char* const start = p;
    for (; p < end && IsDigit(*p); ++p)
    {
        if (value <= kSaturation)
        {
            value = value * 10 + static_cast<std::uint64_t>(*p - '0');
        }
    }
    return p - start;
}

} // namespace ProtocolNumbersDetail

inline const char* ProtocolNumbersDetail::FieldEnd(const char* p, const char* end)
{
    const void* bar = std::memchr(p, '|', static_cast<std::size_t>(end - p));
    return bar ? static_cast<const char*>(bar) : end;
}

inline const char* ReadFloatField(const char* begin, const char* end, float& value, bool& parsed)
{
    using namespace ProtocolNumbersDetail;
    const char* p = begin;
#if FLT_EVAL_METHOD == 0
    // Fast path: [white space][sign]digits[.digits] with a mantissa up to
    // 2^24 and at most 10 decimals, and no exponent after it. Mantissa and power of ten are then exact floats
    // (5^10 < 2^24), and the one IEEE division rounds exactly as strtof does.
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
    const bool hex = p + 1 < end && p[0] == '0' && (p[1] == 'x' || p[1] == 'X');
    std::uint64_t mantissa = 0;
    const std::ptrdiff_t integerDigits = ReadDigits(p, end, mantissa);
    std::ptrdiff_t fractionDigits = 0;
    if (p < end && *p == '.')
    {
        ++p;
        fractionDigits = ReadDigits(p, end, mantissa);
    }
    if (!hex && integerDigits + fractionDigits > 0 && fractionDigits <= 10 &&
        mantissa <= (std::uint64_t{1} << 24) && !(p < end && (*p == 'e' || *p == 'E')))
    {
        const float result = static_cast<float>(mantissa) / kExactPowersOfTen[fractionDigits];
        value = negative ? -result : result;
        parsed = true;
        return p == end || *p == '|' ? p : FieldEnd(p, end);
    }
#endif
    // What was looked at holds no '|', so the field ends after it.
    const char* const fieldEnd = FieldEnd(p, end);
    parsed =
        ParseFloatWithCLibrary(std::string_view(begin, static_cast<std::size_t>(fieldEnd - begin)), value);
    return fieldEnd;
}

inline const char* ReadIntField(const char* begin, const char* end, std::int32_t& value, bool& parsed)
{
    using namespace ProtocolNumbersDetail;
    const char* p = begin;
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
    // strtol reads every digit even past its range; so does this.
    constexpr std::uint64_t kLimit = 2147483648u; // |INT32_MIN|
    std::uint64_t magnitude = 0;
    const std::ptrdiff_t digits = ReadDigits(p, end, magnitude);
    parsed = digits > 0 && magnitude <= (negative ? kLimit : kLimit - 1);
    if (parsed)
    {
        value = negative ? static_cast<std::int32_t>(-static_cast<std::int64_t>(magnitude))
                         : static_cast<std::int32_t>(magnitude);
    }
    return p == end || *p == '|' ? p : FieldEnd(p, end);
}

inline bool ParseFloatField(std::string_view field, float& value)
{
    bool parsed = false;
    ReadFloatField(field.data(), field.data() + field.size(), value, parsed);
    return parsed;
}

inline bool ParseIntField(std::string_view field, std::int32_t& value)
{
    bool parsed = false;
    ReadIntField(field.data(), field.data() + field.size(), value, parsed);
    return parsed;
}

} // namespace Marrowvane
