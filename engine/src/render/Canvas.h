#pragma once

#include "render/PixelRect.h"
#include "render/Surface.h"

#include <cstdint>

namespace Marrowvane
{

// The engine's software rasteriser: the same pixels on every platform, on any
// Surface it is given (it owns none; its pitch is a whole number of pixels, as
// for every 32-bit surface). Pixels are already packed for the surface
// (PackPixel). Every operation clips to the surface, so any rectangle,
// however far outside, is safe.
//
// The pixel rules, in one place:
//   Clear:   every pixel of the surface.
//   Fill:    the pixels with left <= x < right and top <= y < bottom.
//   Outline: a 2-pixel solid pen with a hollow brush, as GDI's Rectangle draws
//            it: the pen is centred on the border through left, top, right-1
//            and bottom-1, and an even pen covers the border pixel and the one
//            before it. So the outline is every pixel of
//            [left-1, right) x [top-1, bottom) that is not in
//            [left+1, right-2) x [top+1, bottom-2); the inside keeps what lies
//            beneath. Left 10, top 10, right 30, bottom 30 covers columns
//            9-10 and 28-29 and rows 9-10 and 28-29 (of columns 9-29).
//            An empty outer box draws nothing.
class Canvas
{
public:
    explicit Canvas(Surface& target);

    void Clear(std::uint32_t pixel);
    void FillRect(const PixelRect& rect, std::uint32_t pixel);
    void OutlineRect(const PixelRect& rect, std::uint32_t pixel);

private:
    // Fills [left, right) x [top, bottom) given in 64 bits, clipped first.
    void FillClipped(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom,
                     std::uint32_t pixel);

    Surface& target;
};

} // namespace Marrowvane
