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
        std::size_t start = 0;
        while (start < line.size())
        {
            const std::size_t bar = line.find('|', start);
            const std::size_t end = bar == std::string_view::npos ? line.size() : bar;
            if (count < kCapacity)
            {
                fields[count] = line.substr(start, end - start);
            }
            ++count;
            start = end + 1;
        }
    }

    std::size_t Count() const { return count; }

    // i < Count() and i < kCapacity.
    std::string_view operator[](std::size_t i) const { return fields[i]; }

private:
    std::array<std::string_view, kCapacity> fields{};
    std::size_t count = 0;
};

} // namespace Marrowvane
