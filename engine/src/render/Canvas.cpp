#include "render/Canvas.h"

#include <algorithm>
#include <cstddef>

namespace Marrowvane
{

namespace
{

void FillPixels(std::uint32_t* first, std::size_t count, std::uint32_t pixel)
{
    for (std::size_t i = 0; i < count; ++i)
    {
        first[i] = pixel;
    }
}

} // namespace

Canvas::Canvas(Surface& target) : target(target)
{
}

void Canvas::Clear(std::uint32_t pixel)
{
    if (target.pixels == nullptr || target.width <= 0 || target.height <= 0)
    {
        return;
    }
    const auto width = static_cast<std::size_t>(target.width);
    if (static_cast<std::size_t>(target.pitch) == width * sizeof(std::uint32_t))
    {
        FillPixels(target.pixels, width * static_cast<std::size_t>(target.height), pixel);
        return;
    }
    for (std::int32_t y = 0; y < target.height; ++y)
    {
        FillPixels(target.Row(y), width, pixel);
    }
}

void Canvas::FillRect(const PixelRect& rect, std::uint32_t pixel)
{
    FillClipped(rect.left, rect.top, rect.right, rect.bottom, pixel);
}

void Canvas::OutlineRect(const PixelRect& rect, std::uint32_t pixel)
{
    // 64-bit so that edges at the ends of the 32-bit range cannot overflow.
    const std::int64_t outerLeft = std::int64_t{rect.left} - 1;
    const std::int64_t outerTop = std::int64_t{rect.top} - 1;
    const std::int64_t outerRight = rect.right;
    const std::int64_t outerBottom = rect.bottom;
    if (outerRight <= outerLeft || outerBottom <= outerTop)
    {
        return;
    }
    const std::int64_t innerLeft = std::int64_t{rect.left} + 1;
    const std::int64_t innerTop = std::int64_t{rect.top} + 1;
    const std::int64_t innerRight = std::int64_t{rect.right} - 2;
    const std::int64_t innerBottom = std::int64_t{rect.bottom} - 2;
    if (innerRight <= innerLeft || innerBottom <= innerTop)
    {
        FillClipped(outerLeft, outerTop, outerRight, outerBottom, pixel);
        return;
    }
    // Top and bottom bands span the whole width; the side bands lie between.
    FillClipped(outerLeft, outerTop, outerRight, innerTop, pixel);
    FillClipped(outerLeft, innerBottom, outerRight, outerBottom, pixel);
    FillClipped(outerLeft, innerTop, innerLeft, innerBottom, pixel);
    FillClipped(innerRight, innerTop, outerRight, innerBottom, pixel);
}

void Canvas::FillClipped(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom,
                         std::uint32_t pixel)
{
    if (target.pixels == nullptr)
    {
        return;
    }
    left = std::max<std::int64_t>(left, 0);
    top = std::max<std::int64_t>(top, 0);
    right = std::min<std::int64_t>(right, target.width);
    bottom = std::min<std::int64_t>(bottom, target.height);
    if (right <= left || bottom <= top)
    {
        return;
    }
    const auto count = static_cast<std::size_t>(right - left);
    for (auto y = static_cast<std::int32_t>(top); y < static_cast<std::int32_t>(bottom); ++y)
    {
        FillPixels(target.Row(y) + left, count, pixel);
    }
}

} // namespace Marrowvane
