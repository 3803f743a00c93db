#include "render/ImageHeader.h"

#include <array>
#include <cstring>

namespace Marrowvane
{
namespace
{

using Bytes = std::span<const std::uint8_t>;

constexpr std::array<std::uint8_t, 8> pngSignature = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

bool HasPrefix(Bytes bytes, const void* prefix, std::size_t length)
{
    return bytes.size() >= length && std::memcmp(bytes.data(), prefix, length) == 0;
}

// Readers that never step past the end: each returns false when the bytes
// run out.
bool ReadU16Le(Bytes bytes, std::size_t at, std::uint32_t& value)
{
    if (at > bytes.size() || bytes.size() - at < 2)
    {
        return false;
    }
    value = std::uint32_t{bytes[at]} | (std::uint32_t{bytes[at + 1]} << 8);
    return true;
}

bool ReadU16Be(Bytes bytes, std::size_t at, std::uint32_t& value)
{
    if (at > bytes.size() || bytes.size() - at < 2)
    {
        return false;
    }
    value = (std::uint32_t{bytes[at]} << 8) | std::uint32_t{bytes[at + 1]};
    return true;
}

bool ReadU32Le(Bytes bytes, std::size_t at, std::uint32_t& value)
{
    std::uint32_t low = 0;
    std::uint32_t high = 0;
    if (!ReadU16Le(bytes, at, low) || !ReadU16Le(bytes, at + 2, high))
    {
        return false;
    }
    value = low | (high << 16);
    return true;
}

bool ReadU32Be(Bytes bytes, std::size_t at, std::uint32_t& value)
{
    std::uint32_t high = 0;
    std::uint32_t low = 0;
    if (!ReadU16Be(bytes, at, high) || !ReadU16Be(bytes, at + 2, low))
    {
        return false;
    }
    value = low | (high << 16);
    return true;
}

std::optional<ImageHeader> ReadPngHeader(Bytes bytes)
{
    // Signature, then the IHDR chunk: length 13, type, width, height (big-endian).
    std::uint32_t length = 0;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    if (!ReadU32Be(bytes, 8, length) || length != 13 || bytes.size() < 16 ||
        std::memcmp(bytes.data() + 12, "IHDR", 4) != 0 || !ReadU32Be(bytes, 16, width) ||
        !ReadU32Be(bytes, 20, height))
    {
        return std::nullopt;
    }
    return ImageHeader{ImageFormat::Png, width, height};
}

bool IsJpegFrameMarker(std::uint8_t marker)
{
    // SOF0..SOF15 without DHT (C4), JPG (C8) and DAC (CC).
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

std::optional<ImageHeader> ReadJpegHeader(Bytes bytes)
{
    // Walk the marker segments after SOI up to the first frame header. Fill
    // bytes (extra 0xFF) are allowed; stray bytes between segments are not.
    std::size_t at = 2;
    while (true)
    {
        if (at >= bytes.size() || bytes[at] != 0xFF)
        {
            return std::nullopt;
        }
        while (at < bytes.size() && bytes[at] == 0xFF)
        {
            ++at;
        }
        if (at >= bytes.size())
        {
            return std::nullopt;
        }
        const std::uint8_t marker = bytes[at++];
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7))
        {
            continue; // TEM and RSTn stand alone
        }
        if (marker == 0x00 || marker == 0xD8 || marker == 0xD9 || marker == 0xDA)
        {
            return std::nullopt; // no frame header before data, end or a second SOI
        }
        std::uint32_t length = 0;
        if (!ReadU16Be(bytes, at, length) || length < 2 || bytes.size() - at < length)
        {
            return std::nullopt;
        }
        if (IsJpegFrameMarker(marker))
        {
            // Length, precision, lines (height), samples per line (width).
            std::uint32_t height = 0;
            std::uint32_t width = 0;
            if (length < 8 || !ReadU16Be(bytes, at + 3, height) || !ReadU16Be(bytes, at + 5, width))
            {
                return std::nullopt;
            }
            return ImageHeader{ImageFormat::Jpeg, width, height};
        }
        at += length;
    }
}

std::optional<ImageHeader> ReadBmpHeader(Bytes bytes)
{
    // A 14-byte file header, then an info header that starts with its size.
    std::uint32_t infoSize = 0;
    if (!ReadU32Le(bytes, 14, infoSize))
    {
        return std::nullopt;
    }
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    if (infoSize == 12)
    {
        // The old core header: unsigned 16-bit sizes.
        if (!ReadU16Le(bytes, 18, width) || !ReadU16Le(bytes, 20, height))
        {
            return std::nullopt;
        }
        return ImageHeader{ImageFormat::Bmp, width, height};
    }
    if (infoSize < 16 || !ReadU32Le(bytes, 18, width) || !ReadU32Le(bytes, 22, height))
    {
        return std::nullopt;
    }
    // Signed 32-bit sizes; a negative height stores the rows top-down, a
    // negative width is no image at all.
    const auto signedWidth = static_cast<std::int32_t>(width);
    const auto signedHeight = static_cast<std::int64_t>(static_cast<std::int32_t>(height));
    if (signedWidth < 0)
    {
        return std::nullopt;
    }
    const std::int64_t rows = signedHeight < 0 ? -signedHeight : signedHeight;
    if (rows > 0x7FFFFFFF)
    {
        return std::nullopt;
    }
    return ImageHeader{ImageFormat::Bmp, width, static_cast<std::uint32_t>(rows)};
}

std::optional<ImageHeader> ReadGifHeader(Bytes bytes)
{
    // Header (6), logical screen descriptor (7), optional global colour
    // table, then blocks: extensions (0x21, label, sub-blocks) until the
    // first image descriptor (0x2C). The decoder makes an image of the first
    // frame's size, not of the logical screen's, and reads no later frame.
    if (bytes.size() < 13)
    {
        return std::nullopt;
    }
    std::size_t at = 13;
    const std::uint8_t screenFlags = bytes[10];
    if ((screenFlags & 0x80) != 0)
    {
        at += 3u * (2u << (screenFlags & 0x07));
    }
    while (true)
    {
        if (at >= bytes.size())
        {
            return std::nullopt;
        }
        const std::uint8_t introducer = bytes[at++];
        if (introducer == 0x2C)
        {
            std::uint32_t width = 0;
            std::uint32_t height = 0;
            if (!ReadU16Le(bytes, at + 4, width) || !ReadU16Le(bytes, at + 6, height))
            {
                return std::nullopt;
            }
            return ImageHeader{ImageFormat::Gif, width, height};
        }
        if (introducer != 0x21 || at >= bytes.size())
        {
            return std::nullopt; // the trailer before any image, or a stray byte
        }
        ++at; // extension label
        while (true)
        {
            if (at >= bytes.size())
            {
                return std::nullopt;
            }
            const std::size_t blockSize = bytes[at++];
            if (blockSize == 0)
            {
                break;
            }
            at += blockSize;
        }
    }
}

std::optional<ImageHeader> ReadTiffHeader(Bytes bytes)
{
    const bool littleEndian = bytes[0] == 'I';
    const auto read16 = [&](std::size_t at, std::uint32_t& value)
    { return littleEndian ? ReadU16Le(bytes, at, value) : ReadU16Be(bytes, at, value); };
    const auto read32 = [&](std::size_t at, std::uint32_t& value)
    { return littleEndian ? ReadU32Le(bytes, at, value) : ReadU32Be(bytes, at, value); };

    std::uint32_t directory = 0;
    std::uint32_t entryCount = 0;
    if (!read32(4, directory) || !read16(directory, entryCount))
    {
        return std::nullopt;
    }
    constexpr std::uint32_t imageWidthTag = 256;
    constexpr std::uint32_t imageLengthTag = 257;
    constexpr std::uint32_t shortType = 3;
    constexpr std::uint32_t longType = 4;
    std::optional<std::uint32_t> width;
    std::optional<std::uint32_t> height;
    for (std::uint32_t index = 0; index < entryCount; ++index)
    {
        const std::size_t entry = std::size_t{directory} + 2 + std::size_t{index} * 12;
        std::uint32_t tag = 0;
        std::uint32_t type = 0;
        std::uint32_t count = 0;
        if (!read16(entry, tag) || !read16(entry + 2, type) || !read32(entry + 4, count))
        {
            return std::nullopt;
        }
        if (tag != imageWidthTag && tag != imageLengthTag)
        {
            continue;
        }
        std::optional<std::uint32_t>& field = tag == imageWidthTag ? width : height;
        std::uint32_t value = 0;
        // One SHORT or LONG, held in the entry itself; a repeated tag is
        // ambiguous and refused.
        if (field.has_value() || count != 1 || (type != shortType && type != longType) ||
            !(type == shortType ? read16(entry + 8, value) : read32(entry + 8, value)))
        {
            return std::nullopt;
        }
        field = value;
    }
    if (!width || !height)
    {
        return std::nullopt;
    }
    return ImageHeader{ImageFormat::Tiff, *width, *height};
}

} // namespace

std::optional<ImageFormat> SniffImageFormat(std::span<const std::uint8_t> bytes)
{
    if (HasPrefix(bytes, pngSignature.data(), pngSignature.size()))
    {
        return ImageFormat::Png;
    }
    if (HasPrefix(bytes, "\xFF\xD8\xFF", 3))
    {
        return ImageFormat::Jpeg;
    }
    if (HasPrefix(bytes, "BM", 2))
    {
        return ImageFormat::Bmp;
    }
    if (HasPrefix(bytes, "GIF87a", 6) || HasPrefix(bytes, "GIF89a", 6))
    {
        return ImageFormat::Gif;
    }
    if (HasPrefix(bytes, "II\x2A\x00", 4) || HasPrefix(bytes, "MM\x00\x2A", 4))
    {
        return ImageFormat::Tiff;
    }
    return std::nullopt;
}

std::optional<ImageHeader> ReadImageHeader(std::span<const std::uint8_t> bytes)
{
    const std::optional<ImageFormat> format = SniffImageFormat(bytes);
    if (!format)
    {
        return std::nullopt;
    }
    switch (*format)
    {
    case ImageFormat::Png: return ReadPngHeader(bytes);
    case ImageFormat::Jpeg: return ReadJpegHeader(bytes);
    case ImageFormat::Bmp: return ReadBmpHeader(bytes);
    case ImageFormat::Gif: return ReadGifHeader(bytes);
    case ImageFormat::Tiff: return ReadTiffHeader(bytes);
    }
    return std::nullopt;
}

} // namespace Marrowvane
