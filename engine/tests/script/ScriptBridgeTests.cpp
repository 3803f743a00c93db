#include "platform/InputState.h"
#include "script/ScriptBridge.h"
#include "script/ScriptRuntime.h"

#include "script/ScriptTestSupport.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <string>
#include <thread>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace Marrowvane
{
namespace
{

using namespace std::chrono_literals;
using Testing::MillisecondsSince;
using Testing::StandInTest;
using Testing::WriteWholeFile;

namespace fs = std::filesystem;

// Short waits for tests where the length of a wait is not the point; a
// "long" one where a test shows that a wait does not run to its end.
ScriptBridgeTimeouts Short()
{
    ScriptBridgeTimeouts timeouts;
    timeouts.ready = 5000ms;
    timeouts.started = 2000ms;
    timeouts.frame = 200ms;
    timeouts.shutdownGrace = 300ms;
    return timeouts;
}

ScriptBridgeTimeouts Long()
{
    ScriptBridgeTimeouts timeouts;
    timeouts.ready = 60000ms;
    timeouts.started = 60000ms;
    timeouts.frame = 60000ms;
    return timeouts;
}

bool IsReaped(long processId)
{
    int status = 0;
    return processId > 0 && ::waitpid(static_cast<pid_t>(processId), &status, WNOHANG) < 0 &&
           errno == ECHILD && ::kill(static_cast<pid_t>(processId), 0) < 0;
}

// Console output of one piece of a test.
class CapturedConsole
{
public:
    CapturedConsole()
    {
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
    }
    void Stop()
    {
        out = testing::internal::GetCapturedStdout();
        err = testing::internal::GetCapturedStderr();
    }
    std::string out;
    std::string err;
};

std::size_t Occurrences(const std::string& text, const std::string& part)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size()))
    {
        ++count;
    }
    return count;
}

class ScriptBridgeTest : public StandInTest
{
protected:
    void SetUp() override
    {
        StandInTest::SetUp();
        ResetInputStateForTests();
    }
    void TearDown() override { ResetInputStateForTests(); }

    void Answer(const std::string& lines)
    {
        const fs::path file = temporary.Path() / "answer.txt";
        WriteWholeFile(file, lines);
        Knob(StandIn::kAnswerFile, file.string());
    }
};

TEST_F(ScriptBridgeTest, HandshakesFramesAndShutdownOverRealPipes)
{
    Answer(
        "CAMERA|5|6|2|800|600\nRECT|10|20|30|40|255|0|0\nSPRITE|0|0|32|32|255|255|255|player.png|True|false\n"
        "DEBUG_RECT|1|2|3|4|5|6|7\nCOLLIDER|7|1|2|3|4\nLOG|Info|frame done\n");
    ScriptBridge bridge(Short());
    CapturedConsole console;
    ASSERT_TRUE(bridge.Start(config));
    bridge.SendStart();
    EXPECT_TRUE(bridge.IsStartedReceived());

    SetKeyState(65, true);
    SetKeyState(37, true);
    SetMouseButtonState(0, true);
    SetMousePosition(640, 360);
    bridge.ExchangeFrame(1.0f / 60.0f);
    EXPECT_TRUE(bridge.IsEndFrameReceived());
    const FrameSnapshot& snapshot = bridge.GetSnapshot();
    ASSERT_EQ(snapshot.rects.size(), 1u);
    EXPECT_EQ(snapshot.rects[0].width, 30.0f);
    EXPECT_EQ(snapshot.rects[0].color, (Color3{255, 0, 0}));
    ASSERT_EQ(snapshot.sprites.size(), 1u);
    EXPECT_EQ(snapshot.sprites[0].texturePath, project / "player.png");
    EXPECT_TRUE(snapshot.sprites[0].flipX);
    EXPECT_EQ(snapshot.debugRects.size(), 1u);
    ASSERT_EQ(bridge.GetColliders().size(), 1u);
    EXPECT_EQ(bridge.GetColliders()[0].id, 7);
    EXPECT_EQ(snapshot.camera.zoom, 2.0f);

    ResetInputStateForTests();
    bridge.ExchangeFrame(0.05f);
    EXPECT_EQ(snapshot.rects.size(), 1u) << "the lists are refilled, not appended to";
    const long id = bridge.ChildId();
    bridge.Shutdown();
    console.Stop();

    EXPECT_EQ(console.out, "[Info] C# script host started.\n[Info] frame done\n[Info] frame done\n");
    EXPECT_EQ(console.err, "");
    EXPECT_EQ(ReceivedLines(), (std::vector<std::string>{"START", "FRAME|0.0166667|37,65|640,360|0",
                                                         "FRAME|0.05||0,0|", "SHUTDOWN"}));
    EXPECT_EQ(Recorded(StandIn::kEventsFile), "shutdown\n") << "exited within the grace, not killed";
    EXPECT_TRUE(IsReaped(id));
    EXPECT_FALSE(bridge.IsChildRunning());
    EXPECT_EQ(snapshot.rects.size(), 1u) << "the snapshot outlives the shutdown";

    bridge.Shutdown(); // a second one finds nothing to do
}

TEST_F(ScriptBridgeTest, StartsTheChildWithItsNineArgumentsInTheProjectDirectory)
{
    config.mainClass = "My \"Quoted\" Game.Main";
    config.startScene = "Level 1 'intro'";
    config.fixedDeltaTime = 0.02f;
    config.x = -1.5f;
    config.y = 2.0f;
    ScriptBridge bridge(Short());
    CapturedConsole console;
    ASSERT_TRUE(bridge.Start(config));
    bridge.Shutdown();
    console.Stop();
    const std::vector<std::string> expected = {
        (fs::path(MARROWVANE_FAKE_DOTNET_DIR) / "dotnet").string(),
        config.scriptHostPath.string(),
        config.gameAssemblyPath.string(),
        "My \"Quoted\" Game.Main",
        project.string(),
        "Level 1 'intro'",
        "0.020000",
        "-1.500000",
        "2.000000",
    };
    EXPECT_EQ(RecordedArguments(), expected);
    EXPECT_EQ(Recorded(StandIn::kCwdFile), project.string());
    EXPECT_EQ(Recorded(StandIn::kFdsFile), "0\n1\n2\n") << "no descriptor of the engine is inherited";
}

TEST_F(ScriptBridgeTest, ABareDotnetIsFoundOnPath)
{
    environment.Unset("DOTNET_ROOT");
    environment.Set("USERPROFILE", temporary.Path().string());
    environment.Set("PATH", std::string(MARROWVANE_FAKE_DOTNET_DIR) + ":/usr/bin:/bin");
    ScriptBridge bridge(Short());
    CapturedConsole console;
    ASSERT_TRUE(bridge.Start(config));
    bridge.Shutdown();
    console.Stop();
    ASSERT_FALSE(RecordedArguments().empty());
    EXPECT_EQ(RecordedArguments()[0], "dotnet");
}

TEST_F(ScriptBridgeTest, ARelativeDotnetRootMeansTheEnginesCurrentDirectory)
{
    const fs::path fake = MARROWVANE_FAKE_DOTNET_DIR;
    const fs::path previous = fs::current_path();
    fs::current_path(fake.parent_path());
    environment.Set("DOTNET_ROOT", fake.filename().string());
    ScriptBridge bridge(Short());
    CapturedConsole console;
    const bool started = bridge.Start(config);
    fs::current_path(previous);
    bridge.Shutdown();
    console.Stop();
    ASSERT_TRUE(started) << console.err;
    EXPECT_EQ(RecordedArguments()[0], (fake.filename() / "dotnet").string());
}

TEST_F(ScriptBridgeTest, NoDotnetAnywhereFailsTheStart)
{
    environment.Set("DOTNET_ROOT", temporary.Path().string());
    environment.Set("USERPROFILE", temporary.Path().string());
    environment.Set("PATH", temporary.Path().string());
    ScriptBridge bridge(Short());
    CapturedConsole console;
    EXPECT_FALSE(bridge.Start(config));
    console.Stop();
    EXPECT_EQ(console.err,
              "[Error] Could not start .NET script host. Make sure dotnet is available on PATH.\n");
    EXPECT_EQ(console.out, "");
}

TEST_F(ScriptBridgeTest, NoReadyFailsTheStartAfterFiveSeconds)
{
    Knob(StandIn::kReady, "none");
    ScriptBridge bridge; // the engine's own time-outs
    CapturedConsole console;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(bridge.Start(config));
    const double elapsed = MillisecondsSince(start);
    console.Stop();
    EXPECT_GE(elapsed, 5000.0);
    EXPECT_EQ(console.err, "[Error] Script host did not become ready.\n");
    EXPECT_EQ(ReceivedLines(), (std::vector<std::string>{"SHUTDOWN"}));
    EXPECT_TRUE(IsReaped(RecordedPid()));
}

TEST_F(ScriptBridgeTest, ReadyWithoutLineEndIsNotReady)
{
    Knob(StandIn::kReady, "no-newline");
    ScriptBridgeTimeouts timeouts = Short();
    timeouts.ready = 300ms;
    ScriptBridge bridge(timeouts);
    CapturedConsole console;
    EXPECT_FALSE(bridge.Start(config));
    console.Stop();
    EXPECT_FALSE(bridge.IsReadyReceived());
    EXPECT_EQ(console.err, "[Error] Script host did not become ready.\n");
    // Its unfinished text is shown once the child has gone, not lost.
    EXPECT_EQ(console.out, "[Info] [ScriptHost] READY\n");
}

TEST_F(ScriptBridgeTest, ReadyWithCarriageReturnAndLateReadyCount)
{
    Knob(StandIn::kReady, "crlf");
    Knob(StandIn::kReadyDelayMs, "400");
    ScriptBridge bridge(Short());
    CapturedConsole console;
    EXPECT_TRUE(bridge.Start(config));
    bridge.Shutdown();
    console.Stop();
    EXPECT_EQ(console.out, "[Info] C# script host started.\n");
}

TEST_F(ScriptBridgeTest, StandardErrorArrivesThroughTheSamePipe)
{
    Knob(StandIn::kStderr, "warming up");
    ScriptBridge bridge(Short());
    CapturedConsole console;
    ASSERT_TRUE(bridge.Start(config));
    bridge.Shutdown();
    console.Stop();
    EXPECT_EQ(console.out, "[Info] [ScriptHost] warming up\n[Info] C# script host started.\n");
}

TEST_F(ScriptBridgeTest, AMissingStartedIsNotReported)
{
    Knob(StandIn::kNoStarted, "1");
    ScriptBridgeTimeouts timeouts = Short();
    timeouts.started = 200ms;
    ScriptBridge bridge(timeouts);
    CapturedConsole console;
    ASSERT_TRUE(bridge.Start(config));
    const auto start = std::chrono::steady_clock::now();
    bridge.SendStart();
    const double elapsed = MillisecondsSince(start);
    bridge.Shutdown();
    console.Stop();
    EXPECT_FALSE(bridge.IsStartedReceived());
    EXPECT_GE(elapsed, 200.0);
    EXPECT_EQ(console.err, "");
}

TEST_F(ScriptBridgeTest, AFrameWithoutEndFrameIsDrawnAfterHalfASecond)
{
    Answer("CAMERA|9|9\nRECT|1|2|3|4|5|6|7\n");
    Knob(StandIn::kSkipEndFrame, "2");
    ScriptBridge bridge; // the engine's own time-outs
    CapturedConsole console;
    ASSERT_TRUE(bridge.Start(config));
    bridge.ExchangeFrame(0.016f);
    EXPECT_TRUE(bridge.IsEndFrameReceived());
    const auto start = std::chrono::steady_clock::now();
    bridge.ExchangeFrame(0.016f);
    const double elapsed = MillisecondsSince(start);
    bridge.Shutdown();
    console.Stop();
    EXPECT_GE(elapsed, 500.0);
    EXPECT_FALSE(bridge.IsEndFrameReceived());
    EXPECT_EQ(bridge.GetSnapshot().rects.size(), 1u) << "drawn with whatever arrived";
    EXPECT_EQ(bridge.GetSnapshot().camera.x, 9.0f);
    EXPECT_EQ(console.err, "");
}

TEST_F(ScriptBridgeTest, ALateEndFrameEndsTheNextFramesWait)
{
    Answer("RECT|1|2|3|4|5|6|7\n");
    Knob(StandIn::kDelayFrame, "1:300");
    ScriptBridgeTimeouts timeouts = Short();
    timeouts.frame = 100ms;
    ScriptBridge bridge(timeouts);
    CapturedConsole console;
    ASSERT_TRUE(bridge.Start(config));
    bridge.ExchangeFrame(0.016f);
    EXPECT_FALSE(bridge.IsEndFrameReceived());
    EXPECT_TRUE(bridge.GetSnapshot().rects.empty());
    std::this_thread::sleep_for(1000ms); // frame 1's answer is in the pipe by now
    bridge.ExchangeFrame(0.016f);
    EXPECT_TRUE(bridge.IsEndFrameReceived());
    EXPECT_EQ(bridge.GetSnapshot().rects.size(), 1u) << "frame 1's lines land in frame 2";
    bridge.Shutdown();
    console.Stop();
}

TEST_F(ScriptBridgeTest, UpdateAfterShutdownSendsNothingAndWaitsItsTime)
{
    ScriptBridge bridge(Short());
    CapturedConsole console;
    ASSERT_TRUE(bridge.Start(config));
    bridge.HandleLine("RECT|1|2|3|4|5|6|7");
    bridge.Shutdown();
    const auto start = std::chrono::steady_clock::now();
    bridge.ExchangeFrame(0.016f);
    const double elapsed = MillisecondsSince(start);
    console.Stop();
    EXPECT_GE(elapsed, 200.0);
    EXPECT_TRUE(bridge.GetSnapshot().rects.empty());
    EXPECT_EQ(ReceivedLines(), (std::vector<std::string>{"SHUTDOWN"}));
}

TEST_F(ScriptBridgeTest, ManyFramesInARowEachGetTheirAnswer)
{
    Answer("RECT|1|2|3|4|5|6|7\nRECT|1|2|3|4|5|6|7\n");
    ScriptBridge bridge(Long());
    CapturedConsole console;
    ASSERT_TRUE(bridge.Start(config));
    for (int frame = 0; frame < 300; ++frame)
    {
        bridge.ExchangeFrame(0.016f);
        ASSERT_TRUE(bridge.IsEndFrameReceived());
        ASSERT_EQ(bridge.GetSnapshot().rects.size(), 2u);
    }
    bridge.Shutdown();
    console.Stop();
    EXPECT_EQ(ReceivedLines().size(), 301u);
}

// --- The child ends on its own -------------------------------------------

TEST_F(ScriptBridgeTest, AChildThatExitsBeforeReadyFailsTheStartAtOnce)
{
    Knob(StandIn::kExitAt, "before-ready");
    Knob(StandIn::kExitCode, "2");
    ScriptBridge bridge(Long());
    CapturedConsole console;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(bridge.Start(config));
    const double elapsed = MillisecondsSince(start);
    console.Stop();
    EXPECT_LT(elapsed, 30000.0) << "did not wait for the 60 s time-out";
    EXPECT_EQ(console.err,
              "[Error] Script host exited with code 2.\n[Error] Script host did not become ready.\n");
    EXPECT_TRUE(IsReaped(RecordedPid()));
}

TEST_F(ScriptBridgeTest, AChildThatExitsIsReportedOnceAndNoWaitWaitsForIt)
{
    Knob(StandIn::kExitAt, "start");
    Knob(StandIn::kExitCode, "3");
    Knob(StandIn::kExitText, "LOG|Error|last words\nno line end");
    ScriptBridge bridge(Long());
    CapturedConsole console;
    ASSERT_TRUE(bridge.Start(config));
    const auto start = std::chrono::steady_clock::now();
    bridge.SendStart();
    for (int frame = 0; frame < 20; ++frame)
    {
        bridge.ExchangeFrame(0.016f);
        EXPECT_FALSE(bridge.IsEndFrameReceived());
    }
    const double elapsed = MillisecondsSince(start);
    const long id = RecordedPid();
    bridge.Shutdown();
    console.Stop();
    EXPECT_LT(elapsed, 30000.0) << "no wait ran to its 60 s time-out";
    EXPECT_TRUE(bridge.HasChildEnded());
    // Its last output first, then its end, once.
    EXPECT_EQ(console.err, "[Error] last words\n[Error] Script host exited with code 3.\n");
    EXPECT_EQ(console.out, "[Info] C# script host started.\n[Info] [ScriptHost] no line end\n");
    EXPECT_TRUE(IsReaped(id));
}

TEST_F(ScriptBridgeTest, AChildEndedByASignalIsReportedWithIt)
{
    Knob(StandIn::kExitAt, "frame:2");
    Knob(StandIn::kExitSignal, "9");
    ScriptBridge bridge(Long());
    CapturedConsole console;
    ASSERT_TRUE(bridge.Start(config));
    bridge.ExchangeFrame(0.016f);
    EXPECT_TRUE(bridge.IsEndFrameReceived());
    bridge.ExchangeFrame(0.016f);
    bridge.ExchangeFrame(0.016f);
    const long id = RecordedPid();
    bridge.Shutdown();
    console.Stop();
    EXPECT_EQ(console.err, "[Error] Script host was terminated by signal 9.\n");
    EXPECT_TRUE(IsReaped(id));
}

// --- Shutdown grace --------------------------------------------------------

TEST_F(ScriptBridgeTest, AChildThatTakesPartOfTheGraceIsNotKilled)
{
    Knob(StandIn::kShutdownDelayMs, "100");
    ScriptBridge bridge(Short());
    CapturedConsole console;
    ASSERT_TRUE(bridge.Start(config));
    const long id = bridge.ChildId();
    bridge.Shutdown();
    console.Stop();
    EXPECT_EQ(Recorded(StandIn::kEventsFile), "shutdown\n");
    EXPECT_TRUE(IsReaped(id));
}

TEST_F(ScriptBridgeTest, AChildThatIgnoresShutdownIsKilledAndReapedAfterTheGrace)
{
    Knob(StandIn::kIgnoreShutdown, "1");
    ScriptBridge bridge; // the engine's own grace
    CapturedConsole console;
    ASSERT_TRUE(bridge.Start(config));
    const long id = bridge.ChildId();
    const auto start = std::chrono::steady_clock::now();
    bridge.Shutdown();
    const double elapsed = MillisecondsSince(start);
    console.Stop();
    EXPECT_GE(elapsed, 300.0);
    EXPECT_EQ(ReceivedLines(), (std::vector<std::string>{"SHUTDOWN"}));
    EXPECT_EQ(Recorded(StandIn::kEventsFile), "") << "killed: it never got to its end of input";
    EXPECT_TRUE(IsReaped(id)) << "no zombie, no orphan";
    EXPECT_EQ(console.err, "") << "a child stopped by the engine is not an error";
}

TEST_F(ScriptBridgeTest, TheRuntimeDrivesTheBridgeAndShutsDownOnDestruction)
{
    Answer("RECT|1|2|3|4|5|6|7\n");
    long id = -1;
    CapturedConsole console;
    {
        ScriptRuntime runtime(Short());
        ASSERT_TRUE(runtime.Start(config));
        runtime.SendStart();
        runtime.Update(0.016f);
        EXPECT_EQ(runtime.GetFrame().rects.size(), 1u);
        EXPECT_TRUE(runtime.GetBridge().IsEndFrameReceived());
        id = runtime.GetBridge().ChildId();
    }
    console.Stop();
    EXPECT_TRUE(IsReaped(id));
    EXPECT_EQ(ReceivedLines(), (std::vector<std::string>{"START", "FRAME|0.016||0,0|", "SHUTDOWN"}));
}

// --- A child that misbehaves -----------------------------------------------

TEST_F(ScriptBridgeTest, AChildWritingWithoutPauseCannotHoldAFramePastItsTimeOut)
{
    // Log lines cost the engine far more than the child: its output
    // never runs dry.
    Knob(StandIn::kFlood, "frame:1");
    Knob(StandIn::kFloodLine, "LOG|Info|flood");
    Answer("RECT|1|2|3|4|5|6|7\n");
    ScriptBridgeTimeouts timeouts = Short();
    timeouts.frame = 200ms;
    ScriptBridge bridge(timeouts);
    CapturedConsole console;
    ASSERT_TRUE(bridge.Start(config));
    const auto start = std::chrono::steady_clock::now();
    constexpr int kFrames = 5;
    for (int frame = 0; frame < kFrames; ++frame)
    {
        bridge.ExchangeFrame(0.016f);
    }
    const double elapsed = MillisecondsSince(start);
    const long id = bridge.ChildId();
    bridge.Shutdown();
    console.Stop();
    EXPECT_GE(elapsed, kFrames * 200.0);
    EXPECT_LT(elapsed, kFrames * 200.0 + 2000.0) << "each frame ends at its time-out, give or take one read";
    EXPECT_GT(Occurrences(console.out, "[Info] flood\n"), 0u);
    EXPECT_TRUE(IsReaped(id));
}

TEST_F(ScriptBridgeTest, AChildWritingWithoutPauseCannotHoldTheStart)
{
    Knob(StandIn::kFlood, "before-ready");
    ScriptBridgeTimeouts timeouts = Short();
    timeouts.ready = 300ms;
    ScriptBridge bridge(timeouts);
    CapturedConsole console;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(bridge.Start(config));
    const double elapsed = MillisecondsSince(start);
    console.Stop();
    // The ready wait, the shutdown grace, and slack for a slow machine.
    EXPECT_LT(elapsed, 300.0 + 300.0 + 2000.0);
    EXPECT_EQ(console.err, "[Error] Script host did not become ready.\n");
    EXPECT_TRUE(IsReaped(RecordedPid()));
}

TEST_F(ScriptBridgeTest, AnOverlongLineIsDroppedWithOneWarning)
{
    Knob(StandIn::kLongLine, "3000000");
    ScriptBridge bridge(Short());
    CapturedConsole console;
    ASSERT_TRUE(bridge.Start(config));
    EXPECT_LE(bridge.GetLineAssembler().PendingSize(), LineAssembler::kMaxLineLength + 1);
    bridge.Shutdown();
    console.Stop();
    EXPECT_EQ(
        console.out,
        "[Warn] Script host line longer than 1048576 bytes was dropped.\n[Info] C# script host started.\n");
}

TEST_F(ScriptBridgeTest, WritesNeverBlockOnAChildThatDoesNotRead)
{
    Knob(StandIn::kNoRead, "1");
    ScriptBridgeTimeouts timeouts = Short();
    timeouts.frame = 50ms;
    ScriptBridge bridge(timeouts);
    CapturedConsole console;
    ASSERT_TRUE(bridge.Start(config));
    const std::string line(1000, 'L');
    for (int i = 0; i < 3000; ++i) // 3 MB, far more than a pipe holds
    {
        bridge.SendLine(line);
    }
    EXPECT_LE(bridge.PendingInputSize(), ScriptBridge::kMaxPendingInput);
    EXPECT_GT(bridge.PendingInputSize(), 0u);
    bridge.ExchangeFrame(0.016f);
    bridge.ExchangeFrame(0.016f);
    const long id = bridge.ChildId();
    bridge.Shutdown();
    console.Stop();
    EXPECT_EQ(
        Occurrences(console.err, "[Error] Script host is not reading its input; lines are being dropped.\n"),
        1u);
    EXPECT_EQ(console.err, "[Error] Script host is not reading its input; lines are being dropped.\n");
    EXPECT_TRUE(IsReaped(id));
}

TEST_F(ScriptBridgeTest, AChildThatClosedItsInputNeverEndsTheEngine)
{
    Knob(StandIn::kCloseInput, "1");
    ScriptBridgeTimeouts timeouts = Short();
    timeouts.frame = 50ms;
    ScriptBridge bridge(timeouts);
    CapturedConsole console;
    ASSERT_TRUE(bridge.Start(config));
    std::this_thread::sleep_for(200ms); // let it close its input
    for (int frame = 0; frame < 5; ++frame)
    {
        bridge.ExchangeFrame(0.016f); // each write meets a closed pipe
    }
    const long id = bridge.ChildId();
    bridge.Shutdown();
    console.Stop();
    EXPECT_EQ(console.err, "[Error] Script host is not reading its input; lines are being dropped.\n");
    EXPECT_TRUE(IsReaped(id));
}

} // namespace
} // namespace Marrowvane
