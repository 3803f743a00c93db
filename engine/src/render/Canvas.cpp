#include "render/Canvas.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace Marrowvane
{

namespace
{

// Stores one pixel value into count consecutive pixels (count >= 4), 16 bytes
// at a time, with one last store that may overlap the one before it instead
// of a tail loop (the way a good memset ends). Every clear, fill and outline
// spends its time here.
#if defined(__GNUC__)
using PixelBlock = std::uint32_t __attribute__((vector_size(16)));

inline __attribute__((always_inline)) void FillRun(std::uint32_t* first, std::size_t count,
                                                   std::uint32_t pixel)
{
    const PixelBlock block = {pixel, pixel, pixel, pixel};
    std::uint32_t* const last = first + count - 4;
    std::uint32_t* at = first;
    for (; at + 8 <= last; at += 8)
    {
        std::memcpy(at, &block, sizeof block);
        std::memcpy(at + 4, &block, sizeof block);
    }
    for (; at < last; at += 4)
    {
        std::memcpy(at, &block, sizeof block);
    }
    std::memcpy(last, &block, sizeof block);
}
#else
inline void FillRun(std::uint32_t* first, std::size_t count, std::uint32_t pixel)
{
    std::fill_n(first, count, pixel);
}
#endif

// Fills a block of rows that is already clipped to the surface. Narrow blocks
// (the side bands of outlines) store pixel by pixel.
void FillBlock(std::uint32_t* firstRow, std::ptrdiff_t rowStride, std::size_t count, std::size_t rows,
               std::uint32_t pixel)
{
    std::uint32_t* row = firstRow;
    switch (count)
    {
    case 1:
        for (std::size_t y = 0; y < rows; ++y, row += rowStride)
        {
            row[0] = pixel;
        }
        return;
    case 2:
        for (std::size_t y = 0; y < rows; ++y, row += rowStride)
        {
            row[0] = pixel;
            row[1] = pixel;
        }
        return;
    case 3:
        for (std::size_t y = 0; y < rows; ++y, row += rowStride)
        {
            row[0] = pixel;
            row[1] = pixel;
            row[2] = pixel;
        }
        return;
    default:
        for (std::size_t y = 0; y < rows; ++y, row += rowStride)
        {
            FillRun(row, count, pixel);
        }
        return;
    }
}

} // namespace

Canvas::Canvas(Surface& target) : target(target) {}

void Canvas::Clear(std::uint32_t pixel)
{
    if (target.pixels == nullptr || target.width <= 0 || target.height <= 0)
    {
        return;
    }
    const auto width = static_cast<std::size_t>(target.width);
    const auto height = static_cast<std::size_t>(target.height);
    if (static_cast<std::size_t>(target.pitch) == width * sizeof(std::uint32_t))
    {
        FillBlock(target.pixels, 0, width * height, 1, pixel);
        return;
    }
    FillBlock(target.pixels, target.pitch / static_cast<std::ptrdiff_t>(sizeof(std::uint32_t)), width, height,
              pixel);
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
    if (target.pixels == nullptr)
    {
        return;
    }
    const std::int64_t sideTop = std::max<std::int64_t>(innerTop, 0);
    const std::int64_t sideBottom = std::min<std::int64_t>(innerBottom, target.height);
    if (outerLeft >= 0 && outerRight <= target.width && sideTop < sideBottom)
    {
        // Both side bands whole: one pass over their rows stores both.
        const std::ptrdiff_t stride = target.pitch / static_cast<std::ptrdiff_t>(sizeof(std::uint32_t));
        std::uint32_t* row = target.Row(static_cast<std::int32_t>(sideTop));
        for (std::int64_t y = sideTop; y < sideBottom; ++y, row += stride)
        {
            row[outerLeft] = pixel;
            row[outerLeft + 1] = pixel;
            row[innerRight] = pixel;
            row[innerRight + 1] = pixel;
        }
        return;
    }
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
    FillBlock(target.Row(static_cast<std::int32_t>(top)) + left,
              target.pitch / static_cast<std::ptrdiff_t>(sizeof(std::uint32_t)),
              static_cast<std::size_t>(right - left), static_cast<std::size_t>(bottom - top), pixel);
}

} // namespace Marrowvane
