#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace Marrowvane
{

// The fields of one protocol line, as views into the line: no copy, no
// allocation. The rules are those of Split (core/Text.h): each '|' ends one
// field, even an empty one; the text after the last '|' is a field only when
// it is not empty; an empty line has no fields. "RECT|1|2|" has three fields.
// Count() counts every field; only the first kCapacity are kept.
class LineFields
{
public:
    static constexpr std::size_t kCapacity = 12;

    explicit LineFields(std::string_view line)
    {
        // One pass over the bytes; lines are short, so a plain loop beats a
        // memchr call per field.
        const char* const begin = line.data();
        const std::size_t size = line.size();
        std::size_t start = 0;
        for (std::size_t i = 0; i < size; ++i)
        {
            if (begin[i] == '|')
            {
                Keep(begin + start, i - start);
                start = i + 1;
            }
        }
        if (start < size)
        {
            Keep(begin + start, size - start);
        }
    }

    std::size_t Count() const { return count; }

    // i < Count() and i < kCapacity.
    std::string_view operator[](std::size_t i) const { return fields[i]; }

private:
    void Keep(const char* start, std::size_t length)
    {
        if (count < kCapacity)
        {
            fields[count] = std::string_view(start, length);
        }
        ++count;
    }

    std::array<std::string_view, kCapacity> fields;
    std::size_t count = 0;
};

} // namespace Marrowvane
