#include "script/TexturePathCache.h"

#include "core/FileSystem.h"

#include <exception>

namespace Marrowvane
{

void TexturePathCache::SetBase(const std::filesystem::path& newBase)
{
    base = newBase;
    entries.clear();
    last = nullptr;
}

const std::filesystem::path* TexturePathCache::Resolve(std::string_view text)
{
    if (last == nullptr || last->first != text)
    {
        auto found = entries.find(text);
        if (found == entries.end())
        {
            if (entries.size() >= kMaxEntries)
            {
                last = nullptr;
                entries.clear();
            }
            std::optional<std::filesystem::path> resolved;
            ++resolveCount;
            try
            {
                resolved = ResolvePath(base, std::filesystem::path(text));
            }
            catch (const std::exception&)
            {
                // filesystem_error from the walk, or no memory for the path:
                // the text stays unresolvable.
            }
            found = entries.emplace(std::string(text), std::move(resolved)).first;
        }
        last = &*found;
    }
    return last->second ? &*last->second : nullptr;
}

} // namespace Marrowvane
