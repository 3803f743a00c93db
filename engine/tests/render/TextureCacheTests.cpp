#include "render/Renderer.h"

#include "TextureTestFiles.h"
#include "core/FileSystem.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace Marrowvane
{
namespace
{

using TextureTestFiles::DataDir;
using TextureTestFiles::ScratchDir;

// The cache needs no window: a bare Renderer looks textures up.
class TextureCache : public ::testing::Test
{
protected:
    Texture* Lookup(const std::filesystem::path& path, std::string& output)
    {
        testing::internal::CaptureStdout();
        Texture* texture = renderer.GetTexture(path);
        output = testing::internal::GetCapturedStdout();
        return texture;
    }

    Renderer renderer;
    ScratchDir dir;
};

TEST_F(TextureCache, MissingFileWarnsTwiceOnTheFirstLookupOnly)
{
    const auto path = dir / "absent.png";
    std::string output;
    Texture* texture = Lookup(path, output);
    ASSERT_NE(texture, nullptr);
    EXPECT_FALSE(texture->IsLoaded());
    const std::string text = PathToUtf8(path);
    EXPECT_EQ(output, "[Warn] Texture not found: " + text + "\n" +
                          "[Warn] Using fallback rectangle for missing texture: " + text + "\n");
    EXPECT_EQ(Lookup(path, output), texture);
    EXPECT_EQ(output, "");
}

TEST_F(TextureCache, FileThatIsNoImageAndAFolderCannotBeLoadedOnce)
{
    std::filesystem::create_directory(dir / "folder.png");
    for (const std::filesystem::path& path : {DataDir() / "notimage.png", dir / "folder.png"})
    {
        std::string output;
        Texture* texture = Lookup(path, output);
        ASSERT_NE(texture, nullptr);
        EXPECT_FALSE(texture->IsLoaded());
        const std::string text = PathToUtf8(path);
        EXPECT_EQ(output, "[Warn] Texture could not be loaded: " + text + "\n" +
                              "[Warn] Using fallback rectangle for missing texture: " + text + "\n");
        for (int again = 0; again < 3; ++again)
        {
            EXPECT_EQ(Lookup(path, output), texture);
            EXPECT_EQ(output, "");
        }
    }
}

TEST_F(TextureCache, LoadedTextureIsSharedByItsKey)
{
    std::string output;
    Texture* texture = Lookup(DataDir() / "four.png", output);
    EXPECT_EQ(output, "");
    ASSERT_TRUE(texture->IsLoaded());
    // Another asset root, or none, leaves an absolute path's key alone.
    renderer.SetAssetRoot(dir.Path());
    EXPECT_EQ(Lookup(DataDir() / "four.png", output), texture);
    renderer.SetAssetRoot({});
    EXPECT_EQ(Lookup(DataDir() / "four.png", output), texture);
    EXPECT_EQ(output, "");
}

TEST_F(TextureCache, TwoPathTextsForOneFileAreTwoEntries)
{
    TextureTestFiles::WriteSolidPng(dir / "a.png", 0xFFFF0000u);
    std::string output;
    Texture* plain = Lookup(dir / "a.png", output);
    Texture* dotted = Lookup(dir / "." / "a.png", output);
    Texture* doubled = Lookup(std::filesystem::path(PathToUtf8(dir.Path()) + "//a.png"), output);
    EXPECT_TRUE(plain->IsLoaded());
    EXPECT_TRUE(dotted->IsLoaded());
    EXPECT_TRUE(doubled->IsLoaded());
    EXPECT_NE(plain, dotted);
    EXPECT_NE(plain, doubled);
    EXPECT_NE(plain->GetImage(), dotted->GetImage()); // decoded twice
}

TEST_F(TextureCache, FailedTextureStaysFailedWhenTheFileAppears)
{
    const auto path = dir / "late.png";
    std::string output;
    Texture* texture = Lookup(path, output);
    EXPECT_FALSE(texture->IsLoaded());
    TextureTestFiles::WriteSolidPng(path, 0xFF00FF00u);
    EXPECT_EQ(Lookup(path, output), texture);
    EXPECT_FALSE(texture->IsLoaded());
    EXPECT_EQ(output, "");
}

TEST_F(TextureCache, AbsolutePathsResolveUnchanged)
{
    renderer.SetAssetRoot("/somewhere/else");
    EXPECT_EQ(renderer.ResolveAssetPath("/games/pong/hero.png"),
              std::filesystem::path("/games/pong/hero.png"));
    // Not normalised: dots and doubled separators stay.
    EXPECT_EQ(renderer.ResolveAssetPath("/games/./pong//hero.png").native(), "/games/./pong//hero.png");
}

TEST_F(TextureCache, RelativePathsJoinTheAssetRoot)
{
    struct JoinCase
    {
        const char* root;
        const char* texture;
        const char* resolved;
    };
    const JoinCase cases[] = {
        {"/games/pong", "hero.png", "/games/pong/hero.png"},
        {"/games/pong/", "hero.png", "/games/pong/hero.png"},
        {"/games/pong", "art/hero.png", "/games/pong/art/hero.png"},
        {"/games/pong", "../hero.png", "/games/pong/../hero.png"},
        {"/games/pong", "./hero.png", "/games/pong/./hero.png"},
        {"/games/pong/.", "hero.png", "/games/pong/./hero.png"},
        {"/", "hero.png", "/hero.png"},
        {"/games/pong", "", "/games/pong/"},
        {"relative/root", "hero.png", "relative/root/hero.png"},
    };
    for (const JoinCase& join : cases)
    {
        renderer.SetAssetRoot(join.root);
        EXPECT_EQ(renderer.ResolveAssetPath(join.texture).native(), join.resolved)
            << join.root << " + " << join.texture;
    }
}

TEST_F(TextureCache, KeyOfARelativePathIsTheTextOfItsResolvedPath)
{
    // A relative lookup and the lookup of the path it resolves to meet in
    // one entry, whatever the shape of the root and the path.
    const char* roots[] = {"", "/", "/r", "/r/", "/r/.", "r", "r/"};
    const char* textures[] = {"a.png", "sub/a.png", "./a.png", "../a.png", "", "a b.png", "\xC3\xA9.png"};
    std::string output;
    for (const char* root : roots)
    {
        for (const char* texture : textures)
        {
            Renderer cache;
            cache.SetAssetRoot(root);
            testing::internal::CaptureStdout();
            Texture* relative = cache.GetTexture(texture);
            const std::filesystem::path resolved = cache.ResolveAssetPath(texture);
            Texture* direct = cache.GetTexture(resolved);
            output = testing::internal::GetCapturedStdout();
            EXPECT_EQ(relative->GetPath(), resolved) << root << " + " << texture;
            if (resolved.is_absolute())
            {
                EXPECT_EQ(direct, relative) << root << " + " << texture;
            }
            // Each key is reported once, with exactly the resolved text.
            EXPECT_NE(
                output.find("Using fallback rectangle for missing texture: " + PathToUtf8(resolved) + "\n"),
                std::string::npos)
                << output;
        }
    }
}

TEST_F(TextureCache, EmptyRootResolvesAgainstTheDirectoryOfTheFirstLookup)
{
    TextureTestFiles::WriteSolidPng(dir / "here.png", 0xFF0000FFu);
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.Path());
    const std::filesystem::path there = std::filesystem::current_path();
    std::string output;
    Texture* texture = Lookup("here.png", output);
    std::filesystem::current_path(previous);
    EXPECT_EQ(output, "");
    ASSERT_TRUE(texture->IsLoaded());
    EXPECT_EQ(texture->GetPath(), there / "here.png");
    // From another directory the same text is another key.
    Texture* elsewhere = Lookup("here.png", output);
    EXPECT_NE(elsewhere, texture);
    EXPECT_FALSE(elsewhere->IsLoaded());
    // And the first entry is still found by its absolute path.
    EXPECT_EQ(Lookup(there / "here.png", output), texture);
}

} // namespace
} // namespace Marrowvane
