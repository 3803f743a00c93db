#include "render/Renderer.h"

#include "TextureTestFiles.h"
#include "core/FileSystem.h"
#include "platform/Window.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace Marrowvane
{
namespace
{

using TextureTestFiles::DataDir;
using TextureTestFiles::ScratchDir;

constexpr Color3 backgroundColour{10, 20, 30};
constexpr std::uint32_t backgroundPixel = PackPixel(backgroundColour);
constexpr std::uint32_t red = 0xFFFF0000u;
constexpr std::uint32_t green = 0xFF00FF00u;
constexpr std::uint32_t blue = 0xFF0000FFu;
constexpr std::uint32_t yellow = 0xFFFFFF00u;

// A Renderer on a real window of SDL's offscreen driver, 40 by 30 pixels.
class SpriteDrawing : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Window::RequestHeadless();
        ASSERT_TRUE(window.Create(40, 30, "Sprite tests"));
        renderer.Initialize(window);
        renderer.SetPixelPerfect(true);
        renderer.SetCamera(Camera{});
        renderer.BeginFrame(backgroundColour);
        ASSERT_EQ(renderer.GetBackBuffer().width, 40);
        ASSERT_EQ(renderer.GetBackBuffer().height, 30);
    }

    std::uint32_t Pixel(std::int32_t x, std::int32_t y) { return renderer.GetBackBuffer().Row(y)[x]; }

    SpriteCommand Sprite(const std::filesystem::path& path, float x, float y, float width, float height,
                         Color3 color = {200, 100, 50})
    {
        SpriteCommand sprite;
        sprite.x = x;
        sprite.y = y;
        sprite.width = width;
        sprite.height = height;
        sprite.color = color;
        sprite.texturePath = path;
        return sprite;
    }

    // Draws one frame of sprites and returns what was written to the console.
    std::string Frame(const std::vector<SpriteCommand>& sprites, const std::vector<RectCommand>& rects = {})
    {
        testing::internal::CaptureStdout();
        renderer.BeginFrame(backgroundColour);
        renderer.DrawRects(rects);
        renderer.DrawSprites(sprites);
        renderer.Present();
        return testing::internal::GetCapturedStdout();
    }

    void ExpectBlocks(std::uint32_t topLeft, std::uint32_t topRight, std::uint32_t bottomLeft,
                      std::uint32_t bottomRight)
    {
        for (std::int32_t y = 0; y < 30; ++y)
        {
            for (std::int32_t x = 0; x < 40; ++x)
            {
                std::uint32_t expected = backgroundPixel;
                if (x < 20 && y < 20)
                {
                    expected = y < 10 ? (x < 10 ? topLeft : topRight) : (x < 10 ? bottomLeft : bottomRight);
                }
                ASSERT_EQ(Pixel(x, y), expected) << "pixel " << x << "," << y;
            }
        }
    }

    Window window;
    Renderer renderer;
    ScratchDir dir;
};

TEST_F(SpriteDrawing, TwoByTwoTextureAtTwentyShowsTenByTenBlocks)
{
    EXPECT_EQ(Frame({Sprite(DataDir() / "four.png", 0, 0, 20, 20)}), "");
    ExpectBlocks(red, green, blue, yellow);
}

TEST_F(SpriteDrawing, FlipsMirrorInsideTheSameRectangle)
{
    SpriteCommand sprite = Sprite(DataDir() / "four.png", 0, 0, 20, 20);
    sprite.flipX = true;
    Frame({sprite});
    ExpectBlocks(green, red, yellow, blue);
    sprite.flipX = false;
    sprite.flipY = true;
    Frame({sprite});
    ExpectBlocks(blue, yellow, red, green);
    sprite.flipX = true;
    Frame({sprite});
    ExpectBlocks(yellow, blue, green, red);
}

TEST_F(SpriteDrawing, PlacedThroughTheCameraAndIgnoringTheColour)
{
    // Camera at (100, 50), zoom 2: world (105, 52) is pixel (10, 4); a sprite
    // of 5 by 5 world units covers 10 by 10 pixels.
    renderer.SetCamera(Camera{100, 50, 2, 1280, 720});
    Frame({Sprite(DataDir() / "four.png", 105, 52, 5, 5, Color3{1, 2, 3})});
    EXPECT_EQ(Pixel(9, 4), backgroundPixel);
    EXPECT_EQ(Pixel(10, 4), red);
    EXPECT_EQ(Pixel(14, 8), red);
    EXPECT_EQ(Pixel(15, 8), green);
    EXPECT_EQ(Pixel(15, 9), yellow);
    EXPECT_EQ(Pixel(19, 13), yellow);
    EXPECT_EQ(Pixel(20, 13), backgroundPixel);
    EXPECT_EQ(Pixel(19, 14), backgroundPixel);
}

TEST_F(SpriteDrawing, SortedByPathBytesNotByListOrder)
{
    TextureTestFiles::WriteSolidPng(dir / "a.png", red);
    TextureTestFiles::WriteSolidPng(dir / "b.png", blue);
    // b.png is sent first but drawn last, so it lies on top.
    Frame({Sprite(dir / "b.png", 0, 0, 10, 10), Sprite(dir / "a.png", 0, 0, 10, 10)});
    EXPECT_EQ(Pixel(5, 5), blue);
    Frame({Sprite(dir / "a.png", 0, 0, 10, 10), Sprite(dir / "b.png", 0, 0, 10, 10)});
    EXPECT_EQ(Pixel(5, 5), blue);
}

TEST_F(SpriteDrawing, FolderSortsBeforeFileName)
{
    std::filesystem::create_directories(dir / "a");
    std::filesystem::create_directories(dir / "b");
    TextureTestFiles::WriteSolidPng(dir / "a" / "z.png", red);
    TextureTestFiles::WriteSolidPng(dir / "b" / "a.png", blue);
    // a/z.png is drawn first whatever its file name: b/a.png lies on top.
    Frame({Sprite(dir / "b" / "a.png", 0, 0, 10, 10), Sprite(dir / "a" / "z.png", 0, 0, 10, 10)});
    EXPECT_EQ(Pixel(5, 5), blue);
}

TEST_F(SpriteDrawing, UpperCaseSortsBeforeEveryLowerCaseAndBytesAreUnsigned)
{
    TextureTestFiles::WriteSolidPng(dir / "Z.png", red);
    TextureTestFiles::WriteSolidPng(dir / "a.png", green);
    TextureTestFiles::WriteSolidPng(dir / "\xC3\xA9.png", blue); // é: its first byte, 0xC3, sorts after 'z'
    // Drawn Z.png, a.png, é.png: each later one on top of the earlier.
    Frame({Sprite(dir / "\xC3\xA9.png", 4, 0, 2, 2), Sprite(dir / "a.png", 2, 0, 4, 2),
           Sprite(dir / "Z.png", 0, 0, 6, 2)});
    EXPECT_EQ(Pixel(1, 1), red);
    EXPECT_EQ(Pixel(3, 1), green);
    EXPECT_EQ(Pixel(5, 1), blue);
}

TEST_F(SpriteDrawing, MissingTextureIsItsFallbackRectangleWithTwoWarningsOnce)
{
    const auto path = dir / "missing.png";
    const std::string text = PathToUtf8(path);
    const std::vector<SpriteCommand> sprites = {Sprite(path, 2, 3, 4, 5, Color3{1, 2, 3})};
    EXPECT_EQ(Frame(sprites), "[Warn] Texture not found: " + text + "\n" +
                                  "[Warn] Using fallback rectangle for missing texture: " + text + "\n");
    for (int frame = 0; frame < 3; ++frame)
    {
        if (frame > 0)
        {
            EXPECT_EQ(Frame(sprites), "");
        }
        for (std::int32_t y = 0; y < 30; ++y)
        {
            for (std::int32_t x = 0; x < 40; ++x)
            {
                const bool inside = x >= 2 && x < 6 && y >= 3 && y < 8;
                ASSERT_EQ(Pixel(x, y), inside ? PackPixel(Color3{1, 2, 3}) : backgroundPixel)
                    << x << "," << y;
            }
        }
    }
}

TEST_F(SpriteDrawing, NotAnImageAndADirectoryCannotBeLoadedOnce)
{
    std::filesystem::create_directory(dir / "folder.png");
    for (const std::filesystem::path& path : {DataDir() / "notimage.png", dir / "folder.png"})
    {
        const std::string text = PathToUtf8(path);
        const std::vector<SpriteCommand> sprites = {Sprite(path, 0, 0, 3, 3, Color3{9, 8, 7})};
        EXPECT_EQ(Frame(sprites), "[Warn] Texture could not be loaded: " + text + "\n" +
                                      "[Warn] Using fallback rectangle for missing texture: " + text + "\n");
        EXPECT_EQ(Frame(sprites), "");
        EXPECT_EQ(Frame(sprites), "");
        EXPECT_EQ(Pixel(1, 1), PackPixel(Color3{9, 8, 7}));
    }
}

TEST_F(SpriteDrawing, CraftedHugeHeaderIsRefusedAndDrawnAsFallback)
{
    // 100000 x 100000 declared: refused from its header, nothing allocated
    // for it (the decoder tests check that no decoder is reached).
    const auto path = DataDir() / "huge.png";
    const std::string text = PathToUtf8(path);
    EXPECT_EQ(Frame({Sprite(path, 0, 0, 3, 3, Color3{9, 8, 7})}),
              "[Warn] Texture could not be loaded: " + text + "\n" +
                  "[Warn] Using fallback rectangle for missing texture: " + text + "\n");
    EXPECT_EQ(Pixel(2, 2), PackPixel(Color3{9, 8, 7}));
}

TEST_F(SpriteDrawing, OffViewSpriteIsLookedUpButNotDrawn)
{
    const auto missing = dir / "far-missing.png";
    TextureTestFiles::WriteSolidPng(dir / "far.png", red);
    const std::string text = PathToUtf8(missing);
    // Right of the view (camera x 0 + view width 1280): nothing drawn.
    EXPECT_EQ(Frame({Sprite(dir / "far.png", 2000, 0, 10, 10), Sprite(missing, 2000, 0, 10, 10)}),
              "[Warn] Texture not found: " + text + "\n" +
                  "[Warn] Using fallback rectangle for missing texture: " + text + "\n");
    for (std::int32_t y = 0; y < 30; ++y)
    {
        for (std::int32_t x = 0; x < 40; ++x)
        {
            ASSERT_EQ(Pixel(x, y), backgroundPixel);
        }
    }
    // The existing one was loaded on that first frame, silently.
    testing::internal::CaptureStdout();
    Texture* far = renderer.GetTexture(dir / "far.png");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_TRUE(far->IsLoaded());
}

TEST_F(SpriteDrawing, TransparentTexelsKeepTheRectBeneath)
{
    // alpha.png: alpha 0 red, opaque green / alpha 128 blue, alpha 64 white.
    const RectCommand rect{0, 0, 20, 20, Color3{100, 50, 0}};
    Frame({Sprite(DataDir() / "alpha.png", 0, 0, 20, 20)}, {rect});
    EXPECT_EQ(Pixel(5, 5), PackPixel(Color3{100, 50, 0})); // alpha 0: the rect
    EXPECT_EQ(Pixel(15, 5), green);                        // alpha 255: the texel
    // alpha 128 blue over (100, 50, 0): 100*127/255 = 49.8, 50*127/255 = 24.9, 255*128/255 = 128
    EXPECT_EQ(Pixel(5, 15), PackPixel(Color3{50, 25, 128}));
    // alpha 64 white: 255*64/255 + 100*191/255 = 64 + 74.9, 64 + 37.45, 64 + 0
    EXPECT_EQ(Pixel(15, 15), PackPixel(Color3{139, 101, 64}));
    EXPECT_EQ(Pixel(25, 5), backgroundPixel);
}

TEST_F(SpriteDrawing, EmptyListDrawsNothing)
{
    EXPECT_EQ(Frame({}), "");
    for (std::int32_t y = 0; y < 30; ++y)
    {
        for (std::int32_t x = 0; x < 40; ++x)
        {
            ASSERT_EQ(Pixel(x, y), backgroundPixel);
        }
    }
}

TEST_F(SpriteDrawing, FallbackRectanglesTakeTheirPlaceInTheSortedOrder)
{
    TextureTestFiles::WriteSolidPng(dir / "b.png", blue);
    // a-missing.png sorts before b.png: its fallback lies beneath b.png's
    // sprite; c-missing.png sorts after and lies above.
    Frame({Sprite(dir / "c-missing.png", 6, 0, 4, 4, Color3{0, 0, 0}), Sprite(dir / "b.png", 2, 0, 6, 4),
           Sprite(dir / "a-missing.png", 0, 0, 4, 4, Color3{255, 255, 255})});
    EXPECT_EQ(Pixel(1, 1), PackPixel(Color3{255, 255, 255}));
    EXPECT_EQ(Pixel(3, 1), blue);
    EXPECT_EQ(Pixel(5, 1), blue);
    EXPECT_EQ(Pixel(7, 1), PackPixel(Color3{0, 0, 0}));
}

} // namespace
} // namespace Marrowvane
