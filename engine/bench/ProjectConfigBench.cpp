#include "app/ProjectConfig.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace
{

using namespace Marrowvane;

// A project directory under the temporary folder holding one project.json.
class BenchProject
{
public:
    BenchProject(const std::string& name, const std::string& json)
        : path(std::filesystem::temp_directory_path() / ("marrowvane-bench-" + name))
    {
        std::filesystem::create_directories(path);
        std::ofstream(path / "project.json", std::ios::binary) << json;
    }
    ~BenchProject()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    BenchProject(const BenchProject&) = delete;
    BenchProject& operator=(const BenchProject&) = delete;

    std::filesystem::path path;
};

void Load(benchmark::State& state, const std::string& name, const std::string& json)
{
    const BenchProject project(name, json);
    // The loader reports errors only; every file here loads.
    for (auto _ : state)
    {
        ProjectConfig config;
        const bool loaded = LoadProjectConfig(project.path, config);
        benchmark::DoNotOptimize(loaded);
        if (!loaded)
        {
            state.SkipWithError("project did not load");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(json.size()));
}

void BM_LoadProjectConfigSmall(benchmark::State& state)
{
    Load(state, "small", R"({
        "name": "BasicGame", "mainClass": "BasicGame.Game", "startScene": "Main",
        "mainAssembly": "bin/BasicGame.dll", "width": 1280, "height": 720, "title": "Basic Game",
        "backgroundColor": "#12141a", "pixelPerfect": true, "targetFps": 240,
        "enableFrameLimiter": true, "maxDeltaTime": 0.05, "fixedPhysicsFps": 60
    })");
}
BENCHMARK(BM_LoadProjectConfigSmall)->Unit(benchmark::kMicrosecond);

// 20 MB: a 10 MB title, then 10 MB of near misses for every key, then the values.
void BM_LoadProjectConfig20MB(benchmark::State& state)
{
    std::string json = "{\"title\": \"" + std::string(10 * 1024 * 1024, 'T') + "\",\n";
    const std::string nearMisses = R"("width": "w", "height": -1, "maxDeltaTime": .5, "pixelPerfect": yes, )"
                                   R"("targetFps": "x", "mainClass": 0, "name": 1, "x": "1", "y": -, )";
    while (json.size() < 20 * 1024 * 1024)
    {
        json += nearMisses;
    }
    json += R"("mainClass": "Game", "width": 800})";
    Load(state, "20mb", json);
}
BENCHMARK(BM_LoadProjectConfig20MB)->Unit(benchmark::kMillisecond);

// One key that occurs a million times, never with a value of its form.
void BM_ExtractIntManyOccurrences(benchmark::State& state)
{
    std::string json;
    for (int i = 0; i < 1000000; ++i)
    {
        json += "\"width\": \"no\", ";
    }
    for (auto _ : state)
    {
        benchmark::DoNotOptimize(ExtractInt(json, "width", 0));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(json.size()));
}
BENCHMARK(BM_ExtractIntManyOccurrences)->Unit(benchmark::kMillisecond);

} // namespace
