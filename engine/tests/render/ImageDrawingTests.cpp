#include "render/ImageDrawing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace Marrowvane
{
namespace
{

constexpr std::uint32_t background = 0xFF202020u;
constexpr std::uint32_t paddingMark = 0xDEADBEEFu;

// A small surface whose rows are padded by two words marked paddingMark, so a
// write past a row's end shows.
struct TestSurface
{
    std::int32_t width;
    std::int32_t height;
    std::vector<std::uint32_t> words;
    Surface surface;

    TestSurface(std::int32_t width, std::int32_t height, std::uint32_t fill = background)
        : width(width), height(height), words(static_cast<std::size_t>((width + 2) * height), paddingMark)
    {
        surface = Surface{width, height, (width + 2) * 4, words.data()};
        for (std::int32_t y = 0; y < height; ++y)
        {
            for (std::int32_t x = 0; x < width; ++x)
            {
                At(x, y) = fill;
            }
        }
    }
    std::uint32_t& At(std::int32_t x, std::int32_t y) { return surface.Row(y)[x]; }
    bool PaddingIntact() const
    {
        for (std::int32_t y = 0; y < height; ++y)
        {
            const std::size_t row = static_cast<std::size_t>(y) * static_cast<std::size_t>(width + 2);
            if (words[row + width] != paddingMark || words[row + width + 1] != paddingMark)
            {
                return false;
            }
        }
        return true;
    }
};

// The image rule written out literally, pixel by pixel, as the header states it.
std::uint32_t ReferenceBlend(std::uint32_t source, std::uint32_t destination)
{
    const std::uint32_t alpha = source >> 24;
    std::uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8)
    {
        const std::uint32_t s = shift == 24 ? 255 : (source >> shift) & 0xFF;
        const std::uint32_t d = (destination >> shift) & 0xFF;
        // round(x / 255) for a whole x that is never a tie.
        out |= ((s * alpha + d * (255 - alpha) + 127) / 255) << shift;
    }
    return out;
}

void ReferenceDraw(TestSurface& target, const Image& image, float sx, float sy, float sw, float sh,
                   bool flipX, bool flipY)
{
    const double left = sx;
    const double top = sy;
    const double right = left + static_cast<double>(sw);
    const double bottom = top + static_cast<double>(sh);
    for (std::int32_t py = 0; py < target.height; ++py)
    {
        const double cy = static_cast<double>(py) + 0.5;
        if (!(cy >= top && cy < bottom))
        {
            continue;
        }
        for (std::int32_t px = 0; px < target.width; ++px)
        {
            const double cx = static_cast<double>(px) + 0.5;
            if (!(cx >= left && cx < right))
            {
                continue;
            }
            double u = std::floor((cx - left) / static_cast<double>(sw) * image.GetWidth());
            double v = std::floor((cy - top) / static_cast<double>(sh) * image.GetHeight());
            u = std::min(std::max(u, 0.0), static_cast<double>(image.GetWidth() - 1));
            v = std::min(std::max(v, 0.0), static_cast<double>(image.GetHeight() - 1));
            auto column = static_cast<std::int32_t>(u);
            auto row = static_cast<std::int32_t>(v);
            if (flipX)
            {
                column = image.GetWidth() - 1 - column;
            }
            if (flipY)
            {
                row = image.GetHeight() - 1 - row;
            }
            target.At(px, py) = ReferenceBlend(image.GetPixel(column, row), target.At(px, py));
        }
    }
}

constexpr std::uint32_t red = 0xFFFF0000u;
constexpr std::uint32_t green = 0xFF00FF00u;
constexpr std::uint32_t blue = 0xFF0000FFu;
constexpr std::uint32_t white = 0xFFFFFFFFu;

Image FourColours()
{
    return Image(2, 2, {red, green, blue, white});
}

// The colour expected in each 10x10 block of a 2x2 image drawn at 20x20.
void ExpectBlocks(TestSurface& target, std::uint32_t topLeft, std::uint32_t topRight,
                  std::uint32_t bottomLeft, std::uint32_t bottomRight)
{
    for (std::int32_t y = 0; y < 20; ++y)
    {
        for (std::int32_t x = 0; x < 20; ++x)
        {
            const std::uint32_t expected =
                y < 10 ? (x < 10 ? topLeft : topRight) : (x < 10 ? bottomLeft : bottomRight);
            ASSERT_EQ(target.At(x, y), expected) << "pixel " << x << "," << y;
        }
    }
}

// ---- Sampling and flips --------------------------------------------------------

TEST(ImageDrawing, TwoByTwoAtTwentyShowsTenByTenBlocks)
{
    TestSurface target(20, 20);
    DrawImage(target.surface, FourColours(), 0, 0, 20, 20, false, false);
    ExpectBlocks(target, red, green, blue, white);
    EXPECT_TRUE(target.PaddingIntact());
}

TEST(ImageDrawing, FlipsMirrorInsideTheSameRectangle)
{
    struct FlipCase
    {
        bool flipX;
        bool flipY;
        std::uint32_t blocks[4];
    };
    const FlipCase cases[] = {
        {true, false, {green, red, white, blue}},
        {false, true, {blue, white, red, green}},
        {true, true, {white, blue, green, red}}, // half a turn
    };
    for (const FlipCase& flip : cases)
    {
        TestSurface target(20, 20);
        DrawImage(target.surface, FourColours(), 0, 0, 20, 20, flip.flipX, flip.flipY);
        SCOPED_TRACE(std::string("flipX ") + (flip.flipX ? "on" : "off") + ", flipY " +
                     (flip.flipY ? "on" : "off"));
        ExpectBlocks(target, flip.blocks[0], flip.blocks[1], flip.blocks[2], flip.blocks[3]);
    }
}

TEST(ImageDrawing, CoverageIsByPixelCentreHalfOpen)
{
    const Image dot(1, 1, {red});
    struct CoverCase
    {
        float x;
        float w;
        std::int32_t first; // covered columns [first, end)
        std::int32_t end;
    };
    const CoverCase cases[] = {
        {0.5f, 1.0f, 0, 1},                       // centre 0.5 is in [0.5, 1.5), centre 1.5 is not
        {0.51f, 1.0f, 1, 2},                      // centre 0.5 is left of the edge
        {0.0f, 0.5f, 0, 0},                       // [0, 0.5) holds no centre
        {0.0f, 0.51f, 0, 1}, {-0.5f, 1.0f, 0, 0}, // [-0.5, 0.5): centre 0.5 is at the open end
        {2.25f, 3.5f, 2, 5}, // [2.25, 5.75): centres 2.5, 3.5, 4.5, not 5.5? 5.5 < 5.75 so 5 too
    };
    for (const CoverCase& cover : cases)
    {
        TestSurface target(8, 1);
        DrawImage(target.surface, dot, cover.x, 0, cover.w, 1, false, false);
        TestSurface expected(8, 1);
        ReferenceDraw(expected, dot, cover.x, 0, cover.w, 1, false, false);
        EXPECT_EQ(target.words, expected.words) << "x " << cover.x << " w " << cover.w;
    }
    // The last case spelled out: columns 2 to 5.
    TestSurface target(8, 1);
    DrawImage(target.surface, dot, 2.25f, 0, 3.5f, 1, false, false);
    for (std::int32_t x = 0; x < 8; ++x)
    {
        EXPECT_EQ(target.At(x, 0), x >= 2 && x <= 5 ? red : background) << x;
    }
}

TEST(ImageDrawing, NearestTexelWithTheHalfPixelOffset)
{
    // Three texels over four pixels: centres 0.5, 1.5, 2.5, 3.5 map to
    // 0.375, 1.125, 1.875, 2.625 texels: columns 0, 1, 1, 2.
    const Image strip(3, 1, {red, green, blue});
    TestSurface target(4, 1);
    DrawImage(target.surface, strip, 0, 0, 4, 1, false, false);
    EXPECT_EQ(target.At(0, 0), red);
    EXPECT_EQ(target.At(1, 0), green);
    EXPECT_EQ(target.At(2, 0), green);
    EXPECT_EQ(target.At(3, 0), blue);
    // Mirrored: 2 - u.
    TestSurface flipped(4, 1);
    DrawImage(flipped.surface, strip, 0, 0, 4, 1, true, false);
    EXPECT_EQ(flipped.At(0, 0), blue);
    EXPECT_EQ(flipped.At(1, 0), green);
    EXPECT_EQ(flipped.At(2, 0), green);
    EXPECT_EQ(flipped.At(3, 0), red);
}

// ---- Blending ------------------------------------------------------------------

TEST(ImageDrawing, AlphaZeroKeepsAndAlphaFullReplaces)
{
    const Image image(2, 1, {0x00FF0000u, 0xFF00FF00u});
    TestSurface target(2, 1, 0xFF112233u);
    DrawImage(target.surface, image, 0, 0, 2, 1, false, false);
    EXPECT_EQ(target.At(0, 0), 0xFF112233u);
    EXPECT_EQ(target.At(1, 0), 0xFF00FF00u);
}

TEST(ImageDrawing, PartialAlphaRoundsToNearest)
{
    struct BlendCase
    {
        std::uint32_t source;
        std::uint32_t destination;
        std::uint32_t expected;
    };
    const BlendCase cases[] = {
        // 255 * 128 / 255 = 128 exactly; 255 * 127 / 255 = 127.
        {0x80FFFFFFu, 0xFF000000u, 0xFF808080u},
        {0x80000000u, 0xFFFFFFFFu, 0xFF7F7F7Fu},
        // 200 * 100 / 255 + 10 * 155 / 255 = 78.43 + 6.08 = 84.5098... -> 85
        {0x64C8C8C8u, 0xFF0A0A0Au, 0xFF555555u},
        // 1 * 1 / 255 + 0 = 0.0039 -> 0; 255 * 1 / 255 = 1
        {0x01010101u, 0xFF000000u, 0xFF000000u},
        {0x01FFFFFFu, 0xFF000000u, 0xFF010101u},
        // 254 of alpha over black: 254 * 254 / 255 = 253.0039 -> 253
        {0xFEFEFEFEu, 0xFF000000u, 0xFFFDFDFDu},
        // A transparent destination gains the source's alpha: 255 * 128 / 255 + 0.
        {0x80FF0000u, 0x00000000u, 0x80800000u},
        // Half over half: 128 + 128 * 127 / 255 = 128 + 63.75 -> 192
        {0x80FF0000u, 0x800000FFu, 0xC080007Fu},
    };
    for (const BlendCase& blend : cases)
    {
        EXPECT_EQ(BlendPixel(blend.source, blend.destination), blend.expected)
            << std::hex << blend.source << " over " << blend.destination;
        EXPECT_EQ(ReferenceBlend(blend.source, blend.destination), blend.expected);
    }
}

TEST(ImageDrawing, BlendPixelMatchesTheFormulaForEveryAlphaAndChannel)
{
    // Every alpha against every source and destination byte, the channels
    // given different values so a mix-up between them shows.
    for (std::uint32_t alpha = 0; alpha < 256; ++alpha)
    {
        for (std::uint32_t s = 0; s < 256; ++s)
        {
            const std::uint32_t source = (alpha << 24) | (s << 16) | ((255 - s) << 8) | (s ^ 0x5A);
            for (std::uint32_t d = 0; d < 256; ++d)
            {
                const std::uint32_t destination =
                    ((d ^ 0x33) << 24) | (d << 16) | ((d ^ 0xA5) << 8) | (255 - d);
                const std::uint32_t got = BlendPixel(source, destination);
                const std::uint32_t expected = ReferenceBlend(source, destination);
                if (got != expected)
                {
                    FAIL() << std::hex << source << " over " << destination << " gave " << got << ", not "
                           << expected;
                }
            }
        }
    }
}

TEST(ImageDrawing, EveryRowKernelMatchesBlendPixel)
{
    std::mt19937 random(7);
    std::uniform_int_distribution<std::uint32_t> word;
    for (BlendKernel kernel : {BlendKernel::Scalar, BlendKernel::Sse2, BlendKernel::Avx2})
    {
        if (!IsBlendKernelAvailable(kernel))
        {
            continue;
        }
        for (std::int32_t count = 0; count <= 41; ++count)
        {
            for (int round = 0; round < 60; ++round)
            {
                // A texel row exactly as long as it says (reads past it show in
                // the sanitizer build), with runs of opaque and transparent
                // texels as well as partial ones, so the whole-group shortcuts
                // are taken too.
                const std::int32_t rowLength = 3 * count + 2;
                std::vector<std::uint32_t> row(static_cast<std::size_t>(rowLength));
                for (std::uint32_t& texel : row)
                {
                    texel = word(random);
                    const int kind = round % 4 == 0 ? 3 : static_cast<int>(word(random) % 3);
                    if (kind == 0)
                    {
                        texel |= 0xFF000000u;
                    }
                    else if (kind == 1)
                    {
                        texel &= 0x00FFFFFFu;
                    }
                }
                // Texel columns as drawing makes them: rising one by one,
                // stretched, shrunk, falling for a mirrored image, and close to
                // the end of the row.
                std::vector<std::int32_t> columns(static_cast<std::size_t>(count));
                for (std::int32_t i = 0; i < count; ++i)
                {
                    const std::int32_t mirrored = count - 1 - i;
                    const std::int32_t patterns[] = {i,
                                                     i * 2 / 3,
                                                     i * 3,
                                                     mirrored,
                                                     mirrored * 2 / 3,
                                                     rowLength - count + i,
                                                     rowLength - 1 - i * 2 / 3};
                    columns[static_cast<std::size_t>(i)] = patterns[round % 7];
                }
                std::vector<std::uint32_t> destination(static_cast<std::size_t>(count));
                for (std::uint32_t& pixel : destination)
                {
                    pixel = word(random);
                }
                std::vector<std::uint32_t> expected = destination;
                for (std::size_t i = 0; i < expected.size(); ++i)
                {
                    expected[i] = ReferenceBlend(row[static_cast<std::size_t>(columns[i])], expected[i]);
                }
                // Guard words after the destination must stay untouched.
                destination.insert(destination.end(), 8, paddingMark);
                expected.insert(expected.end(), 8, paddingMark);
                BlendRow(kernel, destination.data(), row.data(), rowLength, columns.data(), count);
                ASSERT_EQ(destination, expected) << "kernel " << static_cast<int>(kernel) << ", " << count
                                                 << " pixels, pattern " << round % 7;
            }
        }
    }
}

// ---- The rule against its literal statement --------------------------------------

// Images whose rows hold every kind of run: transparent, opaque, partial,
// and rows too broken up to list.
Image MakeTestImage(std::int32_t width, std::int32_t height, std::mt19937& random)
{
    std::uniform_int_distribution<std::uint32_t> word;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (std::int32_t y = 0; y < height; ++y)
    {
        const int rowStyle = static_cast<int>(word(random) % 5);
        for (std::int32_t x = 0; x < width; ++x)
        {
            std::uint32_t texel = word(random) & 0x00FFFFFFu;
            std::uint32_t alpha = 0;
            switch (rowStyle)
            {
            case 0: // noise
                alpha = word(random) & 0xFF;
                break;
            case 1: // transparent, opaque band, transparent
                alpha = (x >= width / 4 && x < width * 3 / 4) ? 255 : 0;
                break;
            case 2: // an edge of partial alpha around an opaque middle
                alpha = x == 0 || x == width - 1 ? 0 : (x == 1 || x == width - 2 ? 128 : 255);
                break;
            case 3: // alternating opaque and transparent
                alpha = (x % 2) * 255;
                break;
            default: // all transparent
                alpha = 0;
                break;
            }
            pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                   static_cast<std::size_t>(x)] = texel | (alpha << 24);
        }
    }
    return Image(width, height, std::move(pixels));
}

struct RectCase
{
    float x;
    float y;
    float w;
    float h;
};

void ExpectSameAsReference(const Image& image, const RectCase& rect, bool flipX, bool flipY,
                           std::uint32_t seed)
{
    std::mt19937 random(seed);
    std::uniform_int_distribution<std::uint32_t> word;
    TestSurface target(23, 17);
    for (std::uint32_t& pixel : target.words)
    {
        pixel = pixel == paddingMark ? paddingMark : word(random) | 0xFF000000u;
    }
    TestSurface expected = target;
    expected.surface.pixels = expected.words.data();
    DrawImage(target.surface, image, rect.x, rect.y, rect.w, rect.h, flipX, flipY);
    ReferenceDraw(expected, image, rect.x, rect.y, rect.w, rect.h, flipX, flipY);
    ASSERT_EQ(target.words, expected.words)
        << "image " << image.GetWidth() << "x" << image.GetHeight() << " at " << rect.x << "," << rect.y
        << " size " << rect.w << "x" << rect.h << " flips " << flipX << flipY;
    ASSERT_TRUE(target.PaddingIntact());
}

TEST(ImageDrawing, RandomRectanglesMatchTheLiteralRule)
{
    std::mt19937 random(2024);
    std::uniform_real_distribution<float> position(-12.0f, 30.0f);
    std::uniform_real_distribution<float> size(0.0f, 30.0f);
    std::uniform_int_distribution<int> side(1, 40);
    for (int round = 0; round < 600; ++round)
    {
        const Image image = MakeTestImage(side(random), side(random), random);
        RectCase rect{position(random), position(random), size(random), size(random)};
        if (round % 3 == 0)
        {
            // Edges on and next to half pixels, where rounding would show.
            rect.x = std::round(rect.x * 2) / 2 + (round % 2 == 0 ? 0.0f : 1e-6f);
            rect.w = std::round(rect.w * 2) / 2;
        }
        ExpectSameAsReference(image, rect, round % 2 == 1, round % 5 == 1, static_cast<std::uint32_t>(round));
    }
}

TEST(ImageDrawing, LargeImagesDrawnSmallMatchTheLiteralRule)
{
    // Much wider than the span it lands in: drawn texel by texel, no runs.
    std::mt19937 random(99);
    const Image wide = MakeTestImage(300, 7, random);
    ExpectSameAsReference(wide, {1.5f, 2.0f, 9.0f, 5.0f}, false, false, 1);
    ExpectSameAsReference(wide, {1.5f, 2.0f, 9.0f, 5.0f}, true, true, 2);
    const Image tall = MakeTestImage(5, 500, random);
    ExpectSameAsReference(tall, {0.0f, 0.0f, 23.0f, 17.0f}, false, true, 3);
}

TEST(ImageDrawing, ExtremeRectanglesNeverOverflow)
{
    constexpr float inf = std::numeric_limits<float>::infinity();
    constexpr float nan = std::numeric_limits<float>::quiet_NaN();
    constexpr float big = std::numeric_limits<float>::max();
    const RectCase cases[] = {
        {0, 0, inf, inf},
        {-inf, 0, inf, 10},
        {0, 0, nan, 10},
        {nan, nan, 10, 10},
        {-big, -big, big, big},
        {-big, -big, inf, inf},
        {0, 0, big, big},
        {big, big, big, big},
        {-1e30f, 0, 2e30f, 5},
        {5, 5, -3, 3},
        {5, 5, 0, 3},
        {-inf, -inf, -inf, -inf},
        {3, 3, 1e-30f, 1e-30f},
        {0, 0, 1e-7f, 20},
        {2147483648.0f, 0, 10, 10},
        {-2147483648.0f, 0, 2147483648.0f + 5.0f, 3},
    };
    std::mt19937 random(5);
    const Image image = MakeTestImage(4, 3, random);
    std::uint32_t seed = 0;
    for (const RectCase& rect : cases)
    {
        for (bool flip : {false, true})
        {
            ExpectSameAsReference(image, rect, flip, flip, ++seed);
        }
    }
    // An infinite size stretches texel 0 to the edge (the last one flipped).
    TestSurface target(6, 1);
    const Image strip(3, 1, {red, green, blue});
    DrawImage(target.surface, strip, 2, 0, inf, 1, false, false);
    EXPECT_EQ(target.At(1, 0), background);
    EXPECT_EQ(target.At(2, 0), red);
    EXPECT_EQ(target.At(5, 0), red);
    DrawImage(target.surface, strip, 2, 0, inf, 1, true, false);
    EXPECT_EQ(target.At(5, 0), blue);
}

TEST(ImageDrawing, EmptyOrMissingSurfaceIsLeftAlone)
{
    const Image image = FourColours();
    Surface none;
    DrawImage(none, image, 0, 0, 10, 10, false, false); // no pixels at all
    TestSurface target(4, 4);
    const std::vector<std::uint32_t> before = target.words;
    DrawImage(target.surface, image, 4, 0, 10, 10, false, false);  // entirely right of it
    DrawImage(target.surface, image, 0, -10, 4, 10, false, false); // entirely above (bottom edge open)
    EXPECT_EQ(target.words, before);
}

TEST(ImageDrawing, RunsOfAnImageRow)
{
    const Image image(6, 2,
                      {0, 0, 0xFF000000u, 0xFF000001u, 0x80000000u, 0, // T T O O P T
                       0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u});
    const auto first = image.GetRuns(0);
    ASSERT_EQ(first.size(), 4u);
    EXPECT_EQ(first[0].end, 2u);
    EXPECT_EQ(first[0].kind, Image::RunKind::Transparent);
    EXPECT_EQ(first[1].end, 4u);
    EXPECT_EQ(first[1].kind, Image::RunKind::Opaque);
    EXPECT_EQ(first[2].end, 5u);
    EXPECT_EQ(first[2].kind, Image::RunKind::Partial);
    EXPECT_EQ(first[3].end, 6u);
    EXPECT_EQ(first[3].kind, Image::RunKind::Transparent);
    const auto second = image.GetRuns(1);
    ASSERT_EQ(second.size(), 1u);
    EXPECT_EQ(second[0].kind, Image::RunKind::Opaque);

    // A row that changes at every texel is one Mixed run.
    std::vector<std::uint32_t> stripes(64);
    for (std::size_t i = 0; i < stripes.size(); ++i)
    {
        stripes[i] = (i % 2) != 0 ? 0xFF000000u : 0u;
    }
    const Image striped(64, 1, stripes);
    ASSERT_EQ(striped.GetRuns(0).size(), 1u);
    EXPECT_EQ(striped.GetRuns(0)[0].kind, Image::RunKind::Mixed);
}

} // namespace
} // namespace Marrowvane
