// Fuzzes the "project.json" key extractors and the colour parser with
// arbitrary bytes. The first byte chooses how many of the following bytes
// (0 to 15) form a key; the rest is the text. Each input is searched for that
// key and for a few of the engine's own keys. On short texts with keys of
// letters and digits the results must equal the regular-expression form of
// the patterns; any difference aborts.
#include "app/ProjectConfig.h"

#include "../tests/app/RegexExtractors.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <regex>
#include <stdexcept>
#include <string>
#include <type_traits>

namespace
{

using namespace Marrowvane;

// Longer texts would overflow the stack inside std::regex.
constexpr std::size_t MaxComparedTextBytes = 512;

std::string FloatBits(float value)
{
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return std::to_string(bits);
}

template <typename Call>
std::string Outcome(Call call)
{
    try
    {
        const auto value = call();
        if constexpr (std::is_same_v<decltype(value), const std::string>)
        {
            return "value " + value;
        }
        else if constexpr (std::is_same_v<decltype(value), const float>)
        {
            return "value " + FloatBits(value);
        }
        else
        {
            return "value " + std::to_string(value);
        }
    }
    catch (const std::out_of_range& error)
    {
        return std::string("out_of_range ") + error.what();
    }
}

void Expect(bool same, const char* what, const std::string& json, const std::string& key)
{
    if (!same)
    {
        std::fprintf(stderr, "%s differs from the pattern for key [%s] in %zu bytes\n", what, key.c_str(),
                     json.size());
        std::abort();
    }
}

bool PlainKey(const std::string& key)
{
    return std::all_of(key.begin(), key.end(), [](unsigned char c) { return std::isalnum(c) || c == '_'; });
}

void Check(const std::string& json, const std::string& key)
{
    const std::string text = Outcome([&] { return ExtractString(json, key, "\x01"); });
    const std::string integer = Outcome([&] { return ExtractInt(json, key, -12345); });
    const std::string real = Outcome([&] { return ExtractFloat(json, key, -0.5f); });
    const std::string boolean = Outcome([&] { return ExtractBool(json, key, true); });

    const std::string value = ExtractString(json, key, "");
    const Color3 fallback{1, 2, 3};
    const Color3 color = ParseHexColor(value, fallback);

    if (json.size() > MaxComparedTextBytes || !PlainKey(key))
    {
        return;
    }
    try
    {
        Expect(text == Outcome([&] { return RegexExtractors::ExtractString(json, key, "\x01"); }),
               "ExtractString", json, key);
        Expect(integer == Outcome([&] { return RegexExtractors::ExtractInt(json, key, -12345); }),
               "ExtractInt", json, key);
        Expect(real == Outcome([&] { return RegexExtractors::ExtractFloat(json, key, -0.5f); }),
               "ExtractFloat", json, key);
        Expect(boolean == Outcome([&] { return RegexExtractors::ExtractBool(json, key, true); }),
               "ExtractBool", json, key);
    }
    catch (const std::regex_error&)
    {
        return; // the reference gave up; nothing to compare
    }
    if (RegexExtractors::PairsComparable(value))
    {
        Expect(color == RegexExtractors::ParseHexColor(value, fallback), "ParseHexColor", json, key);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
    {
        return 0;
    }
    const std::size_t keyLength = std::min<std::size_t>(data[0] % 16, size - 1);
    const char* const bytes = reinterpret_cast<const char*>(data);
    const std::string key(bytes + 1, keyLength);
    const std::string json(bytes + 1 + keyLength, size - 1 - keyLength);

    Check(json, key);
    for (const char* engineKey : {"name", "width", "maxDeltaTime", "pixelPerfect", "backgroundColor", "x"})
    {
        Check(json, engineKey);
    }

    const Color3 fallback{4, 5, 6};
    const std::string head = json.substr(0, 7);
    const Color3 color = ParseHexColor(head, fallback);
    if (RegexExtractors::PairsComparable(head) && !(color == RegexExtractors::ParseHexColor(head, fallback)))
    {
        std::fprintf(stderr, "ParseHexColor differs from the standard conversion\n");
        std::abort();
    }
    return 0;
}
