#pragma once

// Small fixtures shared by the script tests: environment variables set for
// one test, temporary folders, file reading, and a fixture that starts the
// stand-in script host through DOTNET_ROOT.

#include "app/ProjectConfig.h"
#include "support/StandInScriptHost.h"
#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <stdlib.h>
#include <unistd.h>

namespace Marrowvane::Testing
{

// Sets or unsets variables for the life of the object, then puts back what
// was there.
class ScopedEnvironment
{
public:
    ScopedEnvironment() = default;
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
    ~ScopedEnvironment()
    {
        for (const auto& [name, value] : saved)
        {
            if (value)
            {
                ::setenv(name.c_str(), value->c_str(), 1);
            }
            else
            {
                ::unsetenv(name.c_str());
            }
        }
    }

    void Set(const std::string& name, const std::string& value)
    {
        Save(name);
        ::setenv(name.c_str(), value.c_str(), 1);
    }

    void Unset(const std::string& name)
    {
        Save(name);
        ::unsetenv(name.c_str());
    }

private:
    void Save(const std::string& name)
    {
        if (saved.count(name) == 0)
        {
            const char* value = std::getenv(name.c_str());
            saved[name] = value ? std::optional<std::string>(value) : std::nullopt;
        }
    }

    std::map<std::string, std::optional<std::string>> saved;
};

inline std::string ReadWholeFile(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

inline void WriteWholeFile(const std::filesystem::path& path, const std::string& content)
{
    std::ofstream file(path, std::ios::binary);
    file << content;
}

inline std::vector<std::string> SplitText(const std::string& text, char separator)
{
    std::vector<std::string> pieces;
    std::string piece;
    std::istringstream stream(text);
    while (std::getline(stream, piece, separator))
    {
        pieces.push_back(piece);
    }
    return pieces;
}

inline double MillisecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// Starts nothing itself: points DOTNET_ROOT at the stand-in, clears every
// knob, makes a project folder and a record folder, and fills a config the
// way the application does.
class StandInTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        environment.Set("DOTNET_ROOT", MARROWVANE_FAKE_DOTNET_DIR);
        for (const char* knob : StandIn::kAllKnobs)
        {
            environment.Unset(knob);
        }
        environment.Set(StandIn::kRecordDir, RecordDir().string());
        project = temporary.Path() / "Game Project";
        std::filesystem::create_directories(project);
        config.projectDirectory = project;
        config.gameAssemblyPath = project / "bin" / "Game.dll";
        config.scriptHostPath = temporary.Path() / "host" / "Marrowvane.ScriptHost.dll";
        config.mainClass = "Game.Main";
        config.startScene = "Main";
        config.fixedDeltaTime = 1.0f / 60.0f;
        config.x = 0.0f;
        config.y = 0.0f;
    }

    void Knob(const char* name, const std::string& value) { environment.Set(name, value); }

    std::filesystem::path RecordDir() const { return temporary.Path() / "record"; }
    std::string Recorded(const char* file) const { return ReadWholeFile(RecordDir() / file); }
    std::vector<std::string> ReceivedLines() const
    {
        return SplitText(Recorded(StandIn::kReceivedFile), '\n');
    }
    std::vector<std::string> RecordedArguments() const
    {
        return SplitText(Recorded(StandIn::kArgvFile), '\0');
    }
    long RecordedPid() const { return std::strtol(Recorded(StandIn::kPidFile).c_str(), nullptr, 10); }

    ScopedEnvironment environment;
    TemporaryDirectory temporary;
    std::filesystem::path project;
    ScriptHostConfig config;
};

} // namespace Marrowvane::Testing
