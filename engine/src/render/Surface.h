#pragma once

#include "core/Color3.h"

#include <cstdint>

namespace Marrowvane
{

// A 32-bit pixel surface the canvas draws into but does not own. A pixel is
// 0xAARRGGBB in one native-endian 32-bit word (SDL's ARGB8888/XRGB8888, the
// usual window-surface format); rows are pitch bytes apart.
struct Surface
{
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t pitch = 0; // bytes from one row to the next
    std::uint32_t* pixels = nullptr;

    std::uint32_t* Row(std::int32_t y) const
    {
        return reinterpret_cast<std::uint32_t*>(reinterpret_cast<std::uint8_t*>(pixels) +
                                                static_cast<std::intptr_t>(y) * pitch);
    }
};

constexpr std::uint32_t PackPixel(Color3 color, std::uint8_t alpha = 255)
{
    return (std::uint32_t{alpha} << 24) | (std::uint32_t{color.r} << 16) | (std::uint32_t{color.g} << 8) |
           std::uint32_t{color.b};
}

} // namespace Marrowvane
