#pragma once

#include "render/Image.h"
#include "render/ImageHeader.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

namespace Marrowvane
{

// Limits on what the texture cache decodes. Game projects can hold anything,
// so a file is measured before it is read and an image's declared size is
// checked before any pixel buffer exists.
constexpr std::uint64_t maxImageFileBytes = 64ull * 1024 * 1024;
constexpr std::uint32_t maxImageSide = 16384;
constexpr std::uint64_t maxImagePixels = 67108864; // 8192 x 8192, 256 MiB of pixels

enum class ImageDecodeStatus : std::uint8_t
{
    Decoded,
    NotARegularFile, // a directory, a device, a pipe, or its type could not be read
    FileTooLarge,    // over maxImageFileBytes
    ReadFailed,
    UnknownFormat, // not PNG, JPEG, BMP, GIF or TIFF by content
    BadHeader,     // the format's header is truncated or malformed
    EmptyImage,    // a declared width or height of zero
    ImageTooLarge, // a side over maxImageSide or more than maxImagePixels
    Malformed,     // shaped to drive the decoder into a loop or out of bounds (CheckImageStructure)
    DecodeFailed,  // the decoder refused the data, or memory ran out
};

struct ImageDecodeResult
{
    ImageDecodeStatus status = ImageDecodeStatus::DecodeFailed;
    std::optional<Image> image; // set exactly when status is Decoded
};

// Whether a declared size may be decoded: Decoded when it passes the limits,
// else EmptyImage or ImageTooLarge.
ImageDecodeStatus CheckImageSize(std::uint32_t width, std::uint32_t height);

// The pixel decoder behind DecodeImageBytes; the platform's DecodeImagePixels
// unless a test puts another in its place.
using PixelDecoder = bool (*)(const ImageHeader& header, std::span<const std::uint8_t> file,
                              std::vector<std::uint32_t>& pixels);

// The whole decode path for a file held in memory: identify the format by
// content, read and check the declared size, check the structure the decoder
// relies on, decode, convert.
ImageDecodeResult DecodeImageBytes(std::span<const std::uint8_t> file, PixelDecoder decoder = nullptr);

// The same for a file on disk, which must be a regular file of at most
// maxImageFileBytes. Never throws.
ImageDecodeResult DecodeImageFile(const std::filesystem::path& path);

} // namespace Marrowvane
