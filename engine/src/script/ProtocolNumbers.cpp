#include "script/ProtocolNumbers.h"

#include <cerrno>
#include <charconv>
#include <cstdlib>

namespace Marrowvane
{

namespace
{

// Fields up to this length are copied to the stack for strtof.
constexpr std::size_t kStackFieldLength = 127;

} // namespace

bool ProtocolNumbersDetail::ParseFloatWithCLibrary(std::string_view field, float& value)
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
