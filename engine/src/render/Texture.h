#pragma once

#include "render/Image.h"

#include <filesystem>
#include <memory>

namespace Marrowvane
{

// One cached image file. Made only by the renderer's texture cache, loaded
// once right after, and kept, loaded or failed, as long as the renderer.
class Texture
{
public:
    explicit Texture(std::filesystem::path path);

    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;

    // Decodes the file on the first successful call; true at once after
    // that. A failure writes one warning ("Texture not found: " or "Texture
    // could not be loaded: " with the path) and leaves no image.
    bool Load();
    bool IsLoaded() const { return loaded; }
    // The decoded image; null unless loaded.
    const Image* GetImage() const { return image.get(); }
    const std::filesystem::path& GetPath() const { return path; }

private:
    std::filesystem::path path;
    bool loaded = false;
    std::unique_ptr<Image> image;
};

} // namespace Marrowvane
