#include "render/Texture.h"

#include "TextureTestFiles.h"
#include "core/FileSystem.h"

#include <gtest/gtest.h>

#include <string>

namespace Marrowvane
{
namespace
{

using TextureTestFiles::DataDir;
using TextureTestFiles::ScratchDir;

// Load's console output (warnings go to standard output).
std::string LoadAndCapture(Texture& texture, bool& result)
{
    testing::internal::CaptureStdout();
    result = texture.Load();
    return testing::internal::GetCapturedStdout();
}

TEST(Texture, ConstructionLoadsNothing)
{
    const Texture texture(DataDir() / "four.png");
    EXPECT_FALSE(texture.IsLoaded());
    EXPECT_EQ(texture.GetImage(), nullptr);
    EXPECT_EQ(texture.GetPath(), DataDir() / "four.png");
}

TEST(Texture, LoadsOnceAndStaysLoadedSilently)
{
    Texture texture(DataDir() / "four.png");
    bool loaded = false;
    EXPECT_EQ(LoadAndCapture(texture, loaded), "");
    ASSERT_TRUE(loaded);
    EXPECT_TRUE(texture.IsLoaded());
    ASSERT_NE(texture.GetImage(), nullptr);
    EXPECT_EQ(texture.GetImage()->GetWidth(), 2);
    const Image* first = texture.GetImage();
    EXPECT_EQ(LoadAndCapture(texture, loaded), "");
    EXPECT_TRUE(loaded);
    EXPECT_EQ(texture.GetImage(), first); // not decoded again
}

TEST(Texture, MissingFileIsNotFound)
{
    ScratchDir dir;
    const auto path = dir / "absent.png";
    Texture texture(path);
    bool loaded = true;
    EXPECT_EQ(LoadAndCapture(texture, loaded), "[Warn] Texture not found: " + PathToUtf8(path) + "\n");
    EXPECT_FALSE(loaded);
    EXPECT_FALSE(texture.IsLoaded());
    EXPECT_EQ(texture.GetImage(), nullptr);
}

TEST(Texture, WhatExistsButIsNoImageCannotBeLoaded)
{
    ScratchDir dir;
    std::filesystem::create_directory(dir / "folder.png");
    for (const std::filesystem::path& path : {DataDir() / "notimage.png", DataDir() / "truncated.png",
                                              DataDir() / "huge.png", dir / "folder.png"})
    {
        Texture texture(path);
        bool loaded = true;
        EXPECT_EQ(LoadAndCapture(texture, loaded),
                  "[Warn] Texture could not be loaded: " + PathToUtf8(path) + "\n");
        EXPECT_FALSE(loaded) << path;
        EXPECT_EQ(texture.GetImage(), nullptr) << path;
    }
}

TEST(Texture, ErrorOfTheExistenceTestIsAFailedLoad)
{
    // Paths the existence test itself cannot answer for: a name longer than
    // the system allows, and a loop of symbolic links. Neither throws out of
    // Load; each is one "could not be loaded" warning.
    ScratchDir dir;
    std::filesystem::create_directory_symlink(dir / "loop-b", dir / "loop-a");
    std::filesystem::create_directory_symlink(dir / "loop-a", dir / "loop-b");
    const std::filesystem::path cases[] = {
        dir / (std::string(300, 'n') + ".png"),
        dir / "loop-a" / "sprite.png",
    };
    for (const std::filesystem::path& path : cases)
    {
        bool threw = false;
        try
        {
            (void)PathExists(path);
        }
        catch (const std::filesystem::filesystem_error&)
        {
            threw = true;
        }
        ASSERT_TRUE(threw) << "the existence test should fail for " << path;
        Texture texture(path);
        bool loaded = true;
        EXPECT_EQ(LoadAndCapture(texture, loaded),
                  "[Warn] Texture could not be loaded: " + PathToUtf8(path) + "\n");
        EXPECT_FALSE(loaded);
    }
}

} // namespace
} // namespace Marrowvane
