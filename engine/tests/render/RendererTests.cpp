#include "platform/Window.h"
#include "render/Renderer.h"

#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <unistd.h>

namespace Marrowvane
{
namespace
{

constexpr Color3 backgroundColor{10, 20, 30};
constexpr Color3 red{255, 0, 0};
constexpr Color3 green{0, 255, 0};
constexpr Color3 blue{0, 0, 255};
constexpr float inf = std::numeric_limits<float>::infinity();
constexpr float nan = std::numeric_limits<float>::quiet_NaN();

struct Box
{
    int left;
    int top;
    int right;
    int bottom;
    friend bool operator==(const Box&, const Box&) = default;
};

std::ostream& operator<<(std::ostream& out, const Box& box)
{
    return out << "[" << box.left << "," << box.top << ")-[" << box.right << "," << box.bottom << ")";
}

// A renderer on a small offscreen window (SDL's offscreen driver comes from
// the test environment).
class RendererTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(window.Create(64, 48, "Renderer test"));
        ASSERT_TRUE(renderer.Initialize(window));
    }

    std::uint32_t At(int x, int y) { return renderer.GetBackBuffer().Row(y)[x]; }

    // The bounding box of the pixels of one colour; all of it must be that
    // colour, so the box is exactly the filled rect.
    Box FilledBox(Color3 color)
    {
        const Surface& surface = renderer.GetBackBuffer();
        const std::uint32_t pixel = PackPixel(color);
        Box box{surface.width, surface.height, 0, 0};
        int count = 0;
        for (int y = 0; y < surface.height; ++y)
        {
            for (int x = 0; x < surface.width; ++x)
            {
                if (surface.Row(y)[x] == pixel)
                {
                    box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1),
                           std::max(box.bottom, y + 1)};
                    ++count;
                }
            }
        }
        if (count == 0)
        {
            return {0, 0, 0, 0};
        }
        EXPECT_EQ(count, (box.right - box.left) * (box.bottom - box.top)) << "not one solid rect";
        return box;
    }

    Window window;
    Renderer renderer;
};

TEST(RendererDefaultsTest, CameraAndPixelPerfectStartAsDocumented)
{
    Renderer renderer;
    const Camera& camera = renderer.GetCamera();
    EXPECT_EQ(camera.x, 0.0f);
    EXPECT_EQ(camera.y, 0.0f);
    EXPECT_EQ(camera.zoom, 1.0f);
    EXPECT_EQ(camera.viewWidth, 1280.0f);
    EXPECT_EQ(camera.viewHeight, 720.0f);
    EXPECT_EQ(renderer.WorldToScreenX(0.5f), 1.0f); // pixel-perfect by default
    EXPECT_EQ(renderer.GetBackBuffer().pixels, nullptr);
}

TEST(RendererDefaultsTest, WithoutAWindowEverythingIsHarmless)
{
    Renderer renderer;
    renderer.BeginFrame(backgroundColor);
    renderer.DrawRect(0, 0, 10, 10, red);
    renderer.DrawDebugRect(0, 0, 10, 10, red);
    renderer.Present();
    EXPECT_EQ(renderer.GetBackBuffer().width, 0);
    EXPECT_FALSE(renderer.SaveScreenshot(std::filesystem::temp_directory_path() / "marrowvane-never.png"));
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::temp_directory_path() / "marrowvane-never.png"));
}

TEST(RendererEmptyClientTest, AZeroByZeroClientGetsAnEmptySurfaceAndTheNextSizeAFullOne)
{
    // A window with no client area (minimised, or not made yet) reports 0 by
    // 0: the frame is empty, drawing and presenting do nothing, and the first
    // frame with a size makes a full back buffer again.
    Window window;
    Renderer renderer;
    renderer.Initialize(window);
    renderer.BeginFrame(backgroundColor);
    EXPECT_EQ(renderer.GetBackBuffer().width, 0);
    EXPECT_EQ(renderer.GetBackBuffer().height, 0);
    EXPECT_EQ(renderer.GetBackBuffer().pixels, nullptr);
    renderer.DrawRect(0, 0, 10, 10, red);
    renderer.DrawDebugRect(0, 0, 10, 10, red);
    renderer.Present();
    EXPECT_FALSE(renderer.SaveScreenshot(std::filesystem::temp_directory_path() / "marrowvane-empty.png"));
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::temp_directory_path() / "marrowvane-empty.png"));
    ASSERT_TRUE(window.Create(16, 8, "Restored"));
    renderer.BeginFrame(backgroundColor);
    EXPECT_EQ(renderer.GetBackBuffer().width, 16);
    EXPECT_EQ(renderer.GetBackBuffer().height, 8);
    EXPECT_EQ(renderer.GetBackBuffer().Row(7)[15], PackPixel(backgroundColor));
}

TEST_F(RendererTest, BeginFrameMakesAClientSizedBackBufferClearedToTheBackground)
{
    renderer.BeginFrame(backgroundColor);
    const Surface& back = renderer.GetBackBuffer();
    ASSERT_EQ(back.width, 64);
    ASSERT_EQ(back.height, 48);
    EXPECT_EQ(back.pitch, 64 * 4);
    for (int y = 0; y < 48; ++y)
    {
        for (int x = 0; x < 64; ++x)
        {
            ASSERT_EQ(At(x, y), 0xFF0A141Eu) << x << "," << y;
        }
    }
}

TEST_F(RendererTest, ProjectionExampleWithAndWithoutPixelPerfect)
{
    struct Case
    {
        bool pixelPerfect;
        Box expected;
    };
    for (const Case& c : {Case{true, {21, 20, 41, 30}}, Case{false, {20, 20, 40, 30}}})
    {
        renderer.SetPixelPerfect(c.pixelPerfect);
        renderer.BeginFrame(backgroundColor);
        renderer.SetCamera(Camera{100.0f, 50.0f, 2.0f, 1280.0f, 720.0f});
        renderer.DrawRect(110.25f, 60.0f, 10.0f, 5.0f, red);
        EXPECT_EQ(FilledBox(red), c.expected) << "pixel-perfect " << c.pixelPerfect;
    }
}

TEST_F(RendererTest, PixelPerfectRoundsHalfAwayFromZeroOtherwiseEdgesTruncate)
{
    renderer.SetCamera(Camera{100.0f, 50.0f, 2.0f, 1280.0f, 720.0f});
    renderer.SetPixelPerfect(true);
    EXPECT_EQ(renderer.WorldToScreenX(99.75f), -1.0f);
    EXPECT_EQ(renderer.WorldToScreenX(110.25f), 21.0f);
    EXPECT_EQ(renderer.WorldToScreenY(49.75f), -1.0f);
    EXPECT_EQ(renderer.WorldToScreenY(50.25f), 1.0f);
    EXPECT_EQ(renderer.WorldToScreenX(100.2f), 0.0f);
    renderer.SetPixelPerfect(false);
    EXPECT_EQ(renderer.WorldToScreenX(99.75f), -0.5f);
    EXPECT_EQ(renderer.WorldToScreenY(50.25f), 0.5f);

    // A rect at 99.75 starts at column 0 either way (clipped from -1, or
    // -0.5 truncated); one at 100.25 starts at 1 rounded and at 0 truncated.
    renderer.SetPixelPerfect(false);
    renderer.BeginFrame(backgroundColor);
    renderer.DrawRect(99.75f, 50.0f, 5.0f, 1.0f, red);
    EXPECT_EQ(FilledBox(red), (Box{0, 0, 9, 2}));
    renderer.BeginFrame(backgroundColor);
    renderer.DrawRect(100.25f, 50.0f, 5.0f, 1.0f, red);
    EXPECT_EQ(FilledBox(red), (Box{0, 0, 10, 2}));
    renderer.SetPixelPerfect(true);
    renderer.BeginFrame(backgroundColor);
    renderer.DrawRect(100.25f, 50.0f, 5.0f, 1.0f, red);
    EXPECT_EQ(FilledBox(red), (Box{1, 0, 11, 2}));
}

TEST_F(RendererTest, SizesAreScaledButNeverRounded)
{
    renderer.SetPixelPerfect(true);
    renderer.BeginFrame(backgroundColor);
    renderer.SetCamera(Camera{0.0f, 0.0f, 1.5f, 1280.0f, 720.0f});
    renderer.DrawRect(2.0f, 2.0f, 3.3f, 3.3f, red); // 3 + 4.95 = 7.95 -> 7
    EXPECT_EQ(FilledBox(red), (Box{3, 3, 7, 7}));
}

TEST_F(RendererTest, VisibilityIsStrictAgainstTheView)
{
    struct Case
    {
        float x, y, width, height;
        bool visible;
    };
    const Case cases[] = {
        {1280.0f, 0.0f, 10.0f, 10.0f, false}, // touches the right edge
        {1279.5f, 0.0f, 10.0f, 10.0f, true},
        {-10.0f, 0.0f, 10.0f, 10.0f, false}, // touches the left edge
        {-10.0f, 0.0f, 10.5f, 10.0f, true},
        {0.0f, 720.0f, 10.0f, 10.0f, false},
        {0.0f, 719.9f, 10.0f, 10.0f, true},
        {0.0f, -10.0f, 10.0f, 10.0f, false},
        {0.0f, -10.0f, 10.0f, 10.1f, true},
        {-1e30f, -1e30f, 2e30f, 2e30f, true},
        {nan, 0.0f, 10.0f, 10.0f, false},
        {0.0f, 0.0f, nan, 10.0f, false},
        {-inf, 0.0f, inf, 10.0f, false}, // -inf + inf is NaN
        {0.0f, 0.0f, inf, inf, true},
        {5.0f, 5.0f, -1.0f, 1.0f, true}, // a negative width still overlaps
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ(renderer.IsVisible(c.x, c.y, c.width, c.height), c.visible)
            << c.x << "," << c.y << " " << c.width << "x" << c.height;
    }
    renderer.SetCamera(Camera{0.0f, 0.0f, 2.0f, 1280.0f, 720.0f});
    EXPECT_FALSE(renderer.IsVisible(640.0f, 0.0f, 1.0f, 1.0f));
    EXPECT_TRUE(renderer.IsVisible(639.5f, 0.0f, 1.0f, 1.0f));
}

TEST_F(RendererTest, CullingFollowsTheViewNotTheClientArea)
{
    // The client area is 64 wide; the view only 32.
    renderer.BeginFrame(backgroundColor);
    renderer.SetCamera(Camera{0.0f, 0.0f, 1.0f, 32.0f, 48.0f});
    renderer.DrawRect(40.0f, 4.0f, 8.0f, 8.0f, red);
    renderer.DrawDebugRect(40.0f, 20.0f, 8.0f, 8.0f, blue);
    renderer.DrawRect(20.0f, 4.0f, 8.0f, 8.0f, green);
    EXPECT_EQ(FilledBox(red), (Box{0, 0, 0, 0}));
    EXPECT_EQ(FilledBox(blue), (Box{0, 0, 0, 0}));
    EXPECT_EQ(FilledBox(green), (Box{20, 4, 28, 12}));
}

TEST_F(RendererTest, ZoomGuardReplacesTinyZeroAndNegativeZooms)
{
    struct Case
    {
        float zoom;
        float kept;
    };
    const Case cases[] = {{0.0f, 1.0f},   {-2.0f, 1.0f},    {0.01f, 1.0f},
                          {0.005f, 1.0f}, {0.011f, 0.011f}, {2.5f, 2.5f}};
    for (const Case& c : cases)
    {
        renderer.SetCamera(Camera{1.0f, 2.0f, c.zoom, 300.0f, 200.0f});
        EXPECT_EQ(renderer.GetCamera().zoom, c.kept) << c.zoom;
        EXPECT_EQ(renderer.GetCamera().x, 1.0f);
        EXPECT_EQ(renderer.GetCamera().y, 2.0f);
        EXPECT_EQ(renderer.GetCamera().viewWidth, 300.0f);
        EXPECT_EQ(renderer.GetCamera().viewHeight, 200.0f);
    }
}

TEST_F(RendererTest, ListsDrawInOrderAndOutlinesLieOverRects)
{
    renderer.BeginFrame(backgroundColor);
    renderer.DrawRects({RectCommand{4, 4, 20, 20, red}, RectCommand{10, 10, 4, 4, green}});
    renderer.DrawDebugRects({RectCommand{4, 4, 20, 20, blue}});
    const std::uint32_t outline = PackPixel(blue);
    // The outline's pen: columns 3-4 and 22-23, rows 3-4 and 22-23.
    for (const int edge : {3, 4, 22, 23})
    {
        EXPECT_EQ(At(edge, 12), outline) << edge;
        EXPECT_EQ(At(12, edge), outline) << edge;
    }
    EXPECT_EQ(At(5, 5), PackPixel(red)); // the inside shows the rect beneath
    EXPECT_EQ(At(21, 21), PackPixel(red));
    EXPECT_EQ(At(11, 11), PackPixel(green)); // the later rect on top of the earlier
    EXPECT_EQ(At(2, 12), PackPixel(backgroundColor));
    EXPECT_EQ(At(24, 12), PackPixel(backgroundColor));
}

TEST_F(RendererTest, OutlineFollowsTheProjection)
{
    renderer.BeginFrame(backgroundColor);
    renderer.SetCamera(Camera{100.0f, 50.0f, 2.0f, 1280.0f, 720.0f});
    renderer.DrawDebugRect(105.0f, 55.0f, 10.0f, 5.0f, blue); // left 10, top 10, right 30, bottom 20
    EXPECT_EQ(At(9, 9), PackPixel(blue));
    EXPECT_EQ(At(29, 19), PackPixel(blue));
    EXPECT_EQ(At(11, 11), PackPixel(backgroundColor));
    EXPECT_EQ(At(30, 15), PackPixel(backgroundColor));
    EXPECT_EQ(At(8, 15), PackPixel(backgroundColor));
}

TEST_F(RendererTest, HugeInfiniteAndNaNCoordinatesNeverCrash)
{
    renderer.BeginFrame(backgroundColor);
    renderer.DrawRect(-1e30f, -1e30f, 2e30f, 2e30f, red);
    EXPECT_EQ(FilledBox(red), (Box{0, 0, 64, 48}));

    renderer.BeginFrame(backgroundColor);
    renderer.DrawRect(8.0f, 6.0f, inf, inf, red);
    EXPECT_EQ(FilledBox(red), (Box{8, 6, 64, 48}));

    renderer.BeginFrame(backgroundColor);
    renderer.SetCamera(Camera{0.0f, 0.0f, 1e30f, 1280.0f, 720.0f});
    renderer.DrawRect(0.0f, 0.0f, 1e20f, 1e20f, red); // sizes overflow to infinity
    renderer.DrawDebugRect(0.0f, 0.0f, 1e20f, 1e20f, blue);
    renderer.SetCamera(Camera{});
    for (const float bad : {nan, inf, -inf})
    {
        renderer.DrawRect(bad, 0.0f, 5.0f, 5.0f, green);
        renderer.DrawRect(0.0f, bad, 5.0f, 5.0f, green);
        renderer.DrawDebugRect(bad, 0.0f, 5.0f, 5.0f, green);
        renderer.DrawDebugRect(0.0f, 0.0f, bad, bad, green);
        renderer.DrawRect(0.0f, 0.0f, bad, 5.0f, green);
    }
    // Infinite sizes from the origin fill to the far edges; NaN draws nothing.
    EXPECT_EQ(At(0, 0), PackPixel(green));
    renderer.BeginFrame(backgroundColor);
    renderer.DrawRect(nan, nan, nan, nan, green);
    renderer.DrawDebugRect(nan, nan, nan, nan, green);
    EXPECT_EQ(FilledBox(green), (Box{0, 0, 0, 0}));
    renderer.SetCamera(Camera{0.0f, 0.0f, nan, 1280.0f, 720.0f}); // a NaN zoom culls everything
    renderer.DrawRect(1.0f, 1.0f, 5.0f, 5.0f, green);
    EXPECT_EQ(FilledBox(green), (Box{0, 0, 0, 0}));
}

TEST_F(RendererTest, ResizeRemakesTheBackBufferOnlyWhenTheSizeChanges)
{
    renderer.BeginFrame(backgroundColor);
    const std::uint32_t* first = renderer.GetBackBuffer().pixels;
    renderer.DrawRect(0, 0, 5, 5, red);
    renderer.BeginFrame(backgroundColor);
    EXPECT_EQ(renderer.GetBackBuffer().pixels, first); // same size: the same surface
    EXPECT_EQ(At(0, 0), PackPixel(backgroundColor));

    SDL_SetWindowSize(static_cast<SDL_Window*>(window.GetHandle()), 100, 30);
    window.PumpMessages();
    renderer.BeginFrame(green);
    const Surface& back = renderer.GetBackBuffer();
    EXPECT_EQ(back.width, 100);
    EXPECT_EQ(back.height, 30);
    EXPECT_EQ(back.pitch, 400);
    EXPECT_EQ(FilledBox(green), (Box{0, 0, 100, 30}));
    renderer.DrawRect(90, 20, 20, 20, red);
    EXPECT_EQ(FilledBox(red), (Box{90, 20, 100, 30}));
    renderer.Present();
}

TEST_F(RendererTest, ReleaseSurfaceFreesAndTheNextFrameRemakes)
{
    renderer.BeginFrame(backgroundColor);
    renderer.ReleaseSurface();
    EXPECT_EQ(renderer.GetBackBuffer().pixels, nullptr);
    EXPECT_EQ(renderer.GetBackBuffer().width, 0);
    renderer.DrawRect(0, 0, 5, 5, red); // no surface: nothing to draw into
    renderer.Present();
    renderer.BeginFrame(blue);
    EXPECT_EQ(renderer.GetBackBuffer().width, 64);
    EXPECT_EQ(FilledBox(blue), (Box{0, 0, 64, 48}));
}

TEST_F(RendererTest, PresentShowsTheBackBufferInTheWindow)
{
    renderer.BeginFrame(backgroundColor);
    renderer.DrawRect(10, 10, 5, 5, red);
    renderer.Present();
    SDL_Surface* screen = SDL_GetWindowSurface(static_cast<SDL_Window*>(window.GetHandle()));
    ASSERT_NE(screen, nullptr);
    ASSERT_EQ(screen->w, 64);
    for (int y = 0; y < 48; ++y)
    {
        const auto* row = reinterpret_cast<const std::uint32_t*>(
            static_cast<const std::uint8_t*>(screen->pixels) + y * screen->pitch);
        for (int x = 0; x < 64; ++x)
        {
            ASSERT_EQ(row[x] & 0xFFFFFFu, At(x, y) & 0xFFFFFFu) << x << "," << y;
        }
    }
}

class ScreenshotTest : public RendererTest
{
protected:
    void SetUp() override
    {
        RendererTest::SetUp();
        directory = std::filesystem::temp_directory_path() /
                    ("marrowvane-screenshot-" + std::to_string(::getpid()) + "-" +
                     ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(directory);
        std::filesystem::create_directories(directory);
    }
    void TearDown() override { std::filesystem::remove_all(directory); }

    void DrawAndPresent()
    {
        renderer.BeginFrame(backgroundColor);
        renderer.DrawRect(3, 4, 20, 10, red);
        renderer.DrawDebugRect(30, 20, 10, 10, Color3{1, 128, 254});
        renderer.Present();
    }

    std::filesystem::path directory;
};

TEST_F(ScreenshotTest, RoundTripGivesBackEveryPixel)
{
    DrawAndPresent();
    const auto path = directory / "frame.png";
    ASSERT_TRUE(renderer.SaveScreenshot(path));
    EXPECT_FALSE(std::filesystem::exists(directory / "frame.png.partial"));
    SDL_Surface* loaded = IMG_Load(path.c_str());
    ASSERT_NE(loaded, nullptr) << IMG_GetError();
    SDL_Surface* argb = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0);
    ASSERT_NE(argb, nullptr);
    EXPECT_EQ(loaded->format->Amask, 0u) << "a screenshot is opaque";
    ASSERT_EQ(argb->w, 64);
    ASSERT_EQ(argb->h, 48);
    for (int y = 0; y < 48; ++y)
    {
        const auto* row = reinterpret_cast<const std::uint32_t*>(
            static_cast<const std::uint8_t*>(argb->pixels) + y * argb->pitch);
        for (int x = 0; x < 64; ++x)
        {
            ASSERT_EQ(row[x], At(x, y)) << x << "," << y;
        }
    }
    SDL_FreeSurface(argb);
    SDL_FreeSurface(loaded);
}

TEST_F(ScreenshotTest, OnlyAPresentedFrameIsWritten)
{
    const auto path = directory / "frame.png";
    EXPECT_FALSE(renderer.SaveScreenshot(path)); // nothing presented yet
    renderer.BeginFrame(backgroundColor);
    EXPECT_FALSE(renderer.SaveScreenshot(path)); // a frame begun, not presented
    renderer.Present();
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_TRUE(renderer.SaveScreenshot(path));
    EXPECT_TRUE(renderer.SaveScreenshot(path)); // still the presented frame
}

TEST_F(ScreenshotTest, AFailedWriteLeavesWhatWasThere)
{
    DrawAndPresent();
    // No such folder.
    EXPECT_FALSE(renderer.SaveScreenshot(directory / "missing" / "frame.png"));
    EXPECT_FALSE(renderer.SaveScreenshot(std::filesystem::path()));
    // A folder in the way stays a folder, and no partial file is left.
    std::filesystem::create_directory(directory / "taken.png");
    std::ofstream(directory / "taken.png" / "keep.txt") << "keep";
    EXPECT_FALSE(renderer.SaveScreenshot(directory / "taken.png"));
    EXPECT_TRUE(std::filesystem::exists(directory / "taken.png" / "keep.txt"));
    EXPECT_FALSE(std::filesystem::exists(directory / "taken.png.partial"));
}

TEST_F(ScreenshotTest, AnExistingFileIsReplacedWhole)
{
    const auto path = directory / "frame.png";
    std::ofstream(path) << "an older file, longer than nothing";
    DrawAndPresent();
    ASSERT_TRUE(renderer.SaveScreenshot(path));
    SDL_Surface* loaded = IMG_Load(path.c_str());
    ASSERT_NE(loaded, nullptr) << IMG_GetError();
    EXPECT_EQ(loaded->w, 64);
    SDL_FreeSurface(loaded);
}

} // namespace
} // namespace Marrowvane
