#pragma once

#include "core/Color3.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace Marrowvane
{

struct WindowSettings
{
    std::int32_t width = 1280;
    std::int32_t height = 720;
    std::string title = "Marrowvane";
};

// A loaded "project.json".
struct ProjectConfig
{
    std::string name;
    std::filesystem::path root;         // the project directory, weakly canonical
    std::filesystem::path mainAssembly; // resolved against root
    std::string mainClass;
    std::string startScene;
    WindowSettings window;
    Color3 backgroundColor{18, 20, 26}; // "#12141a"
    bool pixelPerfect = true;
    std::int32_t targetFps = 240;
    bool enableFrameLimiter = true;
    float maxDeltaTime = 0.05f;          // seconds
    float fixedDeltaTime = 1.0f / 60.0f; // seconds, handed to the script host
    float x = 0.0f;                      // handed to the script host unchanged
    float y = 0.0f;
};

// What the script runtime needs to start the script host.
struct ScriptHostConfig
{
    std::filesystem::path projectDirectory;
    std::filesystem::path gameAssemblyPath;
    std::filesystem::path scriptHostPath;
    std::string mainClass;
    std::string startScene;
    float fixedDeltaTime = 1.0f / 60.0f;
    float x = 0.0f;
    float y = 0.0f;
};

// Loads projectPath/project.json into config, starting from what config holds.
// On failure writes one error line and returns false.
bool LoadProjectConfig(const std::filesystem::path& projectPath, ProjectConfig& config);

// Each finds the first place in json where the quoted key (taken literally,
// case-sensitive) is followed by a colon and a value of its kind, and returns
// that value or the fallback. ExtractInt reads unsigned 32-bit digits as two's
// complement and throws std::out_of_range("stoul") above 4294967295;
// ExtractFloat throws std::out_of_range("stof") outside single precision.
std::string ExtractString(const std::string& json, const std::string& key, const std::string& fallback);
std::int32_t ExtractInt(const std::string& json, const std::string& key, std::int32_t fallback);
float ExtractFloat(const std::string& json, const std::string& key, float fallback);
bool ExtractBool(const std::string& json, const std::string& key, bool fallback);

// "#rrggbb" (either letter case) or the fallback. Each pair reads as far as
// its leading hexadecimal digits go ("1g" is 1); a pair that does not start
// with one gives the fallback.
Color3 ParseHexColor(const std::string& text, Color3 fallback);

} // namespace Marrowvane
