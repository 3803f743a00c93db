#pragma once

// Runs the real engine executable as a child process for the end-to-end
// tests: arguments, environment changes and working directory in; exit code
// and everything it printed out.
#include <chrono>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace Marrowvane::Testing
{

struct EngineRun
{
    int exitCode = -1; // -1 when it did not exit by itself
    int signal = 0;    // the signal that ended it, if any
    bool timedOut = false;
    std::string out;         // standard output
    std::string err;         // standard error
    double cpuSeconds = 0.0; // user + system time the engine spent
};

struct EngineLaunch
{
    std::vector<std::string> arguments;
    std::filesystem::path workingDirectory;
    // Variables to set (a value) or remove (no value) for the engine.
    std::map<std::string, std::optional<std::string>> environment;
    std::chrono::milliseconds timeout{60000};
    // When set, SIGTERM is sent this long after the start.
    std::optional<std::chrono::milliseconds> terminateAfter;
};

std::filesystem::path EngineExecutable();
EngineRun RunEngine(const EngineLaunch& launch);

// A fresh, empty folder under the system's temporary folder.
std::filesystem::path MakeTempFolder(const std::string& name);
void WriteFile(const std::filesystem::path& path, const std::string& content);
std::string ReadFile(const std::filesystem::path& path);

} // namespace Marrowvane::Testing
