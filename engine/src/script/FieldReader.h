#pragma once

#include "script/ProtocolNumbers.h"

#include <cstdint>
#include <string_view>

namespace Marrowvane
{

// Reads the fields of one protocol line in order, in one pass, without
// cutting it up first. Fields follow the rules of Split (core/Text.h): a
// field exists while text is left, each '|' ends one, and an empty piece
// after the last '|' is no field. Each read takes one field; it fails when
// no field is left or the field does not parse (see ProtocolNumbers.h).
class FieldReader
{
public:
    explicit FieldReader(std::string_view line) : p(line.data()), end(line.data() + line.size()) {}

    // No field is left.
    bool AtEnd() const { return p == end; }

    bool Float(float& value)
    {
        if (p == end)
        {
            return false;
        }
        bool parsed = false;
        Advance(ReadFloatField(p, end, value, parsed));
        return parsed;
    }

    bool Int(std::int32_t& value)
    {
        if (p == end)
        {
            return false;
        }
        bool parsed = false;
        Advance(ReadIntField(p, end, value, parsed));
        return parsed;
    }

    bool Text(std::string_view& text)
    {
        if (p == end)
        {
            return false;
        }
        const char* const fieldEnd = ProtocolNumbersDetail::FieldEnd(p, end);
        text = std::string_view(p, static_cast<std::size_t>(fieldEnd - p));
        Advance(fieldEnd);
        return true;
    }

private:
    void Advance(const char* fieldEnd) { p = fieldEnd == end ? end : fieldEnd + 1; }

    const char* p;
    const char* end;
};

} // namespace Marrowvane
