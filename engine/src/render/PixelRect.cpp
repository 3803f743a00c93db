#include "render/PixelRect.h"

#include <cmath>
#include <limits>

namespace Marrowvane
{

std::optional<std::int32_t> PixelEdgeFromFloat(float value)
{
    if (std::isnan(value))
    {
        return std::nullopt;
    }
    // 2^31 is exact as a float; every float below it truncates into range.
    constexpr float limit = 2147483648.0f;
    if (value >= limit)
    {
        return std::numeric_limits<std::int32_t>::max();
    }
    if (value <= -limit)
    {
        return std::numeric_limits<std::int32_t>::min();
    }
    return static_cast<std::int32_t>(value); // truncation toward zero
}

std::optional<PixelRect> PixelRectFromEdges(float left, float top, float right, float bottom)
{
    const auto l = PixelEdgeFromFloat(left);
    const auto t = PixelEdgeFromFloat(top);
    const auto r = PixelEdgeFromFloat(right);
    const auto b = PixelEdgeFromFloat(bottom);
    if (!l || !t || !r || !b)
    {
        return std::nullopt;
    }
    return PixelRect{*l, *t, *r, *b};
}

} // namespace Marrowvane
