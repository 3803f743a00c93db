#include "render/Texture.h"

#include "core/FileSystem.h"
#include "core/Log.h"
#include "render/ImageDecoder.h"

#include <utility>

namespace Marrowvane
{

Texture::Texture(std::filesystem::path path) : path(std::move(path)) {}

bool Texture::Load()
{
    if (loaded)
    {
        return true;
    }
    bool exists = false;
    try
    {
        exists = PathExists(path);
    }
    catch (const std::filesystem::filesystem_error&)
    {
        // The entry may be there but cannot be looked at (no permission on a
        // folder, a name too long, a loop of links): a failed load like any
        // other unreadable file.
        LogWarn("Texture could not be loaded: " + PathToUtf8(path));
        return false;
    }
    if (!exists)
    {
        LogWarn("Texture not found: " + PathToUtf8(path));
        return false;
    }
    ImageDecodeResult result = DecodeImageFile(path);
    if (!result.image)
    {
        LogWarn("Texture could not be loaded: " + PathToUtf8(path));
        image.reset();
        return false;
    }
    try
    {
        image = std::make_unique<Image>(std::move(*result.image));
    }
    catch (const std::bad_alloc&)
    {
        LogWarn("Texture could not be loaded: " + PathToUtf8(path));
        return false;
    }
    loaded = true;
    return true;
}

} // namespace Marrowvane
