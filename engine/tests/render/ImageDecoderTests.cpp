#include "render/ImageDecoder.h"

#include "platform/ImageCodec.h"

#include "TextureTestFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#if __has_include(<sys/stat.h>)
#include <sys/stat.h>
#define MARROWVANE_TEST_FIFO 1
#endif

namespace Marrowvane
{
namespace
{

using TextureTestFiles::Bytes;
using TextureTestFiles::DataDir;
using TextureTestFiles::ReadBytes;
using TextureTestFiles::ScratchDir;

// ---- Limits ----------------------------------------------------------------------

struct SizeCase
{
    std::uint32_t width;
    std::uint32_t height;
    ImageDecodeStatus status;
};

TEST(ImageDecoderLimits, DeclaredSizes)
{
    const std::vector<SizeCase> cases = {
        {1, 1, ImageDecodeStatus::Decoded},
        {0, 1, ImageDecodeStatus::EmptyImage},
        {1, 0, ImageDecodeStatus::EmptyImage},
        {0, 100000, ImageDecodeStatus::EmptyImage},
        {16384, 1, ImageDecodeStatus::Decoded},
        {1, 16384, ImageDecodeStatus::Decoded},
        {16385, 1, ImageDecodeStatus::ImageTooLarge},
        {1, 16385, ImageDecodeStatus::ImageTooLarge},
        {8192, 8192, ImageDecodeStatus::Decoded},  // exactly 67108864 pixels
        {16384, 4096, ImageDecodeStatus::Decoded}, // the same count, wide
        {16384, 4097, ImageDecodeStatus::ImageTooLarge},
        {8193, 8192, ImageDecodeStatus::ImageTooLarge},
        {16384, 16384, ImageDecodeStatus::ImageTooLarge},
        {100000, 100000, ImageDecodeStatus::ImageTooLarge},
        {0xFFFFFFFFu, 0xFFFFFFFFu, ImageDecodeStatus::ImageTooLarge}, // no overflow in the product
    };
    for (const SizeCase& size : cases)
    {
        EXPECT_EQ(CheckImageSize(size.width, size.height), size.status) << size.width << "x" << size.height;
    }
    EXPECT_EQ(maxImageFileBytes, 64ull * 1024 * 1024);
    EXPECT_EQ(maxImageSide, 16384u);
    EXPECT_EQ(maxImagePixels, 67108864ull);
}

// A stand-in for the platform decoder that counts its calls.
int spyCalls = 0;
ImageHeader spyHeader;

bool SpyDecoder(const ImageHeader& header, std::span<const std::uint8_t>, std::vector<std::uint32_t>& pixels)
{
    ++spyCalls;
    spyHeader = header;
    pixels.assign(std::size_t{header.width} * header.height, 0xFF123456u);
    return true;
}

bool ShortDecoder(const ImageHeader&, std::span<const std::uint8_t>, std::vector<std::uint32_t>& pixels)
{
    ++spyCalls;
    pixels.assign(1, 0);
    return true;
}

TEST(ImageDecoderLimits, OversizedHeaderNeverReachesTheDecoder)
{
    // 100000 x 100000 declared in a few dozen bytes: refused from the header,
    // before any decoder (and so any pixel buffer) is involved.
    spyCalls = 0;
    const Bytes huge = ReadBytes(DataDir() / "huge.png");
    ASSERT_LT(huge.size(), 100u);
    const ImageDecodeResult result = DecodeImageBytes(huge, SpyDecoder);
    EXPECT_EQ(result.status, ImageDecodeStatus::ImageTooLarge);
    EXPECT_FALSE(result.image.has_value());
    EXPECT_EQ(spyCalls, 0);

    // The real decoder refuses it the same way: without the check SDL2_image
    // would ask for 40 GB here.
    EXPECT_EQ(DecodeImageBytes(huge).status, ImageDecodeStatus::ImageTooLarge);
    EXPECT_EQ(DecodeImageFile(DataDir() / "huge.png").status, ImageDecodeStatus::ImageTooLarge);
}

TEST(ImageDecoderLimits, EachFormatIsHeldToTheLimits)
{
    // Crafted headers of every format just over a limit and at zero.
    spyCalls = 0;
    const std::vector<std::pair<Bytes, ImageDecodeStatus>> cases = {
        {TextureTestFiles::MakePng(16385, 1, {}), ImageDecodeStatus::ImageTooLarge},
        {TextureTestFiles::MakePng(0, 1, {}), ImageDecodeStatus::EmptyImage},
        {{0xFF, 0xD8, 0xFF, 0xC0, 0, 11, 8, 0x40, 0x01, 0x40, 0x01, 1, 1, 0x11, 0},
         ImageDecodeStatus::ImageTooLarge}, // JPEG 16385 x 16385
        {{0xFF, 0xD8, 0xFF, 0xC0, 0, 11, 8, 0, 0, 0, 16, 1, 1, 0x11, 0}, ImageDecodeStatus::EmptyImage},
        {{'B', 'M', 0, 0, 0, 0, 0, 0,    0,    0, 54, 0, 0, 0,  40,
          0,   0,   0, 1, 0, 0, 0, 0x01, 0x40, 0, 0,  1, 0, 24, 0},
         ImageDecodeStatus::ImageTooLarge}, // BMP 1 x 16385
        {{'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0, 0, 0, 0x2C, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0},
         ImageDecodeStatus::ImageTooLarge}, // GIF frame 65535 x 65535 on a 1x1 screen
        {{'I', 'I', 42,   0, 8, 0, 0, 0, 2, 0, 0, 1, 3, 0, 1,    0, 0,
          0,   0,   0x40, 0, 0, 1, 1, 3, 0, 1, 0, 0, 0, 0, 0x40, 0, 0},
         ImageDecodeStatus::ImageTooLarge}, // TIFF 16384 x 16384
    };
    for (std::size_t i = 0; i < cases.size(); ++i)
    {
        EXPECT_EQ(DecodeImageBytes(cases[i].first, SpyDecoder).status, cases[i].second) << "case " << i;
    }
    EXPECT_EQ(spyCalls, 0);
}

TEST(ImageDecoderLimits, FileOverTheLimitIsNotRead)
{
    ScratchDir dir;
    const auto path = dir / "big.png";
    TextureTestFiles::WriteBytes(path, ReadBytes(DataDir() / "four.png"));
    // A sparse file one byte over 64 MiB, starting with a valid PNG.
    std::filesystem::resize_file(path, maxImageFileBytes + 1);
    EXPECT_EQ(DecodeImageFile(path).status, ImageDecodeStatus::FileTooLarge);
    std::filesystem::resize_file(path, maxImageFileBytes);
    EXPECT_EQ(DecodeImageFile(path).status,
              ImageDecodeStatus::Decoded); // trailing bytes after IEND are ignored
}

TEST(ImageDecoderLimits, DecoderSeesTheCheckedHeaderAndMustMatchIt)
{
    spyCalls = 0;
    const Bytes png = ReadBytes(DataDir() / "four.png");
    const ImageDecodeResult result = DecodeImageBytes(png, SpyDecoder);
    EXPECT_EQ(spyCalls, 1);
    EXPECT_EQ(spyHeader, (ImageHeader{ImageFormat::Png, 2, 2}));
    ASSERT_TRUE(result.image.has_value());
    EXPECT_EQ(result.image->GetPixel(1, 1), 0xFF123456u);

    // A decoder that hands back the wrong number of pixels is a failure.
    EXPECT_EQ(DecodeImageBytes(png, ShortDecoder).status, ImageDecodeStatus::DecodeFailed);
}

// ---- The real decoders ------------------------------------------------------------

struct DecodeCase
{
    const char* file;
    std::int32_t width;
    std::int32_t height;
    std::vector<std::uint32_t> pixels;
};

TEST(ImageDecoderFiles, EveryFormatDecodesToStraightArgb)
{
    const std::vector<std::uint32_t> four = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFF00};
    const std::vector<std::uint32_t> alpha = {0x00FF0000, 0xFF00FF00, 0x800000FF, 0x40FFFFFF};
    const std::vector<DecodeCase> cases = {
        {"four.png", 2, 2, four},
        {"alpha.png", 2, 2, alpha}, // straight alpha: colour kept under alpha 0 and 64
        {"rgb.png", 2, 1, {0xFFFF0000, 0xFF0000FF}},
        {"palette.png", 2, 1, {0x80FF0000, 0xFF0000FF}},
        {"four.bmp", 2, 2, four},
        {"four_core.bmp", 2, 2, four},
        {"alpha_top_down.bmp", 2, 2, alpha},
        {"four.gif", 2, 2, {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0x00FFFF00}}, // index 3 is transparent
        {"smallframe.gif", 1, 2, {0xFFFF0000, 0xFF00FF00}},
        {"four.tif", 2, 2, four},
        {"four_be.tif", 2, 2, four},
    };
    for (const DecodeCase& decode : cases)
    {
        const ImageDecodeResult result = DecodeImageFile(DataDir() / decode.file);
        ASSERT_EQ(result.status, ImageDecodeStatus::Decoded) << decode.file;
        ASSERT_TRUE(result.image.has_value()) << decode.file;
        EXPECT_EQ(result.image->GetWidth(), decode.width) << decode.file;
        EXPECT_EQ(result.image->GetHeight(), decode.height) << decode.file;
        EXPECT_EQ(result.image->GetPixels(), decode.pixels) << decode.file;
    }
}

TEST(ImageDecoderFiles, JpegDecodesOpaqueWithItsColours)
{
    const ImageDecodeResult result = DecodeImageFile(DataDir() / "halves.jpg");
    ASSERT_TRUE(result.image.has_value());
    ASSERT_EQ(result.image->GetWidth(), 16);
    ASSERT_EQ(result.image->GetHeight(), 8);
    for (const std::uint32_t pixel : result.image->GetPixels())
    {
        EXPECT_EQ(pixel >> 24, 255u);
    }
    // Lossy: near red on the left, near blue on the right.
    const auto near = [](std::uint32_t pixel, std::uint32_t expected)
    {
        for (int shift = 0; shift < 24; shift += 8)
        {
            if (std::abs(static_cast<int>((pixel >> shift) & 0xFF) -
                         static_cast<int>((expected >> shift) & 0xFF)) > 8)
            {
                return false;
            }
        }
        return true;
    };
    EXPECT_TRUE(near(result.image->GetPixel(0, 0), 0xFFFF0000));
    EXPECT_TRUE(near(result.image->GetPixel(15, 7), 0xFF0000FF));
}

TEST(ImageDecoderFiles, WhatIsNotADecodableImage)
{
    ScratchDir dir;
    TextureTestFiles::WriteBytes(dir / "empty.png", {});
    std::filesystem::create_directory(dir / "folder.png");
    const std::vector<std::pair<std::filesystem::path, ImageDecodeStatus>> cases = {
        {DataDir() / "notimage.png", ImageDecodeStatus::UnknownFormat},
        {DataDir() / "truncated.png", ImageDecodeStatus::Malformed}, // its chunks stop before IEND
        {DataDir() / "chunk_past_end.png", ImageDecodeStatus::Malformed},
        {DataDir() / "lzw_overrun.gif", ImageDecodeStatus::Malformed},
        {dir / "empty.png", ImageDecodeStatus::UnknownFormat},
        {dir / "folder.png", ImageDecodeStatus::NotARegularFile},
        {dir / "absent.png", ImageDecodeStatus::NotARegularFile},
        {"/dev/zero", ImageDecodeStatus::NotARegularFile},
    };
    for (const auto& [path, status] : cases)
    {
        const ImageDecodeResult result = DecodeImageFile(path);
        EXPECT_EQ(result.status, status) << path;
        EXPECT_FALSE(result.image.has_value()) << path;
    }
}

TEST(ImageDecoderFiles, PngChunkRunningPastTheEndNeitherHangsNorDecodes)
{
    // A 99-byte PNG whose tRNS chunk claims 59 bytes past the end of the
    // file. Fed to SDL2_image from a plain memory stream, libpng re-read the
    // stale chunk header forever. The chunk walk refuses it first; and the
    // decoder's own stream, given it anyway, ends in an error, not a loop.
    const Bytes file = ReadBytes(DataDir() / "chunk_past_end.png");
    EXPECT_EQ(DecodeImageBytes(file).status, ImageDecodeStatus::Malformed);
    std::vector<std::uint32_t> pixels;
    EXPECT_FALSE(DecodeImagePixels(ImageHeader{ImageFormat::Png, 2, 1}, file, pixels));
    EXPECT_TRUE(pixels.empty());
    const Bytes truncated = ReadBytes(DataDir() / "truncated.png");
    EXPECT_FALSE(DecodeImagePixels(ImageHeader{ImageFormat::Png, 2, 2}, truncated, pixels));
}

#ifdef MARROWVANE_TEST_FIFO
TEST(ImageDecoderFiles, NamedPipeIsRefusedWithoutBlocking)
{
    // Opening a pipe with no writer would wait forever.
    ScratchDir dir;
    const auto path = dir / "pipe.png";
    ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    EXPECT_EQ(DecodeImageFile(path).status, ImageDecodeStatus::NotARegularFile);
}
#endif

TEST(ImageDecoderFiles, GarbageAfterAValidSignatureNeverCrashes)
{
    // Every fixture with one byte flipped at each position: refused or
    // decoded, never read out of bounds (checked by the sanitizer build).
    for (const char* file : {"four.png", "four.bmp", "four.gif", "four.tif", "halves.jpg"})
    {
        const Bytes whole = ReadBytes(DataDir() / file);
        for (std::size_t at = 0; at < whole.size(); ++at)
        {
            Bytes changed = whole;
            changed[at] ^= 0xA5;
            const ImageDecodeResult result = DecodeImageBytes(changed);
            if (result.image)
            {
                EXPECT_EQ(result.status, ImageDecodeStatus::Decoded);
                EXPECT_LE(result.image->GetWidth(), static_cast<std::int32_t>(maxImageSide));
            }
        }
    }
}

} // namespace
} // namespace Marrowvane
