// The Renderer's sprite drawing: order by texture path, texture or fallback.
#include "render/Renderer.h"

#include "core/FileSystem.h"
#include "render/ImageDrawing.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <type_traits>

namespace Marrowvane
{

void Renderer::DrawSprites(const std::vector<SpriteCommand>& sprites)
{
    // Each sprite's sort key is made once per frame. Where the path text is
    // UTF-8 already the key is a view of it; elsewhere it is converted once
    // into keyTexts.
    struct Entry
    {
        std::string_view key;
        const SpriteCommand* sprite;
    };
    std::vector<Entry> sorted;
    sorted.reserve(sprites.size());
    std::vector<std::string> keyTexts;
    if constexpr (std::is_same_v<std::filesystem::path::value_type, char>)
    {
        for (const SpriteCommand& sprite : sprites)
        {
            sorted.push_back(Entry{sprite.texturePath.native(), &sprite});
        }
    }
    else
    {
        keyTexts.reserve(sprites.size());
        for (const SpriteCommand& sprite : sprites)
        {
            keyTexts.push_back(PathToUtf8(sprite.texturePath));
            sorted.push_back(Entry{keyTexts.back(), &sprite});
        }
    }
    // string_view compares bytes as unsigned values, a proper prefix first.
    // A list already in order (one texture, or sent grouped by texture) is
    // recognised in one pass and not sorted.
    const auto byKey = [](const Entry& a, const Entry& b) { return a.key < b.key; };
    if (!std::is_sorted(sorted.begin(), sorted.end(), byKey))
    {
        std::sort(sorted.begin(), sorted.end(), byKey);
    }
    for (const Entry& entry : sorted)
    {
        DrawSprite(*entry.sprite);
    }
}

void Renderer::DrawSprite(const SpriteCommand& sprite)
{
    const Texture* texture = GetTexture(sprite.texturePath);
    if (texture == nullptr || !texture->IsLoaded() || texture->GetImage() == nullptr)
    {
        DrawRect(sprite.x, sprite.y, sprite.width, sprite.height, sprite.color);
        return;
    }
    if (!IsVisible(sprite.x, sprite.y, sprite.width, sprite.height))
    {
        return;
    }
    const float sx = WorldToScreenX(sprite.x);
    const float sy = WorldToScreenY(sprite.y);
    const float sw = sprite.width * camera.zoom;
    const float sh = sprite.height * camera.zoom;
    DrawImage(backBuffer, *texture->GetImage(), sx, sy, sw, sh, sprite.flipX, sprite.flipY);
}

} // namespace Marrowvane
