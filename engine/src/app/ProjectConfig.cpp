#include "app/ProjectConfig.h"

#include "core/FileSystem.h"
#include "core/Log.h"

#include <exception>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <vector>

namespace Marrowvane
{

namespace
{

// "project.json" is not parsed as JSON. Each key is looked up on its own: the
// first place in the text where the key, in double quotes, is followed by
// optional white space, a colon, optional white space and a value of the
// expected form wins. The four value forms are
//   string   "<any characters but a double quote>"   (no escapes)
//   integer  [0-9]+
//   float    -?[0-9]+(\.[0-9]+)?                    (no exponent)
//   bool     true | false
// The matchers below are plain loops: no recursion, and one pass over the text
// per key however long the values or however often the key occurs.

// White space between key, colon and value: the six ASCII space characters.
constexpr bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

constexpr bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// A value matcher looks at text from position start (just after the colon and
// the blanks that follow it) and returns the value's text, or nothing.
using ValueMatcher = std::optional<std::string_view> (*)(std::string_view text, std::size_t start);

std::optional<std::string_view> MatchString(std::string_view text, std::size_t start)
{
    if (start >= text.size() || text[start] != '"')
    {
        return std::nullopt;
    }
    const std::size_t end = text.find('"', start + 1);
    if (end == std::string_view::npos)
    {
        return std::nullopt;
    }
    return text.substr(start + 1, end - start - 1);
}

std::size_t SkipDigits(std::string_view text, std::size_t position)
{
    while (position < text.size() && IsDigit(text[position]))
    {
        ++position;
    }
    return position;
}

std::optional<std::string_view> MatchInteger(std::string_view text, std::size_t start)
{
    const std::size_t end = SkipDigits(text, start);
    if (end == start)
    {
        return std::nullopt;
    }
    return text.substr(start, end - start);
}

std::optional<std::string_view> MatchFloat(std::string_view text, std::size_t start)
{
    std::size_t position = start;
    if (position < text.size() && text[position] == '-')
    {
        ++position;
    }
    const std::size_t integerEnd = SkipDigits(text, position);
    if (integerEnd == position)
    {
        return std::nullopt;
    }
    std::size_t end = integerEnd;
    // A fraction counts only with at least one digit after the point: "60." is 60.
    if (end < text.size() && text[end] == '.')
    {
        const std::size_t fractionEnd = SkipDigits(text, end + 1);
        if (fractionEnd > end + 1)
        {
            end = fractionEnd;
        }
    }
    return text.substr(start, end - start);
}

std::optional<std::string_view> MatchBool(std::string_view text, std::size_t start)
{
    const std::string_view rest = text.substr(start);
    for (const std::string_view word : {std::string_view("true"), std::string_view("false")})
    {
        if (rest.starts_with(word))
        {
            return rest.substr(0, word.size());
        }
    }
    return std::nullopt;
}

// The value after the first occurrence of "key" that is followed by blanks, a
// colon, blanks and a value that matchValue accepts. Occurrences are found
// with Knuth-Morris-Pratt, so overlapping ones count and a long key costs no
// more than a short one.
std::optional<std::string_view> FindValue(std::string_view text, std::string_view key,
                                          ValueMatcher matchValue)
{
    std::string needle;
    needle.reserve(key.size() + 2);
    needle += '"';
    needle += key;
    needle += '"';

    // fallback[i]: length of the longest proper prefix of needle[0..i] that is
    // also its suffix.
    std::vector<std::size_t> fallback(needle.size(), 0);
    for (std::size_t i = 1, length = 0; i < needle.size(); ++i)
    {
        while (length > 0 && needle[i] != needle[length])
        {
            length = fallback[length - 1];
        }
        if (needle[i] == needle[length])
        {
            ++length;
        }
        fallback[i] = length;
    }

    std::size_t matched = 0;
    for (std::size_t i = 0; i < text.size(); ++i)
    {
        if (matched == 0)
        {
            // Every occurrence starts with a double quote: skip to the next one.
            i = text.find('"', i);
            if (i == std::string_view::npos)
            {
                break;
            }
        }
        while (matched > 0 && text[i] != needle[matched])
        {
            matched = fallback[matched - 1];
        }
        if (text[i] == needle[matched])
        {
            ++matched;
        }
        if (matched < needle.size())
        {
            continue;
        }
        matched = fallback[matched - 1];

        // The needle ends in a double quote, which is neither blank nor a
        // colon, so the scans below never cover the same text twice.
        std::size_t position = i + 1;
        while (position < text.size() && IsBlank(text[position]))
        {
            ++position;
        }
        if (position >= text.size() || text[position] != ':')
        {
            continue;
        }
        ++position;
        while (position < text.size() && IsBlank(text[position]))
        {
            ++position;
        }
        if (const std::optional<std::string_view> value = matchValue(text, position))
        {
            return value;
        }
    }
    return std::nullopt;
}

// Decimal digits as an unsigned 32-bit number; above 4294967295 it fails the
// way the standard conversion does, with std::out_of_range("stoul").
std::uint32_t ToUnsigned32(std::string_view digits)
{
    std::uint64_t value = 0;
    for (const char digit : digits)
    {
        value = value * 10 + static_cast<std::uint64_t>(digit - '0');
        if (value > 0xFFFFFFFFu)
        {
            throw std::out_of_range("stoul");
        }
    }
    return static_cast<std::uint32_t>(value);
}

// One hexadecimal digit's value, or -1.
int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
    {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f')
    {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F')
    {
        return c - 'A' + 10;
    }
    return -1;
}

// A pair of characters read as far as its leading hexadecimal digits go
// ("1g" is 1); nothing when the first character is not one.
std::optional<std::uint8_t> ParseHexPair(char high, char low)
{
    const int first = HexDigitValue(high);
    if (first < 0)
    {
        return std::nullopt;
    }
    const int second = HexDigitValue(low);
    return static_cast<std::uint8_t>(second < 0 ? first : first * 16 + second);
}

} // namespace

std::string ExtractString(const std::string& json, const std::string& key, const std::string& fallback)
{
    const std::optional<std::string_view> value = FindValue(json, key, MatchString);
    return value ? std::string(*value) : fallback;
}

std::int32_t ExtractInt(const std::string& json, const std::string& key, std::int32_t fallback)
{
    const std::optional<std::string_view> value = FindValue(json, key, MatchInteger);
    // Two's complement: 4294967295 reads as -1.
    return value ? static_cast<std::int32_t>(ToUnsigned32(*value)) : fallback;
}

float ExtractFloat(const std::string& json, const std::string& key, float fallback)
{
    const std::optional<std::string_view> value = FindValue(json, key, MatchFloat);
    // std::stof throws std::out_of_range("stof") when the value does not fit
    // single precision, too large or too small.
    return value ? std::stof(std::string(*value)) : fallback;
}

bool ExtractBool(const std::string& json, const std::string& key, bool fallback)
{
    const std::optional<std::string_view> value = FindValue(json, key, MatchBool);
    return value ? *value == "true" : fallback;
}

Color3 ParseHexColor(const std::string& text, Color3 fallback)
{
    if (text.size() != 7 || text[0] != '#')
    {
        return fallback;
    }
    const std::optional<std::uint8_t> r = ParseHexPair(text[1], text[2]);
    const std::optional<std::uint8_t> g = ParseHexPair(text[3], text[4]);
    const std::optional<std::uint8_t> b = ParseHexPair(text[5], text[6]);
    if (!r || !g || !b)
    {
        return fallback;
    }
    return Color3{*r, *g, *b};
}

bool LoadProjectConfig(const std::filesystem::path& projectPath, ProjectConfig& config)
{
    try
    {
        // An empty path ("--project project.json") names the current directory.
        const std::filesystem::path root = std::filesystem::weakly_canonical(
            projectPath.empty() ? std::filesystem::current_path() : projectPath);
        const std::filesystem::path projectFile = root / "project.json";
        const std::string json = ReadTextFile(projectFile);

        config.name = ExtractString(json, "name", root.filename().string());
        config.root = root;
        config.mainClass = ExtractString(json, "mainClass", "");
        config.startScene = ExtractString(json, "startScene", "");
        config.mainAssembly = ResolvePath(root, ExtractString(json, "mainAssembly", ""));
        config.window.width = ExtractInt(json, "width", config.window.width);
        config.window.height = ExtractInt(json, "height", config.window.height);
        config.window.title = ExtractString(json, "title", config.window.title);
        // A missing key gives the engine's default; a malformed colour keeps
        // whatever the record held.
        config.backgroundColor =
            ParseHexColor(ExtractString(json, "backgroundColor", "#12141a"), config.backgroundColor);
        config.pixelPerfect = ExtractBool(json, "pixelPerfect", config.pixelPerfect);
        config.targetFps = ExtractInt(json, "targetFps", config.targetFps);
        config.enableFrameLimiter = ExtractBool(json, "enableFrameLimiter", config.enableFrameLimiter);
        config.maxDeltaTime = ExtractFloat(json, "maxDeltaTime", config.maxDeltaTime);
        // "fixedDeltaTime" counts only when "fixedPhysicsFps" is present and 0
        // (or wraps to a negative number).
        const std::int32_t fixedPhysicsFps = ExtractInt(json, "fixedPhysicsFps", 60);
        if (fixedPhysicsFps > 0)
        {
            config.fixedDeltaTime = 1.0f / static_cast<float>(fixedPhysicsFps);
        }
        else
        {
            config.fixedDeltaTime = ExtractFloat(json, "fixedDeltaTime", config.fixedDeltaTime);
        }
        config.x = ExtractFloat(json, "x", 0.0f);
        config.y = ExtractFloat(json, "y", 0.0f);

        if (config.mainClass.empty())
        {
            LogError("project.json must define mainClass.");
            return false;
        }
        // The frame loop clamps each time step to [0, maxDeltaTime].
        if (config.maxDeltaTime < 0.0f)
        {
            LogError("project.json: maxDeltaTime must not be negative.");
            return false;
        }
        return true;
    }
    catch (const std::exception& error)
    {
        LogError(error.what());
        return false;
    }
}

} // namespace Marrowvane
