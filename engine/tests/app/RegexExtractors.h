#pragma once

// The "project.json" key patterns written as ECMAScript regular expressions,
// exactly as the format defines them. The engine's matchers are hand-written
// (std::regex recurses once per character and overflows the stack on long
// values); these are the reference they are checked against, on short texts
// only. Shared by the unit tests and the fuzz target.

#include "core/Color3.h"

#include <cstdint>
#include <map>
#include <optional>
#include <regex>
#include <stdexcept>
#include <string>

namespace Marrowvane::RegexExtractors
{

inline constexpr const char* StringSuffix = R"re("\s*:\s*"([^"]*)")re";
inline constexpr const char* IntSuffix = R"re("\s*:\s*([0-9]+))re";
inline constexpr const char* FloatSuffix = R"re("\s*:\s*(-?[0-9]+(?:\.[0-9]+)?))re";
inline constexpr const char* BoolSuffix = R"re("\s*:\s*(true|false))re";

// Capture group 1 of the leftmost match of '"' + key + suffix. The key is put
// into the expression as it is, so callers pass keys without metacharacters.
inline std::optional<std::string> Search(const std::string& json, const std::string& key, const char* suffix)
{
    // Compiling dominates on short texts; keep the last few expressions.
    static std::map<std::string, std::regex> compiled;
    const std::string source = "\"" + key + suffix;
    auto found = compiled.find(source);
    if (found == compiled.end())
    {
        if (compiled.size() >= 64)
        {
            compiled.clear();
        }
        found = compiled.emplace(source, std::regex(source, std::regex::ECMAScript)).first;
    }
    std::smatch match;
    if (!std::regex_search(json, match, found->second))
    {
        return std::nullopt;
    }
    return match[1].str();
}

inline std::string ExtractString(const std::string& json, const std::string& key, const std::string& fallback)
{
    const auto value = Search(json, key, StringSuffix);
    return value ? *value : fallback;
}

inline std::int32_t ExtractInt(const std::string& json, const std::string& key, std::int32_t fallback)
{
    const auto value = Search(json, key, IntSuffix);
    if (!value)
    {
        return fallback;
    }
    const unsigned long number = std::stoul(*value);
    if (number > 0xFFFFFFFFul)
    {
        throw std::out_of_range("stoul");
    }
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(number));
}

inline float ExtractFloat(const std::string& json, const std::string& key, float fallback)
{
    const auto value = Search(json, key, FloatSuffix);
    return value ? std::stof(*value) : fallback;
}

inline bool ExtractBool(const std::string& json, const std::string& key, bool fallback)
{
    const auto value = Search(json, key, BoolSuffix);
    return value ? *value == "true" : fallback;
}

// The colour rule through the standard base-16 conversion. It also accepts a
// pair with leading white space or a sign (" f", "-1"), which the engine does
// not; compare only pairs that start with another character.
inline Color3 ParseHexColor(const std::string& text, Color3 fallback)
{
    if (text.size() != 7 || text[0] != '#')
    {
        return fallback;
    }
    try
    {
        const auto pair = [&](std::size_t at)
        { return static_cast<std::uint8_t>(std::stoul(text.substr(at, 2), nullptr, 16) & 0xFF); };
        return Color3{pair(1), pair(3), pair(5)};
    }
    catch (const std::exception&)
    {
        return fallback;
    }
}

// True when the standard conversion and the engine read the pairs alike: no
// pair starts with white space or a sign.
inline bool PairsComparable(const std::string& text)
{
    if (text.size() != 7)
    {
        return true;
    }
    for (const std::size_t at : {1u, 3u, 5u})
    {
        const char c = text[at];
        if (c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' || c == '+' || c == '-')
        {
            return false;
        }
    }
    return true;
}

} // namespace Marrowvane::RegexExtractors
