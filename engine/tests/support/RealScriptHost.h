#pragma once

// Where the real .NET script host and BasicGame are after
// scripts/build-csharp.sh, and whether dotnet is there to run them.
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <unistd.h>

namespace Marrowvane::Testing
{

inline bool DotnetOnPath()
{
    const char* path = std::getenv("PATH");
    std::string_view rest = path != nullptr ? path : "";
    while (!rest.empty())
    {
        const auto colon = rest.find(':');
        const std::filesystem::path folder(std::string(rest.substr(0, colon)));
        if (::access((folder / "dotnet").c_str(), X_OK) == 0)
        {
            return true;
        }
        rest = colon == std::string_view::npos ? std::string_view{} : rest.substr(colon + 1);
    }
    return false;
}

inline std::filesystem::path SourceDirectory()
{
    return MARROWVANE_SOURCE_DIR;
}

inline std::filesystem::path BuiltScriptHost()
{
    return SourceDirectory() / "engine/csharp/ScriptHost/bin/Debug/net8.0/Marrowvane.ScriptHost.dll";
}

inline std::filesystem::path BasicGameDirectory()
{
    return SourceDirectory() / "samples/BasicGame";
}

inline std::filesystem::path BuiltBasicGame()
{
    return BasicGameDirectory() / "bin/Debug/net8.0/BasicGame.dll";
}

} // namespace Marrowvane::Testing
