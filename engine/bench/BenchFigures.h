#pragma once

// Figures the side-by-side benchmarks print as ratios once every contender
// has run: processor seconds per iteration of each named figure, from the
// last (longest) run of it. Processor time, not wall time: every contender
// runs on one thread, and the ratios stay comparable on a busy machine.
#include <benchmark/benchmark.h>

#include <ctime>
#include <map>
#include <string>

namespace Marrowvane::Bench
{

inline std::map<std::string, double>& Figures()
{
    static std::map<std::string, double> figures;
    return figures;
}

template <typename Body>
void Measure(benchmark::State& state, const std::string& name, Body body)
{
    const std::clock_t start = std::clock();
    for (auto _ : state)
    {
        body();
        benchmark::ClobberMemory();
    }
    const double elapsed = static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
    if (state.iterations() > 0)
    {
        Figures()[name] = elapsed / static_cast<double>(state.iterations());
    }
}

} // namespace Marrowvane::Bench
