#pragma once

// Helpers for the texture and sprite tests: a scratch folder, files written
// from bytes, and a minimal PNG writer (stored deflate blocks, no
// compression) so that tests can make any image they need.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

namespace Marrowvane::TextureTestFiles
{

using Bytes = std::vector<std::uint8_t>;

inline std::filesystem::path DataDir()
{
    return std::filesystem::path(MARROWVANE_TEST_DATA_DIR);
}

inline Bytes ReadBytes(const std::filesystem::path& path)
{
    std::ifstream stream(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::filesystem::path& path, const Bytes& bytes)
{
    std::ofstream stream(path, std::ios::binary | std::ios::trunc);
    stream.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(stream.good()) << path;
}

// A fresh folder under the system's temporary folder, removed with all it
// holds when the object goes.
class ScratchDir
{
public:
    ScratchDir()
    {
        static std::atomic<int> counter{0};
        const auto stamp = std::to_string(std::chrono::steady_clock::now().time_since_epoch().count());
        path = std::filesystem::temp_directory_path() /
               ("marrowvane-textures-" + stamp + "-" + std::to_string(counter++));
        std::filesystem::create_directories(path);
    }
    ~ScratchDir()
    {
        std::error_code error;
        std::filesystem::remove_all(path, error);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::filesystem::path& Path() const { return path; }
    std::filesystem::path operator/(const std::filesystem::path& name) const { return path / name; }

private:
    std::filesystem::path path;
};

inline std::uint32_t Crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc = 0)
{
    static const std::array<std::uint32_t, 256> table = []
    {
        std::array<std::uint32_t, 256> entries{};
        for (std::uint32_t n = 0; n < 256; ++n)
        {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k)
            {
                c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            }
            entries[n] = c;
        }
        return entries;
    }();
    crc = ~crc;
    for (std::size_t i = 0; i < size; ++i)
    {
        crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    }
    return ~crc;
}

inline void PutU32Be(Bytes& out, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
    {
        out.push_back(static_cast<std::uint8_t>(value >> shift));
    }
}

inline void PutChunk(Bytes& out, const char* type, const Bytes& data)
{
    PutU32Be(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t typeAt = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    PutU32Be(out, Crc32(out.data() + typeAt, out.size() - typeAt));
}

// A PNG of 8-bit RGBA from 0xAARRGGBB pixels, rows top to bottom. The
// declared size may differ from the pixels given (for crafted headers).
inline Bytes MakePng(std::uint32_t width, std::uint32_t height, const std::vector<std::uint32_t>& pixels)
{
    Bytes out = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    Bytes header;
    PutU32Be(header, width);
    PutU32Be(header, height);
    header.insert(header.end(), {8, 6, 0, 0, 0});
    PutChunk(out, "IHDR", header);

    Bytes raw;
    const std::size_t rows = pixels.size() / (width == 0 ? 1 : width);
    for (std::size_t row = 0; row < rows; ++row)
    {
        raw.push_back(0); // no filter
        for (std::size_t column = 0; column < width; ++column)
        {
            const std::uint32_t pixel = pixels[row * width + column];
            raw.insert(raw.end(),
                       {static_cast<std::uint8_t>(pixel >> 16), static_cast<std::uint8_t>(pixel >> 8),
                        static_cast<std::uint8_t>(pixel), static_cast<std::uint8_t>(pixel >> 24)});
        }
    }
    // zlib stream of stored blocks, with its Adler-32.
    Bytes zlib = {0x78, 0x01};
    std::size_t at = 0;
    do
    {
        const std::size_t length = std::min<std::size_t>(raw.size() - at, 65535);
        const bool last = at + length == raw.size();
        zlib.push_back(last ? 1 : 0);
        zlib.insert(zlib.end(),
                    {static_cast<std::uint8_t>(length), static_cast<std::uint8_t>(length >> 8),
                     static_cast<std::uint8_t>(~length), static_cast<std::uint8_t>(~length >> 8)});
        zlib.insert(zlib.end(), raw.begin() + static_cast<std::ptrdiff_t>(at),
                    raw.begin() + static_cast<std::ptrdiff_t>(at + length));
        at += length;
    } while (at < raw.size());
    std::uint32_t a = 1;
    std::uint32_t b = 0;
    for (const std::uint8_t byte : raw)
    {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    PutU32Be(zlib, (b << 16) | a);
    PutChunk(out, "IDAT", zlib);
    PutChunk(out, "IEND", {});
    return out;
}

inline void WritePng(const std::filesystem::path& path, std::uint32_t width, std::uint32_t height,
                     const std::vector<std::uint32_t>& pixels)
{
    WriteBytes(path, MakePng(width, height, pixels));
}

// A solid one-colour PNG.
inline void WriteSolidPng(const std::filesystem::path& path, std::uint32_t pixel, std::uint32_t side = 1)
{
    WritePng(path, side, side, std::vector<std::uint32_t>(std::size_t{side} * side, pixel));
}

} // namespace Marrowvane::TextureTestFiles
