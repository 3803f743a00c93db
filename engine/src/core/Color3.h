#pragma once

#include <cstdint>

namespace Marrowvane
{

// A colour of three 8-bit channels, passed by value.
struct Color3
{
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;

    friend bool operator==(const Color3&, const Color3&) = default;
};

} // namespace Marrowvane
