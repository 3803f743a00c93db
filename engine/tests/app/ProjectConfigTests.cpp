#include "app/ProjectConfig.h"

#include "core/FileSystem.h"
#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <unistd.h>

namespace Marrowvane
{
namespace
{

using namespace std::string_literals;

namespace fs = std::filesystem;
using ::testing::internal::CaptureStderr;
using ::testing::internal::CaptureStdout;
using ::testing::internal::GetCapturedStderr;
using ::testing::internal::GetCapturedStdout;

void ExpectSameConfig(const ProjectConfig& actual, const ProjectConfig& expected)
{
    EXPECT_EQ(actual.name, expected.name);
    EXPECT_EQ(actual.root, expected.root);
    EXPECT_EQ(actual.mainAssembly, expected.mainAssembly);
    EXPECT_EQ(actual.mainClass, expected.mainClass);
    EXPECT_EQ(actual.startScene, expected.startScene);
    EXPECT_EQ(actual.window.width, expected.window.width);
    EXPECT_EQ(actual.window.height, expected.window.height);
    EXPECT_EQ(actual.window.title, expected.window.title);
    EXPECT_EQ(actual.backgroundColor, expected.backgroundColor);
    EXPECT_EQ(actual.pixelPerfect, expected.pixelPerfect);
    EXPECT_EQ(actual.targetFps, expected.targetFps);
    EXPECT_EQ(actual.enableFrameLimiter, expected.enableFrameLimiter);
    EXPECT_EQ(actual.maxDeltaTime, expected.maxDeltaTime);
    EXPECT_EQ(actual.fixedDeltaTime, expected.fixedDeltaTime);
    EXPECT_EQ(actual.x, expected.x);
    EXPECT_EQ(actual.y, expected.y);
}

struct LoadResult
{
    bool loaded = false;
    ProjectConfig config;
    std::string errors; // what went to standard error
};

LoadResult Load(const fs::path& projectPath, ProjectConfig config = {})
{
    CaptureStdout();
    CaptureStderr();
    LoadResult result;
    result.loaded = LoadProjectConfig(projectPath, config);
    result.config = config;
    result.errors = GetCapturedStderr();
    // The loader reports only errors.
    EXPECT_EQ(GetCapturedStdout(), "");
    return result;
}

class LoadProjectConfigTest : public ::testing::Test
{
protected:
    // A project directory named Pong holding the given project.json.
    fs::path Project(const std::string& json) const
    {
        directory.Write("Pong/project.json", json);
        return project;
    }

    // What a file that names only its main class loads to.
    ProjectConfig Baseline() const
    {
        ProjectConfig config;
        config.name = "Pong";
        config.root = project;
        config.mainAssembly = project; // no "mainAssembly": the directory itself
        config.mainClass = "Game";
        return config;
    }

    Testing::TemporaryDirectory directory;
    fs::path project = directory.Path() / "Pong";
};

TEST_F(LoadProjectConfigTest, EachKeyAndItsFallback)
{
    struct Case
    {
        std::string json;
        std::function<void(ProjectConfig&)> change; // from Baseline()
    };
    const Case cases[] = {
        {R"({"mainClass": "Game"})", [](ProjectConfig&) {}},
        {"\xEF\xBB\xBF{\r\n  \"mainClass\" :\r\n \"Game\"\r\n}\r\n", [](ProjectConfig&) {}},
        {R"({"name": "Pong Deluxe", "mainClass": "Game"})", [](ProjectConfig& c) { c.name = "Pong Deluxe"; }},
        // A nested entry that comes first supplies the value.
        {R"({"scenes": [{"name": "Intro"}], "name": "Pong", "mainClass": "Game"})",
         [](ProjectConfig& c) { c.name = "Intro"; }},
        {R"({"mainClass": "Game", "startScene": "Menu"})", [](ProjectConfig& c) { c.startScene = "Menu"; }},
        {R"({"mainClass": "Game", "mainAssembly": "bin/Game.dll"})",
         [this](ProjectConfig& c) { c.mainAssembly = project / "bin" / "Game.dll"; }},
        {R"({"mainClass": "Game", "mainAssembly": "./bin/../Game.dll"})",
         [this](ProjectConfig& c) { c.mainAssembly = project / "Game.dll"; }},
        {R"({"mainClass": "Game", "mainAssembly": "/opt/games/../Game.dll"})",
         [](ProjectConfig& c) { c.mainAssembly = "/opt/Game.dll"; }},
        {R"({"mainClass": "Game", "width": 800, "height": 600})",
         [](ProjectConfig& c)
         {
             c.window.width = 800;
             c.window.height = 600;
         }},
        {R"({"mainClass": "Game", "width": "800"})", [](ProjectConfig&) {}},
        {R"({"mainClass": "Game", "width": "800", "nested": {"width": 1024}})",
         [](ProjectConfig& c) { c.window.width = 1024; }},
        {R"({"mainClass": "Game", "width": 4294967295})", [](ProjectConfig& c) { c.window.width = -1; }},
        {R"({"mainClass": "Game", "title": "Pong!"})", [](ProjectConfig& c) { c.window.title = "Pong!"; }},
        {R"({"mainClass": "Game", "title": "Say \"hi\""})",
         [](ProjectConfig& c) { c.window.title = "Say \\"; }},
        {R"({"mainClass": "Game", "backgroundColor": "#FFffFF"})",
         [](ProjectConfig& c) {
             c.backgroundColor = {255, 255, 255};
         }},
        {R"({"mainClass": "Game", "backgroundColor": "#1g2233"})",
         [](ProjectConfig& c) {
             c.backgroundColor = {1, 34, 51};
         }},
        {R"({"mainClass": "Game", "pixelPerfect": false, "enableFrameLimiter": false})",
         [](ProjectConfig& c)
         {
             c.pixelPerfect = false;
             c.enableFrameLimiter = false;
         }},
        {R"({"mainClass": "Game", "targetFps": -1})", [](ProjectConfig&) {}},
        {R"({"mainClass": "Game", "targetFps": 0})", [](ProjectConfig& c) { c.targetFps = 0; }},
        {R"({"mainClass": "Game", "maxDeltaTime": 0.1})", [](ProjectConfig& c) { c.maxDeltaTime = 0.1f; }},
        {R"({"mainClass": "Game", "maxDeltaTime": .05})", [](ProjectConfig&) {}},
        {R"({"mainClass": "Game", "maxDeltaTime": 1e-2})", [](ProjectConfig& c) { c.maxDeltaTime = 1.0f; }},
        {R"({"mainClass": "Game", "maxDeltaTime": 0})", [](ProjectConfig& c) { c.maxDeltaTime = 0.0f; }},
        {R"({"mainClass": "Game", "maxDeltaTime": -0.0})", [](ProjectConfig& c) { c.maxDeltaTime = -0.0f; }},
        {R"({"mainClass": "Game", "fixedPhysicsFps": 50})",
         [](ProjectConfig& c) { c.fixedDeltaTime = 0.02f; }},
        {R"({"mainClass": "Game", "fixedPhysicsFps": 0, "fixedDeltaTime": 0.01})",
         [](ProjectConfig& c) { c.fixedDeltaTime = 0.01f; }},
        {R"({"mainClass": "Game", "fixedPhysicsFps": 4294967295, "fixedDeltaTime": 0.25})",
         [](ProjectConfig& c) { c.fixedDeltaTime = 0.25f; }},
        {R"({"mainClass": "Game", "fixedDeltaTime": 0.01})", [](ProjectConfig&) {}},
        {R"({"mainClass": "Game", "x": -1.5, "y": 2})",
         [](ProjectConfig& c)
         {
             c.x = -1.5f;
             c.y = 2.0f;
         }},
        // Bytes of any value around the keys are just text that does not match.
        {"\0\xff\x01{\"mainClass\"\0: \"Bad\", \"mainClass\": \"Game\", \"title\": \"a\0b\"}\xfe"s,
         [](ProjectConfig& c) { c.window.title = "a\0b"s; }},
    };
    for (const Case& item : cases)
    {
        SCOPED_TRACE(item.json);
        const LoadResult result = Load(Project(item.json));
        EXPECT_TRUE(result.loaded);
        EXPECT_EQ(result.errors, "");
        ProjectConfig expected = Baseline();
        item.change(expected);
        ExpectSameConfig(result.config, expected);
    }
}

TEST_F(LoadProjectConfigTest, EveryKeyAtOnce)
{
    const LoadResult result = Load(Project(R"({
        "name": "Pong Deluxe",
        "mainClass": "Pong.Game",
        "startScene": "Menu",
        "mainAssembly": "bin/Pong.dll",
        "window": { "width": 1920, "height": 1080, "title": "Pong" },
        "backgroundColor": "#102030",
        "pixelPerfect": false,
        "targetFps": 144,
        "enableFrameLimiter": false,
        "maxDeltaTime": 0.1,
        "fixedPhysicsFps": 120,
        "fixedDeltaTime": 0.5,
        "x": 3.25,
        "y": -4
    })"));
    ASSERT_TRUE(result.loaded);
    ProjectConfig expected = Baseline();
    expected.name = "Pong Deluxe";
    expected.mainClass = "Pong.Game";
    expected.startScene = "Menu";
    expected.mainAssembly = project / "bin" / "Pong.dll";
    expected.window = {1920, 1080, "Pong"};
    expected.backgroundColor = {0x10, 0x20, 0x30};
    expected.pixelPerfect = false;
    expected.targetFps = 144;
    expected.enableFrameLimiter = false;
    expected.maxDeltaTime = 0.1f;
    expected.fixedDeltaTime = 1.0f / 120.0f;
    expected.x = 3.25f;
    expected.y = -4.0f;
    ExpectSameConfig(result.config, expected);
}

TEST_F(LoadProjectConfigTest, FallbacksAreTheValuesTheRecordHeld)
{
    ProjectConfig held;
    held.window = {640, 480, "Held"};
    held.backgroundColor = {1, 2, 3};
    held.pixelPerfect = false;
    held.targetFps = 30;
    held.enableFrameLimiter = false;
    held.maxDeltaTime = 0.25f;
    held.fixedDeltaTime = 0.5f;
    held.x = 7.0f;
    held.y = 8.0f;

    struct Case
    {
        std::string json;
        std::function<void(ProjectConfig&)> change; // from the held record
    };
    const Case cases[] = {
        // A missing colour is "#12141a"; the physics rate defaults to 60; x and y to 0.
        {R"({"mainClass": "Game"})",
         [](ProjectConfig& c)
         {
             c.backgroundColor = {18, 20, 26};
             c.fixedDeltaTime = 1.0f / 60.0f;
         }},
        // A colour of the wrong form keeps the one held.
        {R"({"mainClass": "Game", "backgroundColor": "#fff"})",
         [](ProjectConfig& c) { c.fixedDeltaTime = 1.0f / 60.0f; }},
        {R"({"mainClass": "Game", "backgroundColor": "1a2b3c"})",
         [](ProjectConfig& c) { c.fixedDeltaTime = 1.0f / 60.0f; }},
        {R"({"mainClass": "Game", "backgroundColor": "#gg0000"})",
         [](ProjectConfig& c) { c.fixedDeltaTime = 1.0f / 60.0f; }},
        {R"({"mainClass": "Game", "backgroundColor": 123456})",
         [](ProjectConfig& c)
         {
             c.backgroundColor = {18, 20, 26};
             c.fixedDeltaTime = 1.0f / 60.0f;
         }},
        {R"({"mainClass": "Game", "fixedPhysicsFps": 0})",
         [](ProjectConfig& c) {
             c.backgroundColor = {18, 20, 26};
         }},
    };
    for (const Case& item : cases)
    {
        SCOPED_TRACE(item.json);
        const LoadResult result = Load(Project(item.json), held);
        EXPECT_TRUE(result.loaded);
        ProjectConfig expected = held;
        expected.name = "Pong";
        expected.root = project;
        expected.mainAssembly = project;
        expected.mainClass = "Game";
        expected.x = 0.0f;
        expected.y = 0.0f;
        item.change(expected);
        ExpectSameConfig(result.config, expected);
    }
}

TEST_F(LoadProjectConfigTest, FailuresWriteOneErrorLine)
{
    struct Case
    {
        std::string json;
        std::string error;
    };
    const std::string noMainClass = "[Error] project.json must define mainClass.\n";
    const Case cases[] = {
        {"", noMainClass},
        {"{}", noMainClass},
        {R"({"mainClass": ""})", noMainClass},
        {R"({"mainClass": Game})", noMainClass},
        {R"({"name": "Pong", "width": 800})", noMainClass},
        {"\0\0\0\xff\xfe"s, noMainClass},
        {R"({"mainClass": "Game", "width": 4294967296})", "[Error] stoul\n"},
        {R"({"mainClass": "Game", "fixedPhysicsFps": 99999999999})", "[Error] stoul\n"},
        {R"({"mainClass": "Game", "x": 1000000000000000000000000000000000000000})", "[Error] stof\n"},
        {R"({"mainClass": "Game", "maxDeltaTime": -0.5})",
         "[Error] project.json: maxDeltaTime must not be negative.\n"},
        // Both faults: the missing main class is reported.
        {R"({"mainClass": "", "maxDeltaTime": -1})", noMainClass},
        // A conversion error ends the load before the main class is checked.
        {R"({"targetFps": 4294967296})", "[Error] stoul\n"},
    };
    for (const Case& item : cases)
    {
        SCOPED_TRACE(item.json);
        const LoadResult result = Load(Project(item.json));
        EXPECT_FALSE(result.loaded);
        EXPECT_EQ(result.errors, item.error);
    }
}

TEST_F(LoadProjectConfigTest, AProjectFileThatCannotBeReadNamesItsPath)
{
    const fs::path missing = directory.Path() / "Missing" / "sub" / ".." / "Pong";
    const fs::path folderAsFile = directory.Path() / "Folder";
    fs::create_directories(folderAsFile / "project.json");
    const fs::path fileAsFolder = directory.Write("plain.txt", "{}");
    for (const fs::path& path : {missing, folderAsFile, fileAsFolder})
    {
        SCOPED_TRACE(path);
        const LoadResult result = Load(path);
        EXPECT_FALSE(result.loaded);
        EXPECT_EQ(result.errors, "[Error] Could not open file: " +
                                     PathToUtf8(fs::weakly_canonical(path) / "project.json") + "\n");
    }
    EXPECT_EQ(Load(missing).errors, "[Error] Could not open file: " +
                                        PathToUtf8(directory.Path() / "Missing" / "Pong" / "project.json") +
                                        "\n");
}

TEST_F(LoadProjectConfigTest, AnOverlongPathFailsWithOneLine)
{
    const std::string longName(5000, 'a');
    for (const fs::path& path : {Project(R"({"mainClass": "Game", "mainAssembly": ")" + longName + "\"}"),
                                 directory.Path() / longName})
    {
        const LoadResult result = Load(path);
        EXPECT_FALSE(result.loaded);
        EXPECT_EQ(result.errors.rfind("[Error] filesystem error", 0), 0u) << result.errors.substr(0, 200);
        EXPECT_EQ(result.errors.find('\n'), result.errors.size() - 1);
    }
}

TEST_F(LoadProjectConfigTest, TheRootIsWeaklyCanonical)
{
    Project(R"({"mainClass": "Game"})");
    fs::create_directory_symlink(project, directory.Path() / "Link");
    // Symbolic links resolved, dot elements folded, trailing separator dropped.
    for (const fs::path& path : {directory.Path() / "Link", directory.Path() / "." / "x" / ".." / "Pong",
                                 fs::path(project.native() + "/")})
    {
        SCOPED_TRACE(path);
        const LoadResult result = Load(path);
        EXPECT_TRUE(result.loaded);
        ExpectSameConfig(result.config, Baseline());
    }
    // A relative path is taken from the current directory.
    const LoadResult relative = Load(fs::relative(project, fs::current_path()));
    EXPECT_TRUE(relative.loaded);
    ExpectSameConfig(relative.config, Baseline());
}

TEST_F(LoadProjectConfigTest, AnEmptyPathIsTheCurrentDirectory)
{
    Project(R"({"mainClass": "Game"})");
    const fs::path previous = fs::current_path();
    fs::current_path(project);
    const LoadResult result = Load(fs::path());
    fs::current_path(previous);
    EXPECT_TRUE(result.loaded);
    ExpectSameConfig(result.config, Baseline());
}

TEST_F(LoadProjectConfigTest, LargeFilesLoad)
{
    // 10 MB of a title, then 10 MB of near misses for every key, then the values.
    const std::string title(10 * 1024 * 1024, 'T');
    std::string json = "{\"title\": \"" + title + "\",\n";
    const std::string nearMisses = R"("width": "w", "height": -1, "maxDeltaTime": .5, "pixelPerfect": yes, )"
                                   R"("targetFps": "x", "mainClass": 0, "name": 1, "x": "1", "y": -, )";
    while (json.size() < 20 * 1024 * 1024)
    {
        json += nearMisses;
    }
    json += R"("mainClass": "Game", "width": 800, "maxDeltaTime": 0.5, "pixelPerfect": false, "x": 1})";
    ASSERT_GE(json.size(), 20u * 1024 * 1024);

    const LoadResult result = Load(Project(json));
    ASSERT_TRUE(result.loaded) << result.errors.substr(0, 200);
    ProjectConfig expected = Baseline();
    expected.window.title = title;
    expected.window.width = 800;
    expected.maxDeltaTime = 0.5f;
    expected.pixelPerfect = false;
    expected.x = 1.0f;
    ExpectSameConfig(result.config, expected);
}

TEST_F(LoadProjectConfigTest, LargeMalformedValuesFallBackOrFail)
{
    const std::string bulk(10 * 1024 * 1024, '9');
    // A string that never ends falls back to the directory's name.
    const LoadResult open = Load(Project("{\"mainClass\": \"Game\", \"name\": \"" + bulk));
    EXPECT_TRUE(open.loaded);
    EXPECT_EQ(open.config.name, "Pong");
    // Ten million digits are out of range for both number kinds.
    EXPECT_EQ(Load(Project("{\"mainClass\": \"Game\", \"width\": " + bulk)).errors, "[Error] stoul\n");
    EXPECT_EQ(Load(Project("{\"mainClass\": \"Game\", \"y\": " + bulk)).errors, "[Error] stof\n");
}

} // namespace
} // namespace Marrowvane
