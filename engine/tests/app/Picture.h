#pragma once

// A PNG read back with SDL2_image, for checking screenshots pixel by pixel.
#include <SDL.h>
#include <SDL_image.h>

#include <cstdint>
#include <filesystem>
#include <ostream>

namespace Marrowvane::Testing
{

struct Pixel
{
    int r, g, b;
    friend bool operator==(const Pixel&, const Pixel&) = default;
};

inline std::ostream& operator<<(std::ostream& out, const Pixel& p)
{
    return out << "(" << p.r << ", " << p.g << ", " << p.b << ")";
}

class Picture
{
public:
    explicit Picture(const std::filesystem::path& path)
    {
        SDL_Surface* loaded = IMG_Load(path.c_str());
        if (loaded != nullptr)
        {
            surface = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0);
            SDL_FreeSurface(loaded);
        }
    }
    ~Picture() { SDL_FreeSurface(surface); }
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    bool Loaded() const { return surface != nullptr; }
    int Width() const { return surface->w; }
    int Height() const { return surface->h; }
    Pixel At(int x, int y) const
    {
        const auto* row = static_cast<const std::uint8_t*>(surface->pixels) + y * surface->pitch;
        const std::uint32_t value = reinterpret_cast<const std::uint32_t*>(row)[x];
        return {static_cast<int>((value >> 16) & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                static_cast<int>(value & 0xFF)};
    }
    // How many pixels of the block at (x, y), width by height, are this colour.
    int Count(int x, int y, int width, int height, Pixel colour) const
    {
        int count = 0;
        for (int row = y; row < y + height; ++row)
        {
            for (int column = x; column < x + width; ++column)
            {
                count += At(column, row) == colour ? 1 : 0;
            }
        }
        return count;
    }

private:
    SDL_Surface* surface = nullptr;
};

} // namespace Marrowvane::Testing
