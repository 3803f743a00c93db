#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace Marrowvane
{

// A decoded image in the canvas's pixel format: 0xAARRGGBB words with
// straight (not premultiplied) alpha, rows top to bottom without padding.
// Immutable once made. Beside the pixels it keeps, for every row, the runs of
// texels that are fully transparent, fully opaque or partly transparent, so
// that drawing can skip what shows nothing and copy what hides everything.
class Image
{
public:
    // How the texels of one run blend. Mixed stands for a whole row whose
    // runs would be too many to be worth listing; it is drawn texel by texel.
    enum class RunKind : std::uint8_t
    {
        Transparent,
        Opaque,
        Partial,
        Mixed,
    };

    // A run ends at texel column `end` (exclusive) and starts where the
    // previous run of its row ended (0 for the first).
    struct Run
    {
        std::uint32_t end;
        RunKind kind;
    };

    // width and height at least 1; pixels holds width * height words.
    Image(std::int32_t width, std::int32_t height, std::vector<std::uint32_t> pixels);

    std::int32_t GetWidth() const { return width; }
    std::int32_t GetHeight() const { return height; }
    const std::vector<std::uint32_t>& GetPixels() const { return pixels; }
    const std::uint32_t* GetRow(std::int32_t row) const
    {
        return pixels.data() + static_cast<std::size_t>(row) * static_cast<std::size_t>(width);
    }
    std::uint32_t GetPixel(std::int32_t column, std::int32_t row) const { return GetRow(row)[column]; }
    std::span<const Run> GetRuns(std::int32_t row) const;

private:
    void FindRuns();

    std::int32_t width;
    std::int32_t height;
    std::vector<std::uint32_t> pixels;
    std::vector<Run> runs;
    std::vector<std::uint32_t> rowRunStart; // height + 1 offsets into runs
};

} // namespace Marrowvane
