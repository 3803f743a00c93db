#include "render/Image.h"

#include <cassert>
#include <utility>

namespace Marrowvane
{
namespace
{

Image::RunKind KindOf(std::uint32_t pixel)
{
    const std::uint32_t alpha = pixel >> 24;
    if (alpha == 0)
    {
        return Image::RunKind::Transparent;
    }
    return alpha == 255 ? Image::RunKind::Opaque : Image::RunKind::Partial;
}

} // namespace

Image::Image(std::int32_t width, std::int32_t height, std::vector<std::uint32_t> pixels)
    : width(width), height(height), pixels(std::move(pixels))
{
    assert(width > 0 && height > 0);
    assert(this->pixels.size() == static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    FindRuns();
}

std::span<const Image::Run> Image::GetRuns(std::int32_t row) const
{
    const std::uint32_t begin = rowRunStart[static_cast<std::size_t>(row)];
    const std::uint32_t end = rowRunStart[static_cast<std::size_t>(row) + 1];
    return std::span<const Run>(runs.data() + begin, end - begin);
}

void Image::FindRuns()
{
    // A row with more runs than this is kept as one Mixed run, which bounds
    // the run list to a small share of the pixels.
    const std::size_t maxRunsPerRow = static_cast<std::size_t>(width) / 8 + 4;
    rowRunStart.reserve(static_cast<std::size_t>(height) + 1);
    rowRunStart.push_back(0);
    for (std::int32_t row = 0; row < height; ++row)
    {
        const std::size_t rowStart = runs.size();
        const std::uint32_t* texels = GetRow(row);
        RunKind kind = KindOf(texels[0]);
        for (std::int32_t column = 1; column < width; ++column)
        {
            const RunKind next = KindOf(texels[column]);
            if (next != kind)
            {
                runs.push_back(Run{static_cast<std::uint32_t>(column), kind});
                kind = next;
                if (runs.size() - rowStart >= maxRunsPerRow)
                {
                    break;
                }
            }
        }
        if (runs.size() - rowStart >= maxRunsPerRow)
        {
            runs.resize(rowStart);
            runs.push_back(Run{static_cast<std::uint32_t>(width), RunKind::Mixed});
        }
        else
        {
            runs.push_back(Run{static_cast<std::uint32_t>(width), kind});
        }
        rowRunStart.push_back(static_cast<std::uint32_t>(runs.size()));
    }
    runs.shrink_to_fit();
}

} // namespace Marrowvane
