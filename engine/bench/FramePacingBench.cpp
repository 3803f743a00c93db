// Frame pacing of the real engine executable: headless, with a script host
// that answers every frame at once, so the frame limiter alone sets the pace.
// Reports the mean frame time against the target, the 99th percentile, and
// the CPU time the engine spends per frame (the limiter's last 2 ms are a
// yield loop, which keeps a core busy).
#include "app/EngineProcess.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <fstream>
#include <numeric>
#include <vector>

namespace
{

using namespace Marrowvane;

void FramePacing(benchmark::State& state)
{
    const int targetFps = static_cast<int>(state.range(0));
    const int frames = targetFps * 4; // four seconds
    const auto folder = Testing::MakeTempFolder("pacing");
    const auto project = folder / "samples" / "Pacing";
    Testing::WriteFile(project / "project.json",
                       "{\"name\": \"Pacing\", \"mainClass\": \"Pacing.Main\", \"targetFps\": " +
                           std::to_string(targetFps) + "}");
    Testing::WriteFile(folder / "engine/csharp/ScriptHost/bin/Debug/net8.0/Marrowvane.ScriptHost.dll", "");
    std::filesystem::create_directories(folder / "dotnet");
    std::filesystem::copy_file(MARROWVANE_PACING_HOST, folder / "dotnet" / "dotnet");
    const auto timesPath = folder / "times.txt";

    Testing::EngineLaunch launch;
    launch.workingDirectory = folder;
    launch.arguments = {"--headless", "--frames=" + std::to_string(frames), project.string()};
    launch.environment["DOTNET_ROOT"] = (folder / "dotnet").string();
    launch.environment["SDL_VIDEODRIVER"] = "offscreen";
    launch.environment["MARROWVANE_PACING_TIMES"] = timesPath.string();

    for (auto _ : state)
    {
        const Testing::EngineRun run = Testing::RunEngine(launch);
        if (run.exitCode != 0)
        {
            state.SkipWithError(("the engine failed: " + run.err).c_str());
            break;
        }
        std::vector<double> intervals;
        std::ifstream file(timesPath);
        long long previous = -1;
        for (long long time; file >> time;)
        {
            if (previous >= 0)
            {
                intervals.push_back(static_cast<double>(time - previous) / 1e6);
            }
            previous = time;
        }
        if (intervals.size() < 10)
        {
            state.SkipWithError("too few frames were recorded");
            break;
        }
        // The first frames include start-up; leave them out.
        intervals.erase(intervals.begin(), intervals.begin() + 5);
        const double target = 1000.0 / targetFps;
        const double mean = std::accumulate(intervals.begin(), intervals.end(), 0.0) / intervals.size();
        std::sort(intervals.begin(), intervals.end());
        const double p99 = intervals[std::min(intervals.size() - 1, intervals.size() * 99 / 100)];
        state.counters["target_ms"] = target;
        state.counters["mean_ms"] = mean;
        state.counters["mean_off_%"] = (mean - target) / target * 100.0;
        state.counters["p99_ms"] = p99;
        state.counters["p99_over_ms"] = p99 - target;
        state.counters["cpu_ms_per_frame"] = run.cpuSeconds * 1000.0 / frames;
        state.counters["cpu_%_of_frame"] = run.cpuSeconds * 1000.0 / frames / target * 100.0;
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(FramePacing)->Arg(60)->Arg(240)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
