// The Renderer's texture cache: asset root, path resolution and lookups.
#include "render/Renderer.h"

#include "core/FileSystem.h"
#include "core/Log.h"

#include <system_error>
#include <type_traits>
#include <utility>

namespace Marrowvane
{
namespace
{

// Where the platform's path text is UTF-8 already, the key of a path can be
// read off its own text instead of being converted into a new string.
constexpr bool pathTextIsUtf8 = std::is_same_v<std::filesystem::path::value_type, char>;

} // namespace

void Renderer::SetAssetRoot(std::filesystem::path root)
{
    assetRoot = std::move(root);
}

std::filesystem::path Renderer::ResolveAssetPath(const std::filesystem::path& texturePath) const
{
    if (texturePath.is_absolute())
    {
        return texturePath;
    }
    if (assetRoot.empty())
    {
        // A current directory that cannot be read (removed meanwhile) leaves
        // the path relative, to fail or load as the system resolves it.
        std::error_code error;
        return std::filesystem::current_path(error) / texturePath;
    }
    return assetRoot / texturePath;
}

std::string_view Renderer::TextureKey(const std::filesystem::path& texturePath)
{
    if constexpr (pathTextIsUtf8)
    {
        // Absolute here means a leading separator, as is_absolute says for
        // such paths, read off the text without walking the components.
        const std::string& text = texturePath.native();
        if (!text.empty() && text.front() == '/')
        {
            return text;
        }
        if (!assetRoot.empty())
        {
            // assetRoot / texturePath as the path-append rule writes it for a
            // relative right side: a separator unless the left side already
            // ends in one, then the right side's text.
            const std::string& root = assetRoot.native();
            textureKeyScratch.assign(root);
            if (root.back() != '/')
            {
                textureKeyScratch += '/';
            }
            textureKeyScratch += texturePath.native();
            return textureKeyScratch;
        }
    }
    textureKeyScratch = PathToUtf8(ResolveAssetPath(texturePath));
    return textureKeyScratch;
}

Texture* Renderer::GetTexture(const std::filesystem::path& texturePath)
{
    const std::string_view key = TextureKey(texturePath);
    if (const auto found = textures.find(key); found != textures.end())
    {
        return found->second.get(); // loaded or failed, as it was first found
    }
    std::string keyText(key);
    auto texture = std::make_unique<Texture>(ResolveAssetPath(texturePath));
    Texture* const result = texture.get();
    if (!texture->Load() && missingTextures.insert(keyText).second)
    {
        LogWarn("Using fallback rectangle for missing texture: " + keyText);
    }
    textures.emplace(std::move(keyText), std::move(texture));
    return result;
}

} // namespace Marrowvane
