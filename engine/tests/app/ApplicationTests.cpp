// End to end: the real engine executable, headless, with the stand-in script
// host behind the real dotnet lookup.
#include "app/EngineProcess.h"
#include "app/Picture.h"
#include "support/StandInScriptHost.h"

#include <gtest/gtest.h>

#include <sstream>

namespace Marrowvane
{
namespace
{

using Testing::EngineLaunch;
using Testing::EngineRun;
using Testing::Picture;
using Testing::Pixel;
using Testing::ReadFile;
using Testing::WriteFile;

const char* const defaultProject = R"({
  "name": "Game",
  "mainClass": "Game.Main",
  "mainAssembly": "Game.dll",
  "width": 64,
  "height": 48,
  "backgroundColor": "#102030",
  "enableFrameLimiter": false
})";

// A source layout in a temporary folder: layout/samples/Game with its
// project.json and a dummy game assembly, and a dummy script host where the
// engine looks for it relative to a sample project.
class EngineRunTest : public ::testing::Test
{
public: // the case tables below prepare the fixture from outside
    std::filesystem::path root;
    std::filesystem::path project;
    std::filesystem::path scriptHost;
    std::filesystem::path record;
    EngineLaunch launch;

    void SetUp() override
    {
        root = Testing::MakeTempFolder("app");
        project = root / "layout" / "samples" / "Game";
        scriptHost =
            root / "layout" / "engine/csharp/ScriptHost/bin/Debug/net8.0" / "Marrowvane.ScriptHost.dll";
        record = root / "record";
        WriteFile(project / "project.json", defaultProject);
        WriteFile(project / "Game.dll", "not really an assembly");
        WriteFile(scriptHost, "not really an assembly");
        std::filesystem::create_directories(root / "elsewhere");

        launch.workingDirectory = root / "elsewhere";
        launch.arguments = {"--headless", project.string()};
        for (const char* knob : StandIn::kAllKnobs)
        {
            launch.environment[knob] = std::nullopt;
        }
        launch.environment["DOTNET_ROOT"] = MARROWVANE_FAKE_DOTNET_DIR;
        launch.environment["SDL_VIDEODRIVER"] = "offscreen";
        launch.environment[StandIn::kRecordDir] = record.string();
    }

    void TearDown() override { std::filesystem::remove_all(root); }

    std::vector<std::string> ReceivedLines() const
    {
        std::vector<std::string> lines;
        std::istringstream text(ReadFile(record / StandIn::kReceivedFile));
        for (std::string line; std::getline(text, line);)
        {
            lines.push_back(line);
        }
        return lines;
    }

    std::vector<std::string> FrameLines() const
    {
        std::vector<std::string> frames;
        for (const std::string& line : ReceivedLines())
        {
            if (line.starts_with("FRAME|"))
            {
                frames.push_back(line);
            }
        }
        return frames;
    }

    static std::string TimeStepOf(const std::string& frameLine)
    {
        const auto start = frameLine.find('|') + 1;
        return frameLine.substr(start, frameLine.find('|', start) - start);
    }
};

std::string Describe(const EngineRun& run)
{
    return "exit " + std::to_string(run.exitCode) + " signal " + std::to_string(run.signal) + "\nstdout:\n" +
           run.out + "stderr:\n" + run.err;
}

TEST_F(EngineRunTest, StartUpFailuresExitWithOneLine)
{
    struct Case
    {
        const char* name;
        void (*prepare)(EngineRunTest&);
        std::string (*expected)(const EngineRunTest&);
    };
    const Case cases[] = {
        {"missing project",
         [](EngineRunTest& t) { t.launch.arguments.back() = (t.root / "nowhere").string(); },
         [](const EngineRunTest& t)
         { return "[Error] Could not open file: " + (t.root / "nowhere" / "project.json").string() + "\n"; }},
        {"no main class",
         [](EngineRunTest& t) { WriteFile(t.project / "project.json", R"({"name": "Game"})"); },
         [](const EngineRunTest&) { return std::string("[Error] project.json must define mainClass.\n"); }},
        {"missing script host", [](EngineRunTest& t) { std::filesystem::remove(t.scriptHost); },
         [](const EngineRunTest& t)
         {
             return "[Error] Script host was not found: " +
                    (t.root / "elsewhere" /
                     "engine/csharp/ScriptHost/bin/Debug/net8.0/Marrowvane.ScriptHost.dll")
                        .string() +
                    "\n";
         }},
        {"missing game assembly", [](EngineRunTest& t) { std::filesystem::remove(t.project / "Game.dll"); },
         [](const EngineRunTest& t)
         { return "[Error] Game assembly was not found: " + (t.project / "Game.dll").string() + "\n"; }},
        {"both missing",
         [](EngineRunTest& t)
         {
             std::filesystem::remove(t.scriptHost);
             std::filesystem::remove(t.project / "Game.dll");
         },
         [](const EngineRunTest& t)
         {
             return "[Error] Script host was not found: " +
                    (t.root / "elsewhere" /
                     "engine/csharp/ScriptHost/bin/Debug/net8.0/Marrowvane.ScriptHost.dll")
                        .string() +
                    "\n";
         }},
        {"dotnet not found",
         [](EngineRunTest& t)
         {
             std::filesystem::create_directories(t.root / "empty-bin");
             t.launch.environment["DOTNET_ROOT"] = std::nullopt;
             t.launch.environment["USERPROFILE"] = std::nullopt;
             t.launch.environment["HOME"] = t.root.string();
             t.launch.environment["PATH"] = (t.root / "empty-bin").string();
         },
         [](const EngineRunTest&)
         {
             return std::string(
                 "[Error] Could not start .NET script host. Make sure dotnet is available on PATH.\n");
         }},
        {"no READY", [](EngineRunTest& t) { t.launch.environment[StandIn::kReady] = "none"; },
         [](const EngineRunTest&) { return std::string("[Error] Script host did not become ready.\n"); }},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        c.prepare(*this);
        const EngineRun run = Testing::RunEngine(launch);
        EXPECT_EQ(run.exitCode, 1) << Describe(run);
        EXPECT_EQ(run.err, c.expected(*this)) << Describe(run);
        EXPECT_EQ(run.out.find("Running project: "), std::string::npos) << Describe(run);
    }
}

TEST_F(EngineRunTest, RunsFramesThenShutsDownAndWritesTheLastFrame)
{
    std::filesystem::copy_file(std::filesystem::path(MARROWVANE_TEST_DATA_DIR) / "quad.png",
                               project / "quad.png");
    WriteFile(root / "answer.txt", "CAMERA|0|0|1|64|48\n"
                                   "RECT|2|2|10|10|255|0|0\n"
                                   "SPRITE|20|4|20|20|9|9|9|quad.png\n"
                                   "DEBUG_RECT|50|30|8|8|255|255|0\n");
    launch.environment[StandIn::kAnswerFile] = (root / "answer.txt").string();
    const auto shot = root / "shots" / "last.png";
    launch.arguments = {"--headless", "--frames=5", "--screenshot=" + shot.string(), project.string()};

    const EngineRun run = Testing::RunEngine(launch);
    ASSERT_EQ(run.exitCode, 0) << Describe(run);
    EXPECT_EQ(run.err, "") << Describe(run);
    EXPECT_NE(run.out.find("[Info] C# script host started.\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("[Info] Running project: Game\n"), std::string::npos) << run.out;

    const std::vector<std::string> received = ReceivedLines();
    ASSERT_EQ(received.size(), 7u) << ReadFile(record / StandIn::kReceivedFile);
    EXPECT_EQ(received.front(), "START");
    for (std::size_t i = 1; i <= 5; ++i)
    {
        EXPECT_TRUE(received[i].starts_with("FRAME|")) << received[i];
    }
    EXPECT_EQ(received.back(), "SHUTDOWN");

    const Picture picture(shot);
    ASSERT_TRUE(picture.Loaded()) << IMG_GetError();
    ASSERT_EQ(picture.Width(), 64);
    ASSERT_EQ(picture.Height(), 48);
    EXPECT_EQ(picture.At(63, 0), (Pixel{0x10, 0x20, 0x30})); // background
    EXPECT_EQ(picture.At(5, 5), (Pixel{255, 0, 0}));         // the rect
    EXPECT_EQ(picture.At(25, 9), (Pixel{255, 0, 0}));        // each texel of the sprite as a 10x10 block
    EXPECT_EQ(picture.At(35, 9), (Pixel{0, 255, 0}));
    EXPECT_EQ(picture.At(25, 19), (Pixel{0, 0, 255}));
    EXPECT_EQ(picture.At(35, 19), (Pixel{255, 255, 255}));
    EXPECT_EQ(picture.At(50, 30), (Pixel{255, 255, 0}));      // the debug outline
    EXPECT_EQ(picture.At(53, 33), (Pixel{0x10, 0x20, 0x30})); // and its inside
}

TEST_F(EngineRunTest, ACloseRequestEndsTheRunWithExitCodeZero)
{
    launch.terminateAfter = std::chrono::milliseconds(1500);
    const EngineRun run = Testing::RunEngine(launch);
    ASSERT_EQ(run.exitCode, 0) << Describe(run);
    EXPECT_FALSE(FrameLines().empty());
    EXPECT_EQ(ReceivedLines().back(), "SHUTDOWN");
}

TEST_F(EngineRunTest, AScreenshotThatCannotBeWrittenFailsTheRun)
{
    WriteFile(root / "blocker", "a file where a folder should be");
    const auto shot = root / "blocker" / "shot.png";
    launch.arguments = {"--headless", "--frames=1", "--screenshot=" + shot.string(), project.string()};
    const EngineRun run = Testing::RunEngine(launch);
    EXPECT_EQ(run.exitCode, 1) << Describe(run);
    EXPECT_EQ(run.err, "[Error] Could not write screenshot: " + shot.string() + "\n");
}

TEST_F(EngineRunTest, TimeStepsAreFixedOrMeasuredThenClamped)
{
    struct Case
    {
        const char* name;
        const char* projectExtra;
        std::vector<std::string> options;
        std::vector<std::string> expectedSteps;
    };
    const Case cases[] = {
        {"fixed", "", {"--fixed-dt=0.025"}, {"0.025", "0.025", "0.025"}},
        {"fixed above the maximum", "", {"--fixed-dt=1"}, {"0.05", "0.05", "0.05"}},
        {"maximum of zero", R"(, "maxDeltaTime": 0)", {}, {"0", "0", "0"}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        std::string json = defaultProject;
        json.insert(json.rfind('}'), c.projectExtra);
        WriteFile(project / "project.json", json);
        launch.arguments = c.options;
        launch.arguments.insert(launch.arguments.end(), {"--headless", "--frames=3", project.string()});
        const EngineRun run = Testing::RunEngine(launch);
        ASSERT_EQ(run.exitCode, 0) << Describe(run);
        std::vector<std::string> steps;
        for (const std::string& line : FrameLines())
        {
            steps.push_back(TimeStepOf(line));
        }
        EXPECT_EQ(steps, c.expectedSteps);
    }
}

TEST_F(EngineRunTest, AFrameAfterASlowOneGetsTheLargestStep)
{
    launch.environment[StandIn::kDelayFrame] = "2:300";
    launch.arguments = {"--headless", "--frames=3", project.string()};
    const EngineRun run = Testing::RunEngine(launch);
    ASSERT_EQ(run.exitCode, 0) << Describe(run);
    const std::vector<std::string> frames = FrameLines();
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(TimeStepOf(frames[2]), "0.05");
}

TEST_F(EngineRunTest, TheLimiterHoldsTheTargetFrameRate)
{
    std::string json = defaultProject;
    json.replace(json.find(R"("enableFrameLimiter": false)"), 27, R"("targetFps": 20)");
    WriteFile(project / "project.json", json);
    launch.arguments = {"--headless", "--frames=6", project.string()};
    const auto start = std::chrono::steady_clock::now();
    const EngineRun run = Testing::RunEngine(launch);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    ASSERT_EQ(run.exitCode, 0) << Describe(run);
    // Six frames of 50 ms each cannot take less than 300 ms.
    EXPECT_GE(elapsed, std::chrono::milliseconds(300));
}

TEST(EngineCommandLine, HelpPrintsTheUsage)
{
    EngineLaunch launch;
    launch.arguments = {"--help"};
    const EngineRun run = Testing::RunEngine(launch);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.out.find("--screenshot=PATH"), std::string::npos) << run.out;
}

TEST(EngineCommandLine, ABadOptionValueIsOneErrorLine)
{
    EngineLaunch launch;
    launch.arguments = {"--frames=many"};
    const EngineRun run = Testing::RunEngine(launch);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "[Error] --frames needs a whole number of frames of 1 or more: --frames=many\n");
}

} // namespace
} // namespace Marrowvane
