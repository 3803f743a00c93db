// Script bridge benchmarks.
//
// HandleLine throughput: RECT and SPRITE lines (one texture path) handled
// per second on one core, items_per_second.
//
// Frame round trip over real pipes with the stand-in script host: a FRAME
// line out, 100 RECT lines and END_FRAME back (about 4 KB in one write),
// handled by the bridge. Beside it, the floor: the same stand-in answering
// the same FRAME line with the same bytes, read by raw poll and read calls.
// BM_FrameRoundTripSideBySide alternates the two in one run and reports
// their medians and the ratio bridge / raw, with all processes on one core
// (/0) and with the script hosts on the other core (/1).
#include "platform/InputState.h"
#include "script/ScriptBridge.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sched.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace
{

using namespace Marrowvane;
namespace fs = std::filesystem;

constexpr std::size_t kLinesPerFrame = 1024;

void HandleLines(benchmark::State& state, const std::vector<std::string>& lines)
{
    const fs::path project = fs::temp_directory_path();
    ScriptBridge bridge;
    bridge.SetProjectDirectory(project);
    std::size_t handled = 0;
    for (auto _ : state)
    {
        for (const std::string& line : lines)
        {
            bridge.HandleLine(line);
        }
        handled += lines.size();
        bridge.ClearFrame();
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(handled));
}

std::vector<std::string> RectLines()
{
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < kLinesPerFrame; ++i)
    {
        lines.push_back("RECT|" + std::to_string(i % 1280) + ".5|" + std::to_string(i % 720) + ".25|32|32|" +
                        std::to_string(i % 256) + "|128|64");
    }
    return lines;
}

std::vector<std::string> SpriteLines()
{
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < kLinesPerFrame; ++i)
    {
        lines.push_back("SPRITE|" + std::to_string(i % 1280) + ".5|" + std::to_string(i % 720) +
                        ".25|32|32|255|255|255|assets/sprites/player.png|" +
                        (i % 2 ? "True|false" : "false|true"));
    }
    return lines;
}

void BM_HandleLineRect(benchmark::State& state)
{
    HandleLines(state, RectLines());
}
BENCHMARK(BM_HandleLineRect);

void BM_HandleLineSprite(benchmark::State& state)
{
    HandleLines(state, SpriteLines());
}
BENCHMARK(BM_HandleLineSprite);

// The answer of one frame in the round trips below: 100 RECT lines.
std::string FrameAnswer()
{
    std::string answer;
    for (int i = 0; i < 100; ++i)
    {
        answer += "RECT|" + std::to_string(100 + i * 7) + ".5|" + std::to_string(200 + i * 3) +
                  ".25|32.75|48.5|" + std::to_string(i) + "|128|64\n";
    }
    return answer;
}

// That answer as it arrives from the pipe, framed and handled: the bridge's
// own share of a round trip.
void BM_HandleFrameAnswer(benchmark::State& state)
{
    const std::string bytes = FrameAnswer() + "END_FRAME\n";
    ScriptBridge bridge;
    bridge.SetProjectDirectory(fs::temp_directory_path());
    for (auto _ : state)
    {
        bridge.ClearFrame();
        bridge.ReceiveOutput(bytes);
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * 101);
}
BENCHMARK(BM_HandleFrameAnswer)->Unit(benchmark::kMicrosecond);

#ifdef MARROWVANE_FAKE_DOTNET_DIR

// A project folder and the answer file of 100 RECT lines, and the
// environment that makes the stand-in answer with it.
struct RoundTripSetup
{
    RoundTripSetup()
    {
        std::string pattern = (fs::temp_directory_path() / "marrowvane-bench-XXXXXX").string();
        directory = mkdtemp(pattern.data()) ? fs::path(pattern) : fs::temp_directory_path();
        const std::string answer = FrameAnswer();
        answerBytes = answer.size() + std::string("END_FRAME\n").size();
        std::ofstream(directory / "answer.txt", std::ios::binary) << answer;
        setenv("DOTNET_ROOT", MARROWVANE_FAKE_DOTNET_DIR, 1);
        setenv("MARROWVANE_STAND_IN_ANSWER_FILE", (directory / "answer.txt").c_str(), 1);
        unsetenv("MARROWVANE_STAND_IN_RECORD_DIR");
        config.projectDirectory = directory;
        config.scriptHostPath = directory / "Marrowvane.ScriptHost.dll";
        config.gameAssemblyPath = directory / "Game.dll";
        config.mainClass = "Bench.Main";
        config.startScene = "Main";
    }
    ~RoundTripSetup()
    {
        std::error_code error;
        fs::remove_all(directory, error);
    }

    fs::path directory;
    std::size_t answerBytes = 0;
    ScriptHostConfig config;
};

// The same FRAME line the bridge sends, with nothing held.
const char* const kFrameLine = "FRAME|0.0166667|37,65|640,360|0\n";

// The stand-in on plain pipes, driven by hand: the floor of a round trip.
class RawPingPong
{
public:
    explicit RawPingPong(std::size_t answerBytes) : answerBytes(answerBytes)
    {
        int input[2];
        int output[2];
        if (pipe2(input, O_CLOEXEC) != 0 || pipe2(output, O_CLOEXEC) != 0)
        {
            return;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, input[0], 0);
        posix_spawn_file_actions_adddup2(&actions, output[1], 1);
        const std::string host = std::string(MARROWVANE_FAKE_DOTNET_DIR) + "/dotnet";
        char* argv[] = {const_cast<char*>(host.c_str()), nullptr};
        if (posix_spawn(&child, host.c_str(), &actions, nullptr, argv, environ) != 0)
        {
            child = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
        close(input[0]);
        close(output[1]);
        toChild = input[1];
        fromChild = output[0];
        buffer.resize(65536);
        ReadUntil(std::string("READY\n").size());
    }
    ~RawPingPong()
    {
        close(toChild);
        close(fromChild);
        if (child > 0)
        {
            int status = 0;
            waitpid(child, &status, 0);
        }
    }

    bool Ok() const { return child > 0; }
    pid_t Id() const { return child; }

    // One FRAME line out in one write, the whole answer back.
    bool RoundTrip()
    {
        const std::size_t length = std::char_traits<char>::length(kFrameLine);
        if (write(toChild, kFrameLine, length) != static_cast<ssize_t>(length))
        {
            return false;
        }
        return ReadUntil(answerBytes);
    }

private:
    bool ReadUntil(std::size_t bytes)
    {
        std::size_t got = 0;
        while (got < bytes)
        {
            pollfd wait{fromChild, POLLIN, 0};
            poll(&wait, 1, -1);
            const ssize_t count = read(fromChild, buffer.data(), buffer.size());
            if (count <= 0)
            {
                return false;
            }
            got += static_cast<std::size_t>(count);
        }
        return true;
    }

    pid_t child = -1;
    int toChild = -1;
    int fromChild = -1;
    std::size_t answerBytes;
    std::vector<char> buffer;
};

void PrepareInput()
{
    ResetInputStateForTests();
    SetKeyState(37, true);
    SetKeyState(65, true);
    SetMouseButtonState(0, true);
    SetMousePosition(640, 360);
}

// Where the processes run. On two cores an unpinned run measures mostly
// where the scheduler happened to put the three processes, so the
// side-by-side runs pin them: all on CPU 0 (each answer is a switch on one
// core), or the engine on CPU 0 and the script hosts on CPU 1 (each answer
// is a wake-up across cores).
class Placement
{
public:
    Placement() { sched_getaffinity(0, sizeof original, &original); }
    ~Placement() { sched_setaffinity(0, sizeof original, &original); }

    static void Pin(pid_t process, int cpu)
    {
        cpu_set_t set;
        CPU_ZERO(&set);
        CPU_SET(cpu, &set);
        sched_setaffinity(process, sizeof set, &set);
    }

private:
    cpu_set_t original;
};

double Median(std::vector<double>& values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

// Both kinds of round trip alternating in blocks, so that both see the same
// machine at the same time; medians of each, and their ratio.
void BM_FrameRoundTripSideBySide(benchmark::State& state)
{
    using Clock = std::chrono::steady_clock;
    RoundTripSetup setup;
    PrepareInput();
    ScriptBridge bridge;
    RawPingPong raw(setup.answerBytes);
    if (!bridge.Start(setup.config) || !raw.Ok())
    {
        state.SkipWithError("the stand-in script host did not start");
        return;
    }
    const bool acrossCores = state.range(0) == 1;
    Placement placement;
    Placement::Pin(0, 0);
    Placement::Pin(static_cast<pid_t>(bridge.ChildId()), acrossCores ? 1 : 0);
    Placement::Pin(raw.Id(), acrossCores ? 1 : 0);
    state.SetLabel(acrossCores ? "across cores" : "one core");
    std::vector<double> bridgeMicroseconds;
    std::vector<double> rawMicroseconds;
    constexpr int kBlock = 50;
    for (auto _ : state)
    {
        for (int i = 0; i < kBlock; ++i)
        {
            const Clock::time_point start = Clock::now();
            bridge.ExchangeFrame(1.0f / 60.0f);
            bridgeMicroseconds.push_back(
                std::chrono::duration<double, std::micro>(Clock::now() - start).count());
        }
        for (int i = 0; i < kBlock; ++i)
        {
            const Clock::time_point start = Clock::now();
            raw.RoundTrip();
            rawMicroseconds.push_back(
                std::chrono::duration<double, std::micro>(Clock::now() - start).count());
        }
    }
    bridge.Shutdown();
    ResetInputStateForTests();
    const double bridgeMedian = Median(bridgeMicroseconds);
    const double rawMedian = Median(rawMicroseconds);
    state.counters["bridge_us"] = bridgeMedian;
    state.counters["raw_us"] = rawMedian;
    state.counters["ratio"] = rawMedian > 0.0 ? bridgeMedian / rawMedian : 0.0;
}
BENCHMARK(BM_FrameRoundTripSideBySide)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(100);

#endif

} // namespace
