#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace Marrowvane
{

// Options beyond the project location, each a single "--name" or
// "--name=value" argument so that every other argument keeps its meaning.
struct RunOptions
{
    bool headless = false;                           // --headless: SDL's offscreen video driver
    std::optional<std::int64_t> frames;              // --frames=N: end after the N-th frame
    std::optional<std::filesystem::path> screenshot; // --screenshot=PATH: PNG of the last frame
    std::optional<float> fixedDeltaTime;             // --fixed-dt=SECONDS: every frame's time step
    bool help = false;                               // --help
};

struct RunOptionsResult
{
    RunOptions options;
    std::string error; // one line naming the bad argument; empty when all is well
};

// Reads the run options out of the whole argument vector (element 0 is the
// program). Arguments it does not know are left for the project reading.
RunOptionsResult ReadRunOptions(int argc, const char* const* argv);

// The text --help prints.
std::string Usage();

} // namespace Marrowvane
