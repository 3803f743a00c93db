#pragma once

#include <cstdint>
#include <optional>

namespace Marrowvane
{

// A rectangle of whole pixels: left <= x < right, top <= y < bottom. Any edge
// may lie outside the surface; drawing clips. Right <= left (or bottom <= top)
// is empty.
struct PixelRect
{
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;

    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// A projected float edge as a pixel edge: truncated toward zero and saturated
// to the 32-bit range, so huge and infinite values cannot overflow. NaN has no
// pixel edge.
std::optional<std::int32_t> PixelEdgeFromFloat(float value);

// The four edges through PixelEdgeFromFloat; none when any edge is NaN.
std::optional<PixelRect> PixelRectFromEdges(float left, float top, float right, float bottom);

} // namespace Marrowvane
