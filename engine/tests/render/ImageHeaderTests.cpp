#include "render/ImageHeader.h"

#include "TextureTestFiles.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace Marrowvane
{
namespace
{

using TextureTestFiles::Bytes;
using TextureTestFiles::DataDir;
using TextureTestFiles::ReadBytes;

Bytes Text(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

Bytes Concat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& part : parts)
    {
        out.insert(out.end(), part.begin(), part.end());
    }
    return out;
}

Bytes Prefix(const Bytes& bytes, std::size_t length)
{
    return Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length));
}

void PutU16Le(Bytes& out, std::uint32_t value)
{
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void PutU32Le(Bytes& out, std::uint32_t value)
{
    PutU16Le(out, value & 0xFFFF);
    PutU16Le(out, value >> 16);
}

// ---- Sniffing -----------------------------------------------------------------

struct SniffCase
{
    const char* name;
    Bytes bytes;
    std::optional<ImageFormat> format;
};

TEST(ImageHeaderSniff, KnowsTheFiveFormatsByContentAlone)
{
    const std::vector<SniffCase> cases = {
        {"png", {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}, ImageFormat::Png},
        {"png without the last byte", {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A}, std::nullopt},
        {"png with a broken line-end check", {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0D}, std::nullopt},
        {"jpeg", {0xFF, 0xD8, 0xFF}, ImageFormat::Jpeg},
        {"jpeg start of image alone", {0xFF, 0xD8}, std::nullopt},
        {"bmp", Text("BM"), ImageFormat::Bmp},
        {"lower-case bm", Text("bm"), std::nullopt},
        {"gif87a", Text("GIF87a"), ImageFormat::Gif},
        {"gif89a", Text("GIF89a"), ImageFormat::Gif},
        {"gif of an unknown version", Text("GIF90a"), std::nullopt},
        {"tiff little-endian", {'I', 'I', 42, 0}, ImageFormat::Tiff},
        {"tiff big-endian", {'M', 'M', 0, 42}, ImageFormat::Tiff},
        {"bigtiff", {'I', 'I', 43, 0}, std::nullopt},
        {"tiff with mixed byte orders", {'I', 'M', 42, 0}, std::nullopt},
        {"webp", Text("RIFF\x10\x00\x00\x00WEBPVP8 "), std::nullopt},
        {"text", Text("hello"), std::nullopt},
        {"empty", {}, std::nullopt},
    };
    for (const SniffCase& sniff : cases)
    {
        EXPECT_EQ(SniffImageFormat(sniff.bytes), sniff.format) << sniff.name;
    }
}

TEST(ImageHeaderSniff, FileNameDoesNotMatter)
{
    // A PNG named .bmp is a PNG; a text file named .png is nothing.
    EXPECT_EQ(SniffImageFormat(ReadBytes(DataDir() / "four.png")), ImageFormat::Png);
    EXPECT_EQ(SniffImageFormat(ReadBytes(DataDir() / "notimage.png")), std::nullopt);
}

// ---- Declared sizes of real files ------------------------------------------------

struct FixtureCase
{
    const char* file;
    ImageHeader header;
};

TEST(ImageHeaderRead, FixturesDeclareTheirSizes)
{
    const std::vector<FixtureCase> cases = {
        {"four.png", {ImageFormat::Png, 2, 2}},
        {"rgb.png", {ImageFormat::Png, 2, 1}},
        {"palette.png", {ImageFormat::Png, 2, 1}},
        {"huge.png", {ImageFormat::Png, 100000, 100000}},
        {"halves.jpg", {ImageFormat::Jpeg, 16, 8}},
        {"four.bmp", {ImageFormat::Bmp, 2, 2}},
        {"four_core.bmp", {ImageFormat::Bmp, 2, 2}},
        {"alpha_top_down.bmp", {ImageFormat::Bmp, 2, 2}},
        {"four.gif", {ImageFormat::Gif, 2, 2}},
        {"smallframe.gif", {ImageFormat::Gif, 1, 2}}, // the frame, not the 3x4 screen
        {"four.tif", {ImageFormat::Tiff, 2, 2}},
        {"four_be.tif", {ImageFormat::Tiff, 2, 2}},
    };
    for (const FixtureCase& fixture : cases)
    {
        const std::optional<ImageHeader> header = ReadImageHeader(ReadBytes(DataDir() / fixture.file));
        ASSERT_TRUE(header.has_value()) << fixture.file;
        EXPECT_EQ(*header, fixture.header) << fixture.file;
    }
}

TEST(ImageHeaderRead, EveryPrefixOfEveryFixtureIsSafe)
{
    // Cut short anywhere, a header is either refused or read whole; nothing
    // reads past the end (the sanitizer build checks that).
    for (const char* file : {"four.png", "halves.jpg", "four.bmp", "four_core.bmp", "alpha_top_down.bmp",
                             "four.gif", "smallframe.gif", "four.tif", "four_be.tif"})
    {
        const Bytes whole = ReadBytes(DataDir() / file);
        const std::optional<ImageHeader> full = ReadImageHeader(whole);
        ASSERT_TRUE(full.has_value()) << file;
        for (std::size_t length = 0; length < whole.size(); ++length)
        {
            const Bytes prefix(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length));
            const std::optional<ImageHeader> header = ReadImageHeader(prefix);
            if (header)
            {
                EXPECT_EQ(*header, *full) << file << " cut at " << length;
            }
        }
    }
}

// ---- PNG -------------------------------------------------------------------------

TEST(ImageHeaderRead, PngNeedsIhdrAsTheFirstChunk)
{
    Bytes png = ReadBytes(DataDir() / "four.png");
    Bytes renamed = png;
    renamed[12] = 'I';
    renamed[13] = 'D';
    renamed[14] = 'A';
    renamed[15] = 'T';
    EXPECT_EQ(ReadImageHeader(renamed), std::nullopt);
    Bytes longer = png;
    longer[11] = 14; // an IHDR of another length
    EXPECT_EQ(ReadImageHeader(longer), std::nullopt);
}

TEST(ImageHeaderRead, PngSizesAreBigEndianAndZeroIsReported)
{
    const Bytes wide = TextureTestFiles::MakePng(0x01020304, 0, {});
    const std::optional<ImageHeader> header = ReadImageHeader(wide);
    ASSERT_TRUE(header.has_value());
    EXPECT_EQ(header->width, 0x01020304u);
    EXPECT_EQ(header->height, 0u);
}

// ---- JPEG ------------------------------------------------------------------------

Bytes Segment(std::uint8_t marker, const Bytes& payload)
{
    const auto length = static_cast<std::uint32_t>(payload.size() + 2);
    Bytes out = {0xFF, marker, static_cast<std::uint8_t>(length >> 8), static_cast<std::uint8_t>(length)};
    out.insert(out.end(), payload.begin(), payload.end());
    return out;
}

Bytes FrameHeader(std::uint8_t marker, std::uint32_t width, std::uint32_t height)
{
    return Segment(marker,
                   {8, static_cast<std::uint8_t>(height >> 8), static_cast<std::uint8_t>(height),
                    static_cast<std::uint8_t>(width >> 8), static_cast<std::uint8_t>(width), 1, 1, 0x11, 0});
}

struct JpegCase
{
    const char* name;
    Bytes bytes;
    std::optional<ImageHeader> header;
};

TEST(ImageHeaderRead, JpegWalksSegmentsToTheFirstFrameHeader)
{
    const Bytes soi = {0xFF, 0xD8};
    const Bytes app0 = Segment(0xE0, Text("JFIF\0\1\1\0\0\1\0\1\0\0"));
    const Bytes table = Segment(0xDB, Bytes(65, 1));
    const Bytes huffman = Segment(0xC4, Bytes(20, 0)); // C4 is a table, not a frame
    const Bytes scan = Segment(0xDA, Bytes(8, 0));
    const std::vector<JpegCase> cases = {
        {"baseline", Concat({soi, app0, table, FrameHeader(0xC0, 640, 480)}),
         ImageHeader{ImageFormat::Jpeg, 640, 480}},
        {"progressive after a huffman table", Concat({soi, huffman, FrameHeader(0xC2, 3, 65535)}),
         ImageHeader{ImageFormat::Jpeg, 3, 65535}},
        {"fill bytes before a marker", Concat({soi, {0xFF, 0xFF}, FrameHeader(0xC1, 7, 9)}),
         ImageHeader{ImageFormat::Jpeg, 7, 9}},
        {"restart marker standing alone", Concat({soi, {0xFF, 0xD0}, FrameHeader(0xC0, 5, 6)}),
         ImageHeader{ImageFormat::Jpeg, 5, 6}},
        {"zero lines (a DNL marker would say)", Concat({soi, FrameHeader(0xC0, 16, 0)}),
         ImageHeader{ImageFormat::Jpeg, 16, 0}},
        {"scan before any frame", Concat({soi, scan, FrameHeader(0xC0, 1, 1)}), std::nullopt},
        {"end of image before any frame", Concat({soi, {0xFF, 0xD9}}), std::nullopt},
        {"second start of image", Concat({soi, soi, FrameHeader(0xC0, 1, 1)}), std::nullopt},
        {"stray byte between segments", Concat({soi, app0, {0x00}, FrameHeader(0xC0, 1, 1)}), std::nullopt},
        {"segment length below two", Concat({soi, {0xFF, 0xE0, 0x00, 0x01}, FrameHeader(0xC0, 1, 1)}),
         std::nullopt},
        {"segment longer than the file", Concat({soi, {0xFF, 0xE0, 0x40, 0x00, 1, 2, 3}}), std::nullopt},
        {"frame header too short", Concat({soi, Segment(0xC0, {8, 0, 1})}), std::nullopt},
        {"no frame at all", Concat({soi, app0}), std::nullopt},
    };
    for (const JpegCase& jpeg : cases)
    {
        EXPECT_EQ(ReadImageHeader(jpeg.bytes), jpeg.header) << jpeg.name;
    }
}

// ---- BMP -------------------------------------------------------------------------

Bytes BmpHeader(std::uint32_t infoSize, std::uint32_t width, std::uint32_t height)
{
    Bytes out = Text("BM");
    PutU32Le(out, 0);
    PutU32Le(out, 0);
    PutU32Le(out, 54);
    PutU32Le(out, infoSize);
    if (infoSize == 12)
    {
        PutU16Le(out, width);
        PutU16Le(out, height);
        PutU16Le(out, 1);
        PutU16Le(out, 24);
    }
    else
    {
        PutU32Le(out, width);
        PutU32Le(out, height);
        PutU16Le(out, 1);
        PutU16Le(out, 24);
        out.resize(14 + std::max<std::size_t>(infoSize, 16), 0);
    }
    return out;
}

struct BmpCase
{
    const char* name;
    Bytes bytes;
    std::optional<ImageHeader> header;
};

TEST(ImageHeaderRead, BmpInfoHeaders)
{
    const std::vector<BmpCase> cases = {
        {"info header", BmpHeader(40, 300, 200), ImageHeader{ImageFormat::Bmp, 300, 200}},
        {"top-down rows", BmpHeader(40, 300, static_cast<std::uint32_t>(-200)),
         ImageHeader{ImageFormat::Bmp, 300, 200}},
        {"v5 header", BmpHeader(124, 1, 1), ImageHeader{ImageFormat::Bmp, 1, 1}},
        {"os/2 2.x short header", BmpHeader(16, 4, 5), ImageHeader{ImageFormat::Bmp, 4, 5}},
        {"core header, unsigned 16-bit", BmpHeader(12, 65535, 65535),
         ImageHeader{ImageFormat::Bmp, 65535, 65535}},
        {"largest signed height", BmpHeader(40, 1, 0x7FFFFFFF), ImageHeader{ImageFormat::Bmp, 1, 0x7FFFFFFF}},
        {"most negative height", BmpHeader(40, 1, 0x80000000u), std::nullopt},
        {"negative width", BmpHeader(40, static_cast<std::uint32_t>(-5), 5), std::nullopt},
        {"zero width", BmpHeader(40, 0, 5), ImageHeader{ImageFormat::Bmp, 0, 5}},
        {"unknown header size", BmpHeader(13, 1, 1), std::nullopt},
        {"header size alone", Prefix(BmpHeader(40, 1, 1), 18), std::nullopt},
    };
    for (const BmpCase& bmp : cases)
    {
        EXPECT_EQ(ReadImageHeader(bmp.bytes), bmp.header) << bmp.name;
    }
}

// ---- GIF -------------------------------------------------------------------------

Bytes GifStart(std::uint32_t screenWidth, std::uint32_t screenHeight, std::uint8_t flags)
{
    Bytes out = Text("GIF89a");
    PutU16Le(out, screenWidth);
    PutU16Le(out, screenHeight);
    out.insert(out.end(), {flags, 0, 0});
    if ((flags & 0x80) != 0)
    {
        out.resize(out.size() + 3u * (2u << (flags & 7)), 0x11);
    }
    return out;
}

Bytes GifDescriptor(std::uint32_t width, std::uint32_t height)
{
    Bytes out = {0x2C, 0, 0, 0, 0};
    PutU16Le(out, width);
    PutU16Le(out, height);
    out.push_back(0);
    return out;
}

struct GifCase
{
    const char* name;
    Bytes bytes;
    std::optional<ImageHeader> header;
};

TEST(ImageHeaderRead, GifTakesTheFirstFrameDescriptor)
{
    const Bytes control = {0x21, 0xF9, 4, 1, 0, 0, 3, 0};
    const Bytes comment = {0x21, 0xFE, 3, 'a', 'b', 'c', 2, 'd', 'e', 0};
    const std::vector<GifCase> cases = {
        {"global table", Concat({GifStart(10, 10, 0xF7), GifDescriptor(4, 3)}),
         ImageHeader{ImageFormat::Gif, 4, 3}},
        {"frame larger than the screen", Concat({GifStart(1, 1, 0), GifDescriptor(65535, 2)}),
         ImageHeader{ImageFormat::Gif, 65535, 2}},
        {"extensions first", Concat({GifStart(8, 8, 0x80), control, comment, GifDescriptor(8, 8)}),
         ImageHeader{ImageFormat::Gif, 8, 8}},
        {"trailer before any frame", Concat({GifStart(8, 8, 0), {0x3B}}), std::nullopt},
        {"stray byte", Concat({GifStart(8, 8, 0), {0x00}, GifDescriptor(8, 8)}), std::nullopt},
        {"extension cut short", Concat({GifStart(8, 8, 0), {0x21, 0xFE, 9, 'a'}}), std::nullopt},
        {"colour table cut short", Prefix(GifStart(8, 8, 0xF7), 40), std::nullopt},
        {"descriptor cut short", Concat({GifStart(8, 8, 0), {0x2C, 0, 0, 0, 0, 1}}), std::nullopt},
    };
    for (const GifCase& gif : cases)
    {
        EXPECT_EQ(ReadImageHeader(gif.bytes), gif.header) << gif.name;
    }
}

// ---- TIFF ------------------------------------------------------------------------

struct TiffEntry
{
    std::uint32_t tag;
    std::uint32_t type;
    std::uint32_t count;
    std::uint32_t value;
};

Bytes Tiff(const std::vector<TiffEntry>& entries, std::uint32_t directory = 8)
{
    Bytes out = {'I', 'I', 42, 0};
    PutU32Le(out, directory);
    out.resize(std::max<std::size_t>(out.size(), 8));
    PutU16Le(out, static_cast<std::uint32_t>(entries.size()));
    for (const TiffEntry& entry : entries)
    {
        PutU16Le(out, entry.tag);
        PutU16Le(out, entry.type);
        PutU32Le(out, entry.count);
        PutU32Le(out, entry.value);
    }
    PutU32Le(out, 0);
    return out;
}

struct TiffCase
{
    const char* name;
    Bytes bytes;
    std::optional<ImageHeader> header;
};

TEST(ImageHeaderRead, TiffFirstDirectoryWidthAndLength)
{
    const std::vector<TiffCase> cases = {
        {"shorts", Tiff({{256, 3, 1, 640}, {257, 3, 1, 480}}), ImageHeader{ImageFormat::Tiff, 640, 480}},
        {"longs among other tags", Tiff({{254, 4, 1, 0}, {256, 4, 1, 70000}, {257, 4, 1, 3}, {258, 3, 1, 8}}),
         ImageHeader{ImageFormat::Tiff, 70000, 3}},
        {"length missing", Tiff({{256, 3, 1, 640}}), std::nullopt},
        {"width repeated", Tiff({{256, 3, 1, 1}, {256, 3, 1, 99999}, {257, 3, 1, 1}}), std::nullopt},
        {"width as a rational", Tiff({{256, 5, 1, 8}, {257, 3, 1, 1}}), std::nullopt},
        {"width with two values", Tiff({{256, 3, 2, 1}, {257, 3, 1, 1}}), std::nullopt},
        {"directory past the end", Tiff({{256, 3, 1, 1}, {257, 3, 1, 1}}, 4000), std::nullopt},
        {"directory offset near 4 GiB", Tiff({{256, 3, 1, 1}, {257, 3, 1, 1}}, 0xFFFFFFFFu), std::nullopt},
    };
    for (const TiffCase& tiff : cases)
    {
        EXPECT_EQ(ReadImageHeader(tiff.bytes), tiff.header) << tiff.name;
    }
    // Entries that promise more than the file holds are refused, not read past.
    Bytes cut = Tiff({{256, 3, 1, 1}, {257, 3, 1, 1}});
    cut[8] = 200;
    EXPECT_EQ(ReadImageHeader(cut), std::nullopt);
}

} // namespace
} // namespace Marrowvane
