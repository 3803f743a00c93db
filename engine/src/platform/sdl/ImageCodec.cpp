// SDL binding: image decoding through SDL2_image.
// Each format goes to its own typed loader (IMG_LoadPNG_RW, IMG_LoadJPG_RW,
// IMG_LoadBMP_RW, IMG_LoadGIF_RW, IMG_LoadTIF_RW), never to the guessing
// IMG_Load, so what is decoded is the format the engine identified. The bytes
// are read through a stream that zero-fills reads past their end, which the
// PNG loader otherwise mistakes for a chunk it has seen. The result
// is converted once into the canvas's 0xAARRGGBB format with straight alpha; a
// GIF's transparent colour becomes alpha 0.
// Limitations: the first frame of an animated GIF and the first page of a
// TIFF only; embedded colour profiles and EXIF orientation are ignored;
// libpng and libtiff may write warnings of their own to standard error.
// Needs: SDL2, SDL2_image 2.6 built with libpng, libjpeg-turbo and libtiff.
#include "platform/ImageCodec.h"

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

namespace Marrowvane
{
namespace
{

// A read-only stream over the file's bytes. Unlike SDL_RWFromConstMem, a
// read past the end fills what it could not deliver with zeros: SDL2_image's
// PNG reader ignores short reads, and zeros make libpng stop at an invalid
// chunk instead of reading stale bytes again and again.
struct MemoryStream
{
    const std::uint8_t* data;
    std::size_t size;
    std::size_t at;
};

MemoryStream& StreamOf(SDL_RWops* ops)
{
    return *static_cast<MemoryStream*>(ops->hidden.unknown.data1);
}

Sint64 SDLCALL StreamSize(SDL_RWops* ops)
{
    return static_cast<Sint64>(StreamOf(ops).size);
}

Sint64 SDLCALL StreamSeek(SDL_RWops* ops, Sint64 offset, int whence)
{
    MemoryStream& stream = StreamOf(ops);
    const auto size = static_cast<Sint64>(stream.size);
    Sint64 base = 0;
    if (whence == RW_SEEK_CUR)
    {
        base = static_cast<Sint64>(stream.at);
    }
    else if (whence == RW_SEEK_END)
    {
        base = size;
    }
    else if (whence != RW_SEEK_SET)
    {
        return SDL_SetError("Unknown seek origin");
    }
    Sint64 target = offset < 0 && base < -offset ? 0 : base + offset;
    if (offset > 0 && target > size)
    {
        target = size;
    }
    stream.at = static_cast<std::size_t>(target);
    return target;
}

size_t SDLCALL StreamRead(SDL_RWops* ops, void* buffer, size_t size, size_t count)
{
    MemoryStream& stream = StreamOf(ops);
    if (size == 0 || count == 0)
    {
        return 0;
    }
    const size_t wanted = count > SIZE_MAX / size ? SIZE_MAX : size * count;
    const size_t available = std::min(wanted, stream.size - stream.at);
    std::memcpy(buffer, stream.data + stream.at, available);
    if (available < wanted && wanted != SIZE_MAX)
    {
        std::memset(static_cast<std::uint8_t*>(buffer) + available, 0, wanted - available);
    }
    stream.at += available;
    return available / size;
}

size_t SDLCALL StreamWrite(SDL_RWops*, const void*, size_t, size_t)
{
    SDL_SetError("Read-only stream");
    return 0;
}

int SDLCALL StreamClose(SDL_RWops* ops)
{
    SDL_FreeRW(ops);
    return 0;
}

struct SurfaceDeleter
{
    void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
};

using SurfacePointer = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

SurfacePointer LoadTyped(ImageFormat format, SDL_RWops* stream)
{
    switch (format)
    {
    case ImageFormat::Png: return SurfacePointer(IMG_LoadPNG_RW(stream));
    case ImageFormat::Jpeg: return SurfacePointer(IMG_LoadJPG_RW(stream));
    case ImageFormat::Bmp: return SurfacePointer(IMG_LoadBMP_RW(stream));
    case ImageFormat::Gif: return SurfacePointer(IMG_LoadGIF_RW(stream));
    case ImageFormat::Tiff: return SurfacePointer(IMG_LoadTIF_RW(stream));
    }
    return nullptr;
}

void CopyRows(const SDL_Surface& surface, std::vector<std::uint32_t>& pixels)
{
    const auto rowBytes = static_cast<std::size_t>(surface.w) * 4;
    for (int row = 0; row < surface.h; ++row)
    {
        std::memcpy(pixels.data() + static_cast<std::size_t>(row) * static_cast<std::size_t>(surface.w),
                    static_cast<const std::uint8_t*>(surface.pixels) +
                        static_cast<std::size_t>(row) * surface.pitch,
                    rowBytes);
    }
}

bool Convert(SDL_Surface& surface, std::vector<std::uint32_t>& pixels)
{
    const int pitch = surface.w * 4;
    const bool keyed = SDL_HasColorKey(&surface) == SDL_TRUE;
    if (!keyed && !SDL_ISPIXELFORMAT_INDEXED(surface.format->format) && !SDL_MUSTLOCK(&surface))
    {
        // Straight into the image's pixels, in one pass.
        return SDL_ConvertPixels(surface.w, surface.h, surface.format->format, surface.pixels, surface.pitch,
                                 SDL_PIXELFORMAT_ARGB8888, pixels.data(), pitch) == 0;
    }
    // Palettes and colour keys need the surface conversion, which turns the
    // key into alpha 0; its result is a plain surface, never run-length coded.
    const SurfacePointer converted(SDL_ConvertSurfaceFormat(&surface, SDL_PIXELFORMAT_ARGB8888, 0));
    if (!converted || converted->w != surface.w || converted->h != surface.h || SDL_MUSTLOCK(converted.get()))
    {
        return false;
    }
    CopyRows(*converted, pixels);
    return true;
}

} // namespace

bool DecodeImagePixels(const ImageHeader& header, std::span<const std::uint8_t> file,
                       std::vector<std::uint32_t>& pixels)
{
    pixels.clear();
    if (file.size() > static_cast<std::size_t>(INT_MAX) || header.width == 0 || header.height == 0 ||
        header.width > static_cast<std::uint32_t>(INT_MAX / 4) ||
        header.height > static_cast<std::uint32_t>(INT_MAX))
    {
        return false;
    }
    MemoryStream memory{file.data(), file.size(), 0};
    SDL_RWops* stream = SDL_AllocRW();
    if (stream == nullptr)
    {
        return false;
    }
    stream->type = SDL_RWOPS_UNKNOWN;
    stream->size = StreamSize;
    stream->seek = StreamSeek;
    stream->read = StreamRead;
    stream->write = StreamWrite;
    stream->close = StreamClose;
    stream->hidden.unknown.data1 = &memory;
    const SurfacePointer surface = LoadTyped(header.format, stream);
    SDL_RWclose(stream);
    if (!surface || surface->w <= 0 || surface->h <= 0 ||
        static_cast<std::uint32_t>(surface->w) != header.width ||
        static_cast<std::uint32_t>(surface->h) != header.height)
    {
        return false;
    }
    try
    {
        pixels.resize(static_cast<std::size_t>(surface->w) * static_cast<std::size_t>(surface->h));
    }
    catch (const std::bad_alloc&)
    {
        pixels = {};
        return false;
    }
    const bool converted = Convert(*surface, pixels);
    if (!converted)
    {
        pixels = {};
    }
    return converted;
}

} // namespace Marrowvane
