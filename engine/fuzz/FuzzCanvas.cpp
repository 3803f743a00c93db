// Float edges from the input, through the engine's float-to-pixel rule, drawn
// as fills and outlines on a small padded surface; every pixel is checked
// against the rules written as plain set membership, and the padding must
// stay untouched.

#include "render/Canvas.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace
{

using namespace Marrowvane;

constexpr std::int32_t width = 13;
constexpr std::int32_t height = 7;
constexpr std::int32_t stride = width + 3;
constexpr std::uint32_t background = 0x11111111u;
constexpr std::uint32_t padding = 0x99999999u;

bool In(std::int64_t v, std::int64_t low, std::int64_t high)
{
    return low <= v && v < high;
}

bool Covers(bool outline, const PixelRect& r, std::int64_t x, std::int64_t y)
{
    if (!outline)
    {
        return In(x, r.left, r.right) && In(y, r.top, r.bottom);
    }
    return In(x, std::int64_t{r.left} - 1, r.right) && In(y, std::int64_t{r.top} - 1, r.bottom) &&
           !(In(x, std::int64_t{r.left} + 1, std::int64_t{r.right} - 2) &&
             In(y, std::int64_t{r.top} + 1, std::int64_t{r.bottom} - 2));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    constexpr std::size_t record = 1 + 4 * sizeof(float);
    std::vector<std::uint32_t> storage(std::size_t{stride} * height, padding);
    std::vector<std::uint32_t> expected(storage.size(), padding);
    for (std::int32_t y = 0; y < height; ++y)
    {
        for (std::int32_t x = 0; x < width; ++x)
        {
            storage[static_cast<std::size_t>(y * stride + x)] = background;
            expected[static_cast<std::size_t>(y * stride + x)] = background;
        }
    }
    Surface surface{width, height, stride * 4, storage.data()};
    Canvas canvas(surface);
    for (std::size_t at = 0; at + record <= size; at += record)
    {
        const bool outline = (data[at] & 1) != 0;
        const std::uint32_t pixel = 0xFF000000u | data[at];
        float edges[4];
        std::memcpy(edges, data + at + 1, sizeof edges);
        const auto rect = PixelRectFromEdges(edges[0], edges[1], edges[2], edges[3]);
        if (!rect)
        {
            continue; // NaN draws nothing
        }
        if (outline)
        {
            canvas.OutlineRect(*rect, pixel);
        }
        else
        {
            canvas.FillRect(*rect, pixel);
        }
        for (std::int32_t y = 0; y < height; ++y)
        {
            for (std::int32_t x = 0; x < width; ++x)
            {
                if (Covers(outline, *rect, x, y))
                {
                    expected[static_cast<std::size_t>(y * stride + x)] = pixel;
                }
            }
        }
        if (storage != expected)
        {
            std::abort();
        }
    }
    return 0;
}
