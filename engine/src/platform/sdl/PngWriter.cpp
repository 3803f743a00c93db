// SDL2 binding of PNG writing, through SDL2_image's encoder.
//
// Binds to: SDL2_image (IMG_SavePNG_RW) and SDL2 surfaces and RWops.
// Limitations: writes opaque 8-bit RGB only; the whole file is encoded in
//   memory before it is written.
// Needs: SDL2, SDL2_image built with PNG support (Debian's is).
#include "platform/PngWriter.h"

#include <SDL.h>
#include <SDL_image.h>

#include <fstream>
#include <string>
#include <system_error>
#include <vector>

namespace Marrowvane
{

namespace
{

// An SDL_RWops that appends everything written to a byte vector.
std::size_t AppendToBuffer(SDL_RWops* context, const void* data, std::size_t size, std::size_t count)
{
    auto* buffer = static_cast<std::vector<char>*>(context->hidden.unknown.data1);
    const auto* bytes = static_cast<const char*>(data);
    buffer->insert(buffer->end(), bytes, bytes + size * count);
    return count;
}

Sint64 BufferSize(SDL_RWops* context)
{
    return static_cast<Sint64>(static_cast<std::vector<char>*>(context->hidden.unknown.data1)->size());
}

Sint64 BufferSeek(SDL_RWops* context, Sint64 offset, int whence)
{
    // The encoder only ever asks where it is.
    if (offset == 0 && whence == RW_SEEK_CUR)
    {
        return BufferSize(context);
    }
    return SDL_SetError("seeking is not supported");
}

std::size_t BufferRead(SDL_RWops*, void*, std::size_t, std::size_t)
{
    return 0;
}

int BufferClose(SDL_RWops* context)
{
    SDL_FreeRW(context);
    return 0;
}

bool EncodePng(const Surface& image, std::vector<char>& encoded)
{
    SDL_Surface* source = SDL_CreateRGBSurfaceWithFormatFrom(image.pixels, image.width, image.height, 32,
                                                             image.pitch, SDL_PIXELFORMAT_RGB888);
    if (source == nullptr)
    {
        return false;
    }
    SDL_RWops* sink = SDL_AllocRW();
    bool encodedOk = false;
    if (sink != nullptr)
    {
        sink->type = SDL_RWOPS_UNKNOWN;
        sink->size = BufferSize;
        sink->seek = BufferSeek;
        sink->read = BufferRead;
        sink->write = AppendToBuffer;
        sink->close = BufferClose;
        sink->hidden.unknown.data1 = &encoded;
        encodedOk = IMG_SavePNG_RW(source, sink, 1) == 0;
    }
    SDL_FreeSurface(source);
    return encodedOk && !encoded.empty();
}

} // namespace

bool WritePngFile(const Surface& image, const std::filesystem::path& path)
{
    if (image.pixels == nullptr || image.width <= 0 || image.height <= 0 || path.empty())
    {
        return false;
    }
    std::vector<char> encoded;
    try
    {
        if (!EncodePng(image, encoded))
        {
            return false;
        }
        std::filesystem::path partial = path;
        partial += ".partial";
        {
            std::ofstream file(partial, std::ios::binary | std::ios::trunc);
            file.write(encoded.data(), static_cast<std::streamsize>(encoded.size()));
            file.close();
            if (!file)
            {
                std::error_code ignored;
                std::filesystem::remove(partial, ignored);
                return false;
            }
        }
        std::error_code error;
        std::filesystem::rename(partial, path, error);
        if (error)
        {
            std::filesystem::remove(partial, error);
            return false;
        }
        return true;
    }
    catch (const std::exception&)
    {
        return false;
    }
}

} // namespace Marrowvane
