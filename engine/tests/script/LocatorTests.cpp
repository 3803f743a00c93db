#include "platform/ChildProcess.h"
#include "platform/ExecutableDirectory.h"
#include "script/DotnetLocator.h"
#include "script/ScriptHostLocator.h"

#include "script/ScriptTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>

namespace Marrowvane
{
namespace
{

using Testing::ScopedEnvironment;
using Testing::TemporaryDirectory;
using Testing::WriteWholeFile;

namespace fs = std::filesystem;

const fs::path kBuildOutput = "engine/csharp/ScriptHost/bin/Debug/net8.0/Marrowvane.ScriptHost.dll";

// Changes the current directory for one test.
class ScopedCurrentDirectory
{
public:
    explicit ScopedCurrentDirectory(const fs::path& directory) : previous(fs::current_path())
    {
        fs::current_path(directory);
    }
    ~ScopedCurrentDirectory() { fs::current_path(previous); }

private:
    fs::path previous;
};

void MakeFile(const fs::path& path)
{
    fs::create_directories(path.parent_path());
    WriteWholeFile(path, "stand-in");
}

class ScriptHostLocatorTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        deployed = ExecutableDirectory() / "ScriptHost" / "Marrowvane.ScriptHost.dll";
        if (fs::exists(deployed))
        {
            GTEST_SKIP() << "a script host is deployed next to the test executable";
        }
        layout = temporary.Path() / "layout root";
        elsewhere = temporary.Path() / "elsewhere";
        fs::create_directories(layout / "samples" / "Game");
        fs::create_directories(elsewhere);
    }

    TemporaryDirectory temporary;
    fs::path deployed;
    fs::path layout;
    fs::path elsewhere;
};

TEST_F(ScriptHostLocatorTest, FindsTheBuildOutputBelowTheCurrentDirectory)
{
    MakeFile(layout / kBuildOutput);
    ScopedCurrentDirectory current(layout);
    EXPECT_EQ(ScriptHostLocator(elsewhere / "a" / "b"), fs::canonical(layout / kBuildOutput));
}

TEST_F(ScriptHostLocatorTest, FindsTheBuildOutputTwoLevelsAboveTheProject)
{
    MakeFile(layout / kBuildOutput);
    ScopedCurrentDirectory current(elsewhere);
    EXPECT_EQ(ScriptHostLocator(layout / "samples" / "Game"), fs::canonical(layout / kBuildOutput));
}

TEST_F(ScriptHostLocatorTest, TheCurrentDirectoryComesBeforeTheProjectsLayout)
{
    MakeFile(layout / kBuildOutput);
    MakeFile(elsewhere / kBuildOutput);
    ScopedCurrentDirectory current(elsewhere);
    EXPECT_EQ(ScriptHostLocator(layout / "samples" / "Game"), fs::canonical(elsewhere / kBuildOutput));
}

TEST_F(ScriptHostLocatorTest, WithNothingFoundGivesTheCurrentDirectoryCandidateAsComposed)
{
    ScopedCurrentDirectory current(elsewhere);
    const fs::path result = ScriptHostLocator(layout / "samples" / "Game");
    EXPECT_EQ(result,
              fs::current_path() / "engine/csharp/ScriptHost/bin/Debug/net8.0" / "Marrowvane.ScriptHost.dll");
    EXPECT_EQ(result.string(), fs::current_path().string() +
                                   "/engine/csharp/ScriptHost/bin/Debug/net8.0/Marrowvane.ScriptHost.dll");
}

TEST_F(ScriptHostLocatorTest, AProjectRootNearTheFileSystemRootIsHarmless)
{
    ScopedCurrentDirectory current(elsewhere);
    EXPECT_EQ(ScriptHostLocator("/Game"), fs::current_path() / kBuildOutput);
    EXPECT_EQ(ScriptHostLocator("/"), fs::current_path() / kBuildOutput);
}

TEST_F(ScriptHostLocatorTest, AnUnreadableCandidateCountsAsMissing)
{
    // A component longer than a file name may be makes the existence test
    // fail with an error rather than "not found".
    ScopedCurrentDirectory current(elsewhere);
    const fs::path project = temporary.Path() / std::string(300, 'n') / "samples" / "Game";
    fs::path result;
    EXPECT_NO_THROW(result = ScriptHostLocator(project));
    EXPECT_EQ(result, fs::current_path() / kBuildOutput);
}

// Runs a copy of the probe program from bin inside a folder of the test's
// own, and returns what it printed.
std::string LocateFrom(const fs::path& bin, const fs::path& current, const fs::path& projectRoot)
{
    fs::create_directories(bin);
    const fs::path probe = bin / "probe";
    fs::copy_file(MARROWVANE_LOCATOR_PROBE, probe, fs::copy_options::overwrite_existing);
    ChildProcess child;
    EXPECT_EQ(child.Start(probe, {probe.string(), projectRoot.string()}, current), ChildStartError::None);
    std::string text;
    char buffer[4096];
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < giveUp)
    {
        const std::ptrdiff_t count = child.ReadSome(buffer, sizeof buffer);
        if (count < 0)
        {
            break;
        }
        text.append(buffer, static_cast<std::size_t>(count));
        child.WaitForIo(std::chrono::milliseconds(10), false);
    }
    ChildExit exit;
    while (!child.PollExit(exit) && std::chrono::steady_clock::now() < giveUp)
    {
        child.WaitForIo(std::chrono::milliseconds(1), false);
    }
    return text;
}

TEST(ScriptHostLocatorDeployed, TheCopyNextToTheExecutableWinsOverEverything)
{
    TemporaryDirectory temporary;
    const fs::path bin = temporary.Path() / "engine bin";
    const fs::path deployed = bin / "ScriptHost" / "Marrowvane.ScriptHost.dll";
    MakeFile(deployed);
    MakeFile(temporary.Path() / kBuildOutput);
    EXPECT_EQ(LocateFrom(bin, temporary.Path(), temporary.Path() / "samples" / "Game"),
              fs::canonical(deployed).string());
}

TEST(ScriptHostLocatorDeployed, WithoutItTheSourceLayoutIsSearched)
{
    TemporaryDirectory temporary;
    MakeFile(temporary.Path() / kBuildOutput);
    EXPECT_EQ(LocateFrom(temporary.Path() / "engine bin", temporary.Path(), temporary.Path() / "x"),
              fs::canonical(temporary.Path() / kBuildOutput).string());
}

class DotnetLocatorTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        root = temporary.Path() / "dotnet root";
        profile = temporary.Path() / "profile";
        home = temporary.Path() / "home";
        fs::create_directories(root);
        fs::create_directories(profile);
        fs::create_directories(home);
        environment.Unset("DOTNET_ROOT");
        environment.Unset("USERPROFILE");
        environment.Unset("HOME");
    }

    TemporaryDirectory temporary;
    ScopedEnvironment environment;
    fs::path root;
    fs::path profile;
    fs::path home;
};

TEST_F(DotnetLocatorTest, NothingSetGivesTheBareName)
{
    EXPECT_EQ(DotnetLocator(), fs::path("dotnet"));
}

TEST_F(DotnetLocatorTest, TheInstallationNamedByDotnetRootAsComposed)
{
    MakeFile(root / "dotnet");
    environment.Set("DOTNET_ROOT", root.string() + "/");
    EXPECT_EQ(DotnetLocator().string(), root.string() + "/dotnet");
}

TEST_F(DotnetLocatorTest, ThePerUserInstallationWhenDotnetRootHasNone)
{
    MakeFile(profile / ".dotnet" / "dotnet");
    environment.Set("DOTNET_ROOT", root.string());
    environment.Set("USERPROFILE", profile.string());
    EXPECT_EQ(DotnetLocator(), profile / ".dotnet" / "dotnet");
}

TEST_F(DotnetLocatorTest, HomeStandsInForAMissingUserProfile)
{
    MakeFile(home / ".dotnet" / "dotnet");
    environment.Set("HOME", home.string());
    EXPECT_EQ(DotnetLocator(), home / ".dotnet" / "dotnet");
    // A set profile is the one looked in, even without an installation.
    environment.Set("USERPROFILE", profile.string());
    EXPECT_EQ(DotnetLocator(), fs::path("dotnet"));
}

TEST_F(DotnetLocatorTest, DotnetRootWinsWhenBothExist)
{
    MakeFile(root / "dotnet");
    MakeFile(profile / ".dotnet" / "dotnet");
    environment.Set("DOTNET_ROOT", root.string());
    environment.Set("USERPROFILE", profile.string());
    EXPECT_EQ(DotnetLocator(), root / "dotnet");
}

TEST_F(DotnetLocatorTest, AnEmptyVariableIsTestedAgainstTheCurrentDirectory)
{
    environment.Set("DOTNET_ROOT", "");
    environment.Set("USERPROFILE", "");
    {
        ScopedCurrentDirectory current(root);
        EXPECT_EQ(DotnetLocator(), fs::path("dotnet"));
    }
    MakeFile(profile / ".dotnet" / "dotnet");
    ScopedCurrentDirectory current(profile);
    EXPECT_EQ(DotnetLocator(), fs::path(".dotnet/dotnet"));
}

TEST_F(DotnetLocatorTest, AnUnreadableCandidateCountsAsMissing)
{
    environment.Set("DOTNET_ROOT", (temporary.Path() / std::string(300, 'n')).string());
    environment.Set("USERPROFILE", (temporary.Path() / std::string(300, 'p')).string());
    fs::path result;
    EXPECT_NO_THROW(result = DotnetLocator());
    EXPECT_EQ(result, fs::path("dotnet"));
}

} // namespace
} // namespace Marrowvane
