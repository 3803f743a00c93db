// Script host round trip: the real .NET script host running BenchGame (1,000
// sprites a frame), driven through real pipes as the engine drives it. Measures
// the time from writing a FRAME line to reading its END_FRAME, and reports the
// median and the 99th percentile beside Google Benchmark's mean.
//
// Binds to POSIX directly (fork, execvp, pipe, poll) to stay independent of the
// engine's own child-process code. Needs `dotnet` on PATH and the C# build
// (scripts/build-csharp.sh); without them the benchmark is skipped with a message.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{

constexpr int ReadyTimeoutMs = 10000;
constexpr int FrameTimeoutMs = 2000;
constexpr int WarmUpFrames = 600; // lets the JIT settle on optimised code
constexpr int MeasuredFrames = 3000;
constexpr int ExpectedSprites = 1000;

using Clock = std::chrono::steady_clock;

bool FindOnPath(const std::string& name)
{
    const char* path = std::getenv("PATH");
    if (path == nullptr)
    {
        return false;
    }
    std::string_view rest = path;
    while (!rest.empty())
    {
        const std::size_t colon = rest.find(':');
        const std::string_view folder = rest.substr(0, colon);
        if (!folder.empty() && access((std::string(folder) + "/" + name).c_str(), X_OK) == 0)
        {
            return true;
        }
        rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
    }
    return false;
}

// One script host child with its stdin and stdout as pipes.
class HostProcess
{
public:
    ~HostProcess() { Stop(); }

    bool Start(const std::vector<std::string>& arguments, const std::string& workingDirectory)
    {
        int toChild[2];
        int fromChild[2];
        if (pipe(toChild) != 0 || pipe(fromChild) != 0)
        {
            return false;
        }
        pid = fork();
        if (pid == 0)
        {
            dup2(toChild[0], STDIN_FILENO);
            dup2(fromChild[1], STDOUT_FILENO);
            dup2(fromChild[1], STDERR_FILENO);
            close(toChild[0]);
            close(toChild[1]);
            close(fromChild[0]);
            close(fromChild[1]);
            if (chdir(workingDirectory.c_str()) != 0)
            {
                _exit(127);
            }
            std::vector<char*> argv;
            for (const std::string& argument : arguments)
            {
                argv.push_back(const_cast<char*>(argument.c_str()));
            }
            argv.push_back(nullptr);
            execvp(argv[0], argv.data());
            _exit(127);
        }
        close(toChild[0]);
        close(fromChild[1]);
        input = toChild[1];
        output = fromChild[0];
        return pid > 0;
    }

    bool SendLine(const std::string& line)
    {
        const std::string payload = line + "\n";
        std::size_t sent = 0;
        while (sent < payload.size())
        {
            const ssize_t written = write(input, payload.data() + sent, payload.size() - sent);
            if (written <= 0)
            {
                return false;
            }
            sent += static_cast<std::size_t>(written);
        }
        return true;
    }

    // Reads until a line equal to word; counts the lines that start with prefix.
    bool WaitFor(std::string_view word, int timeoutMs, std::string_view prefix, int& prefixed)
    {
        const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
        while (true)
        {
            std::size_t newline;
            while ((newline = pending.find('\n', scanned)) != std::string::npos)
            {
                const std::string_view line(pending.data() + scanned, newline - scanned);
                scanned = newline + 1;
                if (line == word)
                {
                    pending.erase(0, scanned);
                    scanned = 0;
                    return true;
                }
                if (!prefix.empty() && line.substr(0, prefix.size()) == prefix)
                {
                    ++prefixed;
                }
                else if (line.substr(0, 6) == "ERROR|")
                {
                    lastError = line;
                }
            }
            pending.erase(0, scanned);
            scanned = 0;
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
            if (left <= 0)
            {
                return false;
            }
            pollfd ready{output, POLLIN, 0};
            if (poll(&ready, 1, static_cast<int>(left)) <= 0)
            {
                continue;
            }
            char chunk[65536];
            const ssize_t got = read(output, chunk, sizeof chunk);
            if (got <= 0)
            {
                return false;
            }
            pending.append(chunk, static_cast<std::size_t>(got));
        }
    }

    const std::string& LastError() const { return lastError; }

    void Stop()
    {
        if (pid <= 0)
        {
            return;
        }
        SendLine("SHUTDOWN");
        close(input);
        const auto deadline = Clock::now() + std::chrono::milliseconds(1000);
        int status = 0;
        while (waitpid(pid, &status, WNOHANG) == 0)
        {
            if (Clock::now() > deadline)
            {
                kill(pid, SIGKILL);
                waitpid(pid, &status, 0);
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        close(output);
        pid = -1;
    }

private:
    pid_t pid = -1;
    int input = -1;
    int output = -1;
    std::string pending;
    std::size_t scanned = 0;
    std::string lastError;
};

void ScriptHostFrameWith1000Sprites(benchmark::State& state)
{
    const std::filesystem::path source = MARROWVANE_SOURCE_DIR;
    const std::filesystem::path hostDll =
        source / "engine/csharp/ScriptHost/bin/Debug/net8.0/Marrowvane.ScriptHost.dll";
    const std::filesystem::path benchDir = source / "engine/csharp/BenchGame";
    const std::filesystem::path gameDll = benchDir / "bin/Debug/net8.0/BenchGame.dll";
    if (!FindOnPath("dotnet"))
    {
        state.SkipWithError("dotnet is not on PATH: script host benchmark skipped");
        return;
    }
    if (!std::filesystem::exists(hostDll) || !std::filesystem::exists(gameDll))
    {
        state.SkipWithError(
            "script host or BenchGame not built (run scripts/build-csharp.sh): benchmark skipped");
        return;
    }

    signal(SIGPIPE, SIG_IGN); // a host that dies must not take the benchmark with it
    HostProcess host;
    int ignored = 0;
    if (!host.Start({"dotnet", hostDll.string(), gameDll.string(), "BenchGame.SpriteField", benchDir.string(),
                     "", "0.016667", "0.000000", "0.000000"},
                    benchDir.string()) ||
        !host.WaitFor("READY", ReadyTimeoutMs, {}, ignored) || !host.SendLine("START") ||
        !host.WaitFor("STARTED", ReadyTimeoutMs, {}, ignored))
    {
        state.SkipWithError(("script host did not start: " + host.LastError()).c_str());
        return;
    }

    // A frame with two keys and a button held, like a player's.
    const std::string frameLine = "FRAME|0.0166667|37,65|640,360|0";
    for (int i = 0; i < WarmUpFrames; ++i)
    {
        int sprites = 0;
        if (!host.SendLine(frameLine) || !host.WaitFor("END_FRAME", FrameTimeoutMs, "SPRITE|", sprites))
        {
            state.SkipWithError("script host stopped answering during the warm-up");
            return;
        }
    }

    std::vector<double> samples;
    samples.reserve(MeasuredFrames);
    int sprites = 0;
    for (auto _ : state)
    {
        sprites = 0;
        const auto start = Clock::now();
        const bool answered =
            host.SendLine(frameLine) && host.WaitFor("END_FRAME", FrameTimeoutMs, "SPRITE|", sprites);
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        if (!answered || sprites != ExpectedSprites)
        {
            state.SkipWithError("script host gave no complete answer");
            break;
        }
        state.SetIterationTime(seconds);
        samples.push_back(seconds);
    }
    if (samples.empty())
    {
        return;
    }
    std::sort(samples.begin(), samples.end());
    state.counters["median_ms"] = samples[samples.size() / 2] * 1e3;
    state.counters["p99_ms"] = samples[samples.size() * 99 / 100] * 1e3;
    state.counters["sprites"] = sprites;
}

} // namespace

BENCHMARK(ScriptHostFrameWith1000Sprites)
    ->UseManualTime()
    ->Iterations(MeasuredFrames)
    ->Unit(benchmark::kMicrosecond);
