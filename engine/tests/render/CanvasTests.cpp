#include "render/Canvas.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace Marrowvane
{
namespace
{

constexpr std::uint32_t background = 0xFF101010u;
constexpr std::uint32_t ink = 0xFFAA5500u;
constexpr std::uint32_t padding = 0xDEADBEEFu;
constexpr std::int32_t intMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t intMax = std::numeric_limits<std::int32_t>::max();

// A small surface whose rows may carry padding pixels past the width, to show
// that nothing is ever written there.
struct TestSurface
{
    TestSurface(std::int32_t width, std::int32_t height, std::int32_t paddingPixels = 0)
        : stride(width + paddingPixels), storage(static_cast<std::size_t>(stride * height), padding)
    {
        surface = Surface{width, height, stride * 4, storage.data()};
        for (std::int32_t y = 0; y < height; ++y)
        {
            for (std::int32_t x = 0; x < width; ++x)
            {
                At(x, y) = background;
            }
        }
    }

    std::uint32_t& At(std::int32_t x, std::int32_t y)
    {
        return storage[static_cast<std::size_t>(y * stride + x)];
    }

    bool PaddingIntact() const
    {
        for (std::int32_t y = 0; y < surface.height; ++y)
        {
            for (std::int32_t x = surface.width; x < stride; ++x)
            {
                if (storage[static_cast<std::size_t>(y * stride + x)] != padding)
                {
                    return false;
                }
            }
        }
        return true;
    }

    // The surface as rows of '#' (ink), '.' (background) and '?' (other).
    std::string Picture()
    {
        std::string text;
        for (std::int32_t y = 0; y < surface.height; ++y)
        {
            for (std::int32_t x = 0; x < surface.width; ++x)
            {
                text += At(x, y) == ink ? '#' : At(x, y) == background ? '.' : '?';
            }
            text += '\n';
        }
        return text;
    }

    std::int32_t stride;
    std::vector<std::uint32_t> storage;
    Surface surface;
};

bool InHalfOpen(std::int64_t v, std::int64_t low, std::int64_t high)
{
    return low <= v && v < high;
}

// The outline rule as a plain set membership, for comparison.
bool OutlineCovers(const PixelRect& r, std::int64_t x, std::int64_t y)
{
    const bool outer =
        InHalfOpen(x, std::int64_t{r.left} - 1, r.right) && InHalfOpen(y, std::int64_t{r.top} - 1, r.bottom);
    const bool inner = InHalfOpen(x, std::int64_t{r.left} + 1, std::int64_t{r.right} - 2) &&
                       InHalfOpen(y, std::int64_t{r.top} + 1, std::int64_t{r.bottom} - 2);
    return outer && !inner;
}

bool FillCovers(const PixelRect& r, std::int64_t x, std::int64_t y)
{
    return InHalfOpen(x, r.left, r.right) && InHalfOpen(y, r.top, r.bottom);
}

TEST(PixelEdgeTest, TruncatesTowardZeroAndSaturates)
{
    struct Case
    {
        float value;
        std::int32_t edge;
    };
    const Case cases[] = {
        {0.0f, 0},
        {-0.0f, 0},
        {20.9f, 20},
        {-0.5f, 0},
        {-1.9f, -1},
        {41.0f, 41},
        {2147483520.0f, 2147483520}, // the largest float below 2^31
        {2147483648.0f, intMax},
        {-2147483648.0f, intMin},
        {1e30f, intMax},
        {-1e30f, intMin},
        {std::numeric_limits<float>::infinity(), intMax},
        {-std::numeric_limits<float>::infinity(), intMin},
        {std::numeric_limits<float>::max(), intMax},
    };
    for (const Case& c : cases)
    {
        const auto edge = PixelEdgeFromFloat(c.value);
        ASSERT_TRUE(edge.has_value()) << c.value;
        EXPECT_EQ(*edge, c.edge) << c.value;
    }
}

TEST(PixelEdgeTest, NaNHasNoEdgeAndNoRect)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_FALSE(PixelEdgeFromFloat(nan).has_value());
    EXPECT_FALSE(PixelRectFromEdges(nan, 0, 1, 1).has_value());
    EXPECT_FALSE(PixelRectFromEdges(0, nan, 1, 1).has_value());
    EXPECT_FALSE(PixelRectFromEdges(0, 0, nan, 1).has_value());
    EXPECT_FALSE(PixelRectFromEdges(0, 0, 1, nan).has_value());
    EXPECT_EQ(PixelRectFromEdges(1.5f, 2.5f, 3.5f, 4.5f), (PixelRect{1, 2, 3, 4}));
}

TEST(CanvasFillTest, CoversLeftToRightExclusiveAndTopToBottomExclusive)
{
    TestSurface target(8, 5);
    Canvas(target.surface).FillRect({2, 1, 5, 3}, ink);
    EXPECT_EQ(target.Picture(), "........\n"
                                "..###...\n"
                                "..###...\n"
                                "........\n"
                                "........\n");
}

TEST(CanvasFillTest, ClipsAtEveryEdge)
{
    TestSurface target(6, 4, 3);
    Canvas(target.surface).FillRect({-3, -2, 2, 1}, ink);
    Canvas(target.surface).FillRect({4, 2, 100, 100}, ink);
    EXPECT_EQ(target.Picture(), "##....\n"
                                "......\n"
                                "....##\n"
                                "....##\n");
    EXPECT_TRUE(target.PaddingIntact());
}

TEST(CanvasFillTest, EmptyAndInvertedRectsDrawNothing)
{
    TestSurface target(6, 4);
    const PixelRect rects[] = {{2, 1, 2, 3}, {2, 1, 4, 1},   {4, 1, 2, 3},
                               {2, 3, 4, 1}, {10, 0, 20, 4}, {-5, 0, -1, 4}};
    for (const PixelRect& rect : rects)
    {
        Canvas(target.surface).FillRect(rect, ink);
    }
    EXPECT_EQ(target.Picture(), "......\n"
                                "......\n"
                                "......\n"
                                "......\n");
}

TEST(CanvasFillTest, EdgesAtTheEndsOfTheRangeCoverTheWholeSurface)
{
    TestSurface target(5, 3, 2);
    Canvas(target.surface).FillRect({intMin, intMin, intMax, intMax}, ink);
    EXPECT_EQ(target.Picture(), "#####\n"
                                "#####\n"
                                "#####\n");
    EXPECT_TRUE(target.PaddingIntact());
}

TEST(CanvasFillTest, EveryRunLengthStoresExactlyItsPixels)
{
    // The fill stores blocks with an overlapping last store: check each
    // length and offset against its neighbours.
    for (std::int32_t left = 0; left < 5; ++left)
    {
        for (std::int32_t width = 0; width <= 40; ++width)
        {
            TestSurface target(48, 2, 4);
            Canvas(target.surface).FillRect({left, 0, left + width, 1}, ink);
            for (std::int32_t x = 0; x < 48; ++x)
            {
                ASSERT_EQ(target.At(x, 0), x >= left && x < left + width ? ink : background)
                    << "left " << left << " width " << width << " x " << x;
                ASSERT_EQ(target.At(x, 1), background);
            }
            ASSERT_TRUE(target.PaddingIntact());
        }
    }
}

TEST(CanvasClearTest, FillsEveryPixelAndNoPadding)
{
    for (const std::int32_t paddingPixels : {0, 1, 5})
    {
        TestSurface target(7, 3, paddingPixels);
        Canvas(target.surface).Clear(ink);
        EXPECT_EQ(target.Picture(), "#######\n#######\n#######\n") << paddingPixels;
        EXPECT_TRUE(target.PaddingIntact()) << paddingPixels;
    }
}

TEST(CanvasClearTest, EmptyOrMissingSurfaceIsLeftAlone)
{
    Surface none;
    Canvas(none).Clear(ink);
    Canvas(none).FillRect({0, 0, 10, 10}, ink);
    Canvas(none).OutlineRect({0, 0, 10, 10}, ink);
    std::uint32_t pixel = background;
    Surface zeroWidth{0, 1, 0, &pixel};
    Canvas(zeroWidth).Clear(ink);
    Canvas(zeroWidth).FillRect({0, 0, 10, 10}, ink);
    Canvas(zeroWidth).OutlineRect({0, 0, 10, 10}, ink);
    EXPECT_EQ(pixel, background);
}

TEST(CanvasOutlineTest, TwoPixelPenCentredOnTheBorder)
{
    // Left 10, top 10, right 30, bottom 30: columns 9-10 and 28-29, rows 9-10
    // and 28-29.
    TestSurface target(40, 40);
    Canvas(target.surface).OutlineRect({10, 10, 30, 30}, ink);
    for (std::int32_t y = 0; y < 40; ++y)
    {
        for (std::int32_t x = 0; x < 40; ++x)
        {
            const bool column = x == 9 || x == 10 || x == 28 || x == 29;
            const bool row = y == 9 || y == 10 || y == 28 || y == 29;
            const bool inBox = x >= 9 && x <= 29 && y >= 9 && y <= 29;
            const bool expected = inBox && (column || row);
            ASSERT_EQ(target.At(x, y) == ink, expected) << x << "," << y;
        }
    }
}

TEST(CanvasOutlineTest, SmallOutlinesOnATinySurface)
{
    TestSurface target(12, 8);
    Canvas canvas(target.surface);
    canvas.OutlineRect({1, 1, 7, 6}, ink);  // hollow
    canvas.OutlineRect({9, 1, 10, 2}, ink); // 1 by 1: a 2 by 2 dot
    canvas.OutlineRect({9, 5, 9, 9}, ink);  // zero width: the column left of it
    EXPECT_EQ(target.Picture(), "#######.##..\n"
                                "#######.##..\n"
                                "##...##.....\n"
                                "##...##.....\n"
                                "#######.#...\n"
                                "#######.#...\n"
                                "........#...\n"
                                "........#...\n");
}

TEST(CanvasOutlineTest, InsideKeepsWhatLiesBeneath)
{
    TestSurface target(10, 10);
    constexpr std::uint32_t under = 0xFF00FF00u;
    Canvas canvas(target.surface);
    canvas.FillRect({2, 2, 8, 8}, under);
    canvas.OutlineRect({2, 2, 8, 8}, ink);
    for (std::int32_t y = 3; y < 6; ++y)
    {
        for (std::int32_t x = 3; x < 6; ++x)
        {
            EXPECT_EQ(target.At(x, y), under) << x << "," << y;
        }
    }
    EXPECT_EQ(target.At(6, 6), ink); // right-2, bottom-2: the pen's inner half
    EXPECT_EQ(target.At(1, 1), ink); // left-1, top-1: its outer half
    EXPECT_EQ(target.At(0, 0), background);
    EXPECT_EQ(target.At(8, 8), background); // right, bottom: outside
}

TEST(CanvasOutlineTest, MatchesTheRuleForEveryPlacementAndSize)
{
    constexpr std::int32_t width = 12;
    constexpr std::int32_t height = 9;
    for (std::int32_t left = -4; left <= width + 2; ++left)
    {
        for (std::int32_t w = -2; w <= 9; ++w)
        {
            for (std::int32_t top = -4; top <= height + 2; ++top)
            {
                for (std::int32_t h = -2; h <= 9; h += 1)
                {
                    const PixelRect rect{left, top, left + w, top + h};
                    TestSurface target(width, height, 2);
                    Canvas(target.surface).OutlineRect(rect, ink);
                    TestSurface filled(width, height, 2);
                    Canvas(filled.surface).FillRect(rect, ink);
                    for (std::int32_t y = 0; y < height; ++y)
                    {
                        for (std::int32_t x = 0; x < width; ++x)
                        {
                            ASSERT_EQ(target.At(x, y) == ink, OutlineCovers(rect, x, y))
                                << "outline " << left << "," << top << " " << w << "x" << h << " at " << x
                                << "," << y;
                            ASSERT_EQ(filled.At(x, y) == ink, FillCovers(rect, x, y))
                                << "fill " << left << "," << top << " " << w << "x" << h << " at " << x << ","
                                << y;
                        }
                    }
                    ASSERT_TRUE(target.PaddingIntact());
                    ASSERT_TRUE(filled.PaddingIntact());
                }
            }
        }
    }
}

TEST(CanvasOutlineTest, EdgesAtTheEndsOfTheRangeNeverOverflow)
{
    TestSurface target(6, 4, 1);
    Canvas canvas(target.surface);
    // The whole range: every band lies outside the surface.
    canvas.OutlineRect({intMin, intMin, intMax, intMax}, ink);
    EXPECT_EQ(target.Picture(), "......\n......\n......\n......\n");
    // A rect reaching far right and down from (2, 1): only its left and top
    // bands show.
    canvas.OutlineRect({2, 1, intMax, intMax}, ink);
    EXPECT_EQ(target.Picture(), ".#####\n.#####\n.##...\n.##...\n");
    TestSurface low(6, 4, 1);
    Canvas(low.surface).OutlineRect({intMin, intMin, 3, 2}, ink);
    EXPECT_EQ(low.Picture(), "###...\n###...\n......\n......\n");
    EXPECT_TRUE(target.PaddingIntact());
    EXPECT_TRUE(low.PaddingIntact());
}

} // namespace
} // namespace Marrowvane
