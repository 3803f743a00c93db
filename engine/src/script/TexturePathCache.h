#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace Marrowvane
{

// The resolved texture path of each distinct texture field text of SPRITE
// lines, so that a sprite drawn every frame walks the file system once, not
// once per line. A text that ResolvePath cannot resolve (a name too long, a
// component that cannot be read) is remembered as such. The entries live as
// long as the cache; past kMaxEntries distinct texts it starts over, which
// keeps its memory bounded whatever the script host sends.
class TexturePathCache
{
public:
    static constexpr std::size_t kMaxEntries = 4096;

    // Sets the directory that relative texts are resolved against, and
    // forgets every entry.
    void SetBase(const std::filesystem::path& base);

    // ResolvePath(base, text), or null when it reports an error. The pointer
    // stays valid until the next call.
    const std::filesystem::path* Resolve(std::string_view text);

    std::size_t Size() const { return entries.size(); }
    // How many times the file system was asked, for tests and benchmarks.
    std::size_t ResolveCount() const { return resolveCount; }

private:
    struct TextHash
    {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
    };
    using Entries =
        std::unordered_map<std::string, std::optional<std::filesystem::path>, TextHash, std::equal_to<>>;

    std::filesystem::path base;
    Entries entries;
    // Sprites of one texture tend to come in runs; the last entry is tried
    // before the hash.
    const Entries::value_type* last = nullptr;
    std::size_t resolveCount = 0;
};

} // namespace Marrowvane
