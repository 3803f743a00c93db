#include "render/ImageStructure.h"

#include "TextureTestFiles.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace Marrowvane
{
namespace
{

using TextureTestFiles::Bytes;
using TextureTestFiles::DataDir;
using TextureTestFiles::ReadBytes;

bool Sound(const Bytes& bytes)
{
    const std::optional<ImageHeader> header = ReadImageHeader(bytes);
    return header.has_value() && CheckImageStructure(*header, bytes);
}

Bytes Prefix(const Bytes& bytes, std::size_t length)
{
    return Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length));
}

TEST(ImageStructure, EveryFixtureIsSound)
{
    for (const char* file :
         {"four.png", "alpha.png", "rgb.png", "palette.png", "huge.png", "halves.jpg", "four.bmp",
          "four_core.bmp", "alpha_top_down.bmp", "four.gif", "smallframe.gif", "four.tif", "four_be.tif"})
    {
        EXPECT_TRUE(Sound(ReadBytes(DataDir() / file))) << file;
    }
}

// ---- PNG ---------------------------------------------------------------------------

TEST(ImageStructure, PngChunksMustBeWholeUpToIend)
{
    const Bytes png = ReadBytes(DataDir() / "four.png");
    // Cut anywhere after the header but before the end of IEND: refused.
    for (std::size_t length = 24; length < png.size(); ++length)
    {
        const Bytes cut = Prefix(png, length);
        const std::optional<ImageHeader> header = ReadImageHeader(cut);
        ASSERT_TRUE(header.has_value()) << length;
        EXPECT_FALSE(CheckImageStructure(*header, cut)) << length;
    }
    // Bytes after IEND are not looked at.
    Bytes padded = png;
    padded.resize(png.size() + 100, 0xEE);
    EXPECT_TRUE(Sound(padded));
    // A chunk length over 2^31 - 1 is invalid whatever follows.
    Bytes huge = png;
    huge[33] = 0x80; // the length of the chunk after IHDR
    EXPECT_FALSE(Sound(huge));
    // Found by the fuzz target: tRNS claims 59 bytes past the end.
    EXPECT_FALSE(Sound(ReadBytes(DataDir() / "chunk_past_end.png")));
    EXPECT_FALSE(Sound(ReadBytes(DataDir() / "truncated.png")));
}

// ---- GIF ---------------------------------------------------------------------------

// Packs codes of the given widths, least significant bit first.
Bytes PackCodes(const std::vector<std::pair<std::uint32_t, std::uint32_t>>& codes)
{
    Bytes out;
    std::uint32_t bits = 0;
    std::uint32_t count = 0;
    for (const auto& [code, width] : codes)
    {
        bits |= code << count;
        count += width;
        while (count >= 8)
        {
            out.push_back(static_cast<std::uint8_t>(bits));
            bits >>= 8;
            count -= 8;
        }
    }
    if (count > 0)
    {
        out.push_back(static_cast<std::uint8_t>(bits));
    }
    return out;
}

// A 4x1 GIF with a 4-colour global table and the given LZW data, split into
// sub-blocks of at most `block` bytes.
Bytes MakeGif(std::uint8_t minimumCodeSize, const Bytes& lzw, std::size_t block = 255)
{
    Bytes out = {'G', 'I', 'F', '8', '9', 'a', 4, 0, 1, 0, 0x81, 0, 0};
    out.insert(out.end(), 12, 0x40);
    out.insert(out.end(), {0x2C, 0, 0, 0, 0, 4, 0, 1, 0, 0, minimumCodeSize});
    for (std::size_t at = 0; at < lzw.size(); at += block)
    {
        const std::size_t length = std::min(block, lzw.size() - at);
        out.push_back(static_cast<std::uint8_t>(length));
        out.insert(out.end(), lzw.begin() + static_cast<std::ptrdiff_t>(at),
                   lzw.begin() + static_cast<std::ptrdiff_t>(at + length));
    }
    out.push_back(0);
    out.push_back(0x3B);
    return out;
}

struct LzwCase
{
    const char* name;
    std::uint8_t minimumCodeSize;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> codes;
    bool sound;
};

TEST(ImageStructure, GifLzwCodesMustOnlyLinkBackwards)
{
    // Code size 2: clear 4, end 5, first free entry 6, codes 3 bits wide
    // until entry 8 is reached.
    const std::vector<LzwCase> cases = {
        {"literals", 2, {{4, 3}, {0, 3}, {1, 3}, {2, 3}, {3, 4}, {5, 4}}, true}, // 4 bits from entry 8 on
        {"an entry just made",
         2,
         {{4, 3}, {1, 3}, {6, 3}, {5, 3}},
         true}, // 6 = "1 1", made by this very code
        {"several clears first", 2, {{4, 3}, {4, 3}, {2, 3}, {5, 3}}, true},
        {"clear in the middle", 2, {{4, 3}, {1, 3}, {1, 3}, {4, 3}, {3, 3}, {5, 3}}, true},
        {"no end code", 2, {{4, 3}, {1, 3}}, true},
        {"a link past the next entry", 2, {{4, 3}, {1, 3}, {7, 3}, {5, 3}}, false},
        {"first code not a literal", 2, {{4, 3}, {6, 3}, {5, 3}}, false},
        {"end code right after a clear", 2, {{4, 3}, {1, 3}, {4, 3}, {5, 3}}, false},
        {"two clears in the middle", 2, {{4, 3}, {1, 3}, {4, 3}, {4, 3}, {1, 3}}, false},
        {"code size 1", 1, {{2, 2}, {0, 2}, {3, 2}}, false},
        {"code size 9", 9, {{512, 10}, {0, 10}, {513, 10}}, false},
        {"code size 13", 13, {}, false},
    };
    for (const LzwCase& lzw : cases)
    {
        EXPECT_EQ(Sound(MakeGif(lzw.minimumCodeSize, PackCodes(lzw.codes))), lzw.sound) << lzw.name;
        // Sub-block boundaries anywhere make no difference.
        EXPECT_EQ(Sound(MakeGif(lzw.minimumCodeSize, PackCodes(lzw.codes), 1)), lzw.sound) << lzw.name;
    }
}

TEST(ImageStructure, GifCodeSizeGrowsAsTheTableFills)
{
    // Code size 2: entries 6 and 7 are made by the 2nd and 3rd codes; once
    // entry 8 is next the codes are 4 bits wide, and then link to 8 at most.
    std::vector<std::pair<std::uint32_t, std::uint32_t>> codes = {{4, 3}, {0, 3}, {1, 3}, {2, 3}};
    codes.push_back({8, 4}); // the entry about to be made: allowed
    codes.push_back({5, 4});
    EXPECT_TRUE(Sound(MakeGif(2, PackCodes(codes))));
    codes[4] = {9, 4}; // one past it
    EXPECT_FALSE(Sound(MakeGif(2, PackCodes(codes))));
}

TEST(ImageStructure, GifFrameDataMustBePresent)
{
    const Bytes gif = MakeGif(2, PackCodes({{4, 3}, {0, 3}, {5, 3}}));
    // Cut inside the descriptor or before the code size: refused. Cut inside
    // the data: the decoder stops where it ends, which is safe.
    const std::size_t dataStart = 13 + 12 + 10;
    for (std::size_t length = 13; length <= dataStart; ++length)
    {
        const Bytes cut = Prefix(gif, length);
        const std::optional<ImageHeader> header = ReadImageHeader(cut);
        if (header)
        {
            EXPECT_FALSE(CheckImageStructure(*header, cut)) << length;
        }
    }
    EXPECT_TRUE(Sound(Prefix(gif, dataStart + 2)));
}

TEST(ImageStructure, FuzzFoundGifWithACodeTableLoopIsRefused)
{
    // The input that made SDL2_image's GIF decoder overrun its decoding
    // stack and free a wild pointer.
    EXPECT_FALSE(Sound(ReadBytes(DataDir() / "lzw_overrun.gif")));
}

} // namespace
} // namespace Marrowvane
