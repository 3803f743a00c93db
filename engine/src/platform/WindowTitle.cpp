#include "platform/WindowTitle.h"

#include <cstddef>
#include <cstdint>

namespace Marrowvane
{

namespace
{

// Length of the well-formed UTF-8 sequence at text[at], or 0 when none starts
// there (the ranges of RFC 3629, section 4).
std::size_t SequenceLength(const std::string& text, std::size_t at)
{
    const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(text[i]); };
    const std::size_t left = text.size() - at;
    const std::uint8_t first = byte(at);
    if (first < 0x80)
    {
        return 1;
    }
    std::size_t length = 0;
    std::uint8_t low = 0x80;
    std::uint8_t high = 0xBF;
    if (first >= 0xC2 && first <= 0xDF)
    {
        length = 2;
    }
    else if (first >= 0xE0 && first <= 0xEF)
    {
        length = 3;
        low = first == 0xE0 ? 0xA0 : 0x80;  // no overlong forms
        high = first == 0xED ? 0x9F : 0xBF; // no surrogates
    }
    else if (first >= 0xF0 && first <= 0xF4)
    {
        length = 4;
        low = first == 0xF0 ? 0x90 : 0x80;  // no overlong forms
        high = first == 0xF4 ? 0x8F : 0xBF; // nothing past U+10FFFF
    }
    else
    {
        return 0;
    }
    if (left < length || byte(at + 1) < low || byte(at + 1) > high)
    {
        return 0;
    }
    for (std::size_t i = 2; i < length; ++i)
    {
        if (byte(at + i) < 0x80 || byte(at + i) > 0xBF)
        {
            return 0;
        }
    }
    return length;
}

} // namespace

std::string WindowTitleFromUtf8(const std::string& title)
{
    const std::string text = title.substr(0, title.find('\0'));
    std::string shown;
    shown.reserve(text.size());
    for (std::size_t at = 0; at < text.size();)
    {
        const std::size_t length = SequenceLength(text, at);
        if (length == 0)
        {
            shown += "\xEF\xBF\xBD";
            ++at;
            continue;
        }
        shown.append(text, at, length);
        at += length;
    }
    return shown;
}

} // namespace Marrowvane
