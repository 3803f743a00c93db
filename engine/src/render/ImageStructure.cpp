#include "render/ImageStructure.h"

#include <cstring>
#include <optional>

namespace Marrowvane
{
namespace
{

using Bytes = std::span<const std::uint8_t>;

bool PngChunksAreWhole(Bytes bytes)
{
    // Signature (8), then chunks of length (4, big-endian), type (4), data
    // and CRC (4), up to and including IEND. Bytes after IEND are not read.
    constexpr std::uint32_t maxChunkLength = 0x7FFFFFFF;
    std::size_t at = 8;
    while (true)
    {
        if (bytes.size() < at || bytes.size() - at < 12)
        {
            return false;
        }
        const std::uint32_t length = (std::uint32_t{bytes[at]} << 24) | (std::uint32_t{bytes[at + 1]} << 16) |
                                     (std::uint32_t{bytes[at + 2]} << 8) | std::uint32_t{bytes[at + 3]};
        if (length > maxChunkLength || bytes.size() - at - 12 < length)
        {
            return false;
        }
        const bool end = std::memcmp(bytes.data() + at + 4, "IEND", 4) == 0;
        at += 12 + std::size_t{length};
        if (end)
        {
            return true;
        }
    }
}

// Reads LZW codes, least significant bit first, from a chain of GIF data
// sub-blocks; runs dry at the end of the chain or of the file.
class GifCodeReader
{
public:
    GifCodeReader(Bytes bytes, std::size_t at) : bytes(bytes), at(at) {}

    std::optional<std::uint32_t> Read(std::uint32_t width)
    {
        while (bitCount < width)
        {
            if (blockLeft == 0)
            {
                if (ended || at >= bytes.size() || bytes[at] == 0)
                {
                    ended = true;
                    return std::nullopt;
                }
                blockLeft = bytes[at++];
            }
            if (at >= bytes.size())
            {
                ended = true;
                return std::nullopt;
            }
            bits |= std::uint32_t{bytes[at++]} << bitCount;
            bitCount += 8;
            --blockLeft;
        }
        const std::uint32_t code = bits & ((1u << width) - 1);
        bits >>= width;
        bitCount -= width;
        return code;
    }

private:
    Bytes bytes;
    std::size_t at;
    std::uint32_t bits = 0;
    std::uint32_t bitCount = 0;
    std::uint32_t blockLeft = 0;
    bool ended = false;
};

bool GifLzwIsSound(Bytes bytes, std::size_t at)
{
    if (at >= bytes.size())
    {
        return false;
    }
    const std::uint32_t minimumCodeSize = bytes[at++];
    if (minimumCodeSize < 2 || minimumCodeSize > 8)
    {
        return false;
    }
    constexpr std::uint32_t tableSize = 4096;
    const std::uint32_t clearCode = 1u << minimumCodeSize;
    const std::uint32_t endCode = clearCode + 1;
    std::uint32_t codeSize = minimumCodeSize + 1;
    std::uint32_t nextCode = clearCode + 2;
    std::uint32_t sizeLimit = clearCode * 2;
    GifCodeReader reader(bytes, at);

    // Leading clear codes, then a literal.
    std::optional<std::uint32_t> code;
    do
    {
        code = reader.Read(codeSize);
    } while (code && *code == clearCode);
    if (!code)
    {
        return true; // no data: the decoder stops at once
    }
    if (*code >= clearCode)
    {
        return false;
    }
    while ((code = reader.Read(codeSize)))
    {
        if (*code == endCode)
        {
            return true;
        }
        if (*code == clearCode)
        {
            codeSize = minimumCodeSize + 1;
            nextCode = clearCode + 2;
            sizeLimit = clearCode * 2;
            const std::optional<std::uint32_t> literal = reader.Read(codeSize);
            if (!literal)
            {
                return true;
            }
            if (*literal >= clearCode)
            {
                return false;
            }
            continue;
        }
        if (*code > nextCode)
        {
            return false; // a link to an entry that does not exist yet
        }
        if (nextCode < tableSize)
        {
            ++nextCode;
            if (nextCode >= sizeLimit && sizeLimit < tableSize)
            {
                sizeLimit *= 2;
                ++codeSize;
            }
        }
    }
    return true; // the data ran out; the decoder stops there too
}

bool GifFirstFrameIsSound(Bytes bytes)
{
    // Header (6), screen descriptor (7), global colour table, extensions
    // (0x21, label, sub-blocks), the first image descriptor (0x2C and 9
    // bytes), its local colour table, then its LZW data.
    if (bytes.size() < 13)
    {
        return false;
    }
    std::size_t at = 13;
    if ((bytes[10] & 0x80) != 0)
    {
        at += 3u * (2u << (bytes[10] & 0x07));
    }
    while (true)
    {
        if (at >= bytes.size())
        {
            return false;
        }
        const std::uint8_t introducer = bytes[at++];
        if (introducer == 0x2C)
        {
            if (bytes.size() - at < 9)
            {
                return false;
            }
            const std::uint8_t flags = bytes[at + 8];
            at += 9;
            if ((flags & 0x80) != 0)
            {
                at += 3u * (2u << (flags & 0x07));
            }
            return GifLzwIsSound(bytes, at);
        }
        if (introducer != 0x21 || at >= bytes.size())
        {
            return false;
        }
        ++at;
        while (true)
        {
            if (at >= bytes.size())
            {
                return false;
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

} // namespace

bool CheckImageStructure(const ImageHeader& header, std::span<const std::uint8_t> bytes)
{
    switch (header.format)
    {
    case ImageFormat::Png: return PngChunksAreWhole(bytes);
    case ImageFormat::Gif: return GifFirstFrameIsSound(bytes);
    case ImageFormat::Jpeg:
    case ImageFormat::Bmp:
    case ImageFormat::Tiff: return true;
    }
    return false;
}

} // namespace Marrowvane
