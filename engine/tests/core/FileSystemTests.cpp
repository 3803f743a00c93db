#include "core/FileSystem.h"

#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace Marrowvane
{
namespace
{

using namespace std::string_literals;

namespace fs = std::filesystem;

// The message of the std::runtime_error that ReadTextFile raises, or
// "no error" when it returns.
std::string ReadError(const fs::path& path)
{
    try
    {
        ReadTextFile(path);
    }
    catch (const std::runtime_error& error)
    {
        return error.what();
    }
    return "no error";
}

std::string AllByteValues()
{
    std::string bytes;
    for (int i = 0; i < 256; ++i)
    {
        bytes += static_cast<char>(i);
    }
    return bytes;
}

class FileSystemTest : public ::testing::Test
{
protected:
    Testing::TemporaryDirectory directory;
};

TEST_F(FileSystemTest, ReadTextFileReturnsEveryByteUnchanged)
{
    const std::string bigger(200 * 1024 + 17, '\0'); // spans several read chunks
    const std::string contents[] = {
        "",
        "{\"mainClass\": \"Game\"}",
        "\xEF\xBB\xBF{}",       // byte-order mark kept
        "line\r\nline\rline\n", // no line-end translation
        "a\0b\0\0"s,            // NUL bytes kept
        AllByteValues(),
        bigger,
    };
    for (const std::string& content : contents)
    {
        SCOPED_TRACE(content.size());
        const fs::path file = directory.Write("file.bin", content);
        EXPECT_EQ(ReadTextFile(file), content);
    }
}

TEST_F(FileSystemTest, ReadTextFileRejectsWhatIsNotAReadableFile)
{
    const fs::path missing = directory.Path() / "missing.json";
    const fs::path folder = directory.Path() / "folder";
    fs::create_directory(folder);
    const fs::path underAFile = directory.Write("plain.txt", "x") / "project.json";
    const fs::path tooLong = directory.Path() / std::string(5000, 'n');
    const fs::path deep = directory.Path() / []
    {
        std::string path;
        for (int i = 0; i < 2000; ++i)
        {
            path += "abc/";
        }
        return path + "project.json";
    }();
    const fs::path unicode = directory.Path() / "sp\xC3\xA4t" / "\xE2\x82\xAC.json";
    const fs::path fifo = directory.Path() / "pipe";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0); // opening it would block forever
    const fs::path device = "/dev/zero";      // would never end

    for (const fs::path& path :
         {missing, folder, underAFile, tooLong, deep, unicode, fifo, device, fs::path()})
    {
        SCOPED_TRACE(path.native().substr(0, 200));
        EXPECT_EQ(ReadError(path), "Could not open file: " + PathToUtf8(path));
    }
}

TEST_F(FileSystemTest, ReadTextFileRefusesFilesOverTheSizeLimit)
{
    const fs::path file = directory.Write("huge.json", "");
    fs::resize_file(file, MaxTextFileBytes + 1); // sparse: costs no disk space
    EXPECT_EQ(ReadError(file),
              "File is too large (over " + std::to_string(MaxTextFileBytes) + " bytes): " + PathToUtf8(file));

    fs::resize_file(file, 3);
    EXPECT_EQ(ReadTextFile(file), std::string(3, '\0'));
}

TEST_F(FileSystemTest, ReadTextFileReportsAFileThatCannotBeRead)
{
    // Opens as a regular file, and reading it from offset 0 fails (EIO): the
    // read error must not come back as an empty text.
    const fs::path memory = "/proc/self/mem";
    if (fs::exists(memory))
    {
        EXPECT_EQ(ReadError(memory), "Could not open file: /proc/self/mem");
    }
    if (geteuid() != 0) // root opens every file whatever its permissions
    {
        const fs::path file = directory.Write("locked.json", "{}");
        fs::permissions(file, fs::perms::none);
        EXPECT_EQ(ReadError(file), "Could not open file: " + PathToUtf8(file));
    }
}

TEST_F(FileSystemTest, ResolvePathJoinsRelativePathsToTheBase)
{
    const fs::path base = directory.Path();
    fs::create_directories(base / "assets");
    directory.Write("assets/hero.png", "png");
    struct Case
    {
        fs::path path;
        fs::path expected;
    };
    const Case cases[] = {
        {"assets/hero.png", base / "assets" / "hero.png"},    // exists
        {"assets/ghost.png", base / "assets" / "ghost.png"},  // does not
        {"missing/dir/../x.png", base / "missing" / "x.png"}, // normalised past the existing part
        {"./assets/./hero.png", base / "assets" / "hero.png"},
        {"assets/../assets/hero.png", base / "assets" / "hero.png"},
        {"", base}, // the base directory itself, without a trailing separator
        {".", base},
        {"/opt/nowhere/../game.dll", "/opt/game.dll"}, // absolute: the base is ignored
        {"/", "/"},
    };
    for (const Case& item : cases)
    {
        SCOPED_TRACE(item.path);
        EXPECT_EQ(ResolvePath(base, item.path), item.expected);
    }
}

TEST_F(FileSystemTest, ResolvePathFollowsSymbolicLinksInTheExistingPart)
{
    fs::create_directories(directory.Path() / "real");
    fs::create_directory_symlink(directory.Path() / "real", directory.Path() / "link");
    EXPECT_EQ(ResolvePath(directory.Path(), "link/hero.png"), directory.Path() / "real" / "hero.png");
}

TEST_F(FileSystemTest, ResolvePathAndPathExistsPassFileSystemErrorsOn)
{
    const fs::path tooLong = directory.Path() / std::string(5000, 'n');
    EXPECT_THROW(ResolvePath(directory.Path(), tooLong.filename()), fs::filesystem_error);
    EXPECT_THROW(ResolvePath(directory.Path(), tooLong), fs::filesystem_error);
    EXPECT_THROW(PathExists(tooLong), fs::filesystem_error);
}

TEST_F(FileSystemTest, PathExistsIsTrueForAnyExistingEntry)
{
    const fs::path file = directory.Write("a.txt", "");
    fs::create_symlink(directory.Path() / "nowhere", directory.Path() / "dangling");
    EXPECT_TRUE(PathExists(file));
    EXPECT_TRUE(PathExists(directory.Path()));
    EXPECT_FALSE(PathExists(directory.Path() / "b.txt"));
    EXPECT_FALSE(PathExists(directory.Path() / "a.txt" / "below-a-file"));
    EXPECT_FALSE(PathExists(directory.Path() / "dangling")); // the link's target counts
    EXPECT_FALSE(PathExists(fs::path()));
}

TEST(PathToUtf8Test, GivesThePathsTextInUtf8)
{
    EXPECT_EQ(PathToUtf8(fs::path()), "");
    EXPECT_EQ(PathToUtf8("games/Pong/project.json"), "games/Pong/project.json");
    EXPECT_EQ(PathToUtf8(fs::path(u8"sp\u00e4t/\u20ac.png")), "sp\xC3\xA4t/\xE2\x82\xAC.png");
    // Native bytes that are not UTF-8 pass through as they are.
    EXPECT_EQ(PathToUtf8(fs::path("bad\xff")), "bad\xff");
}

} // namespace
} // namespace Marrowvane
