#pragma once

#include <cstdint>
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
bool ParseFloatField(std::string_view field, float& value);
bool ParseIntField(std::string_view field, std::int32_t& value);

// The default stream notation of a float: %g with 6 significant digits,
// "." as the decimal point. 0.016666668 gives "0.0166667", 0.00001 "1e-05".
void AppendDefaultNotation(std::string& text, float value);
void AppendDecimal(std::string& text, std::int32_t value);

// Fixed notation with six decimals, as %f: 1/60 gives "0.016667".
std::string FormatFixedSixDecimals(float value);

} // namespace Marrowvane
