#pragma once

#include "render/ImageFormat.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace Marrowvane
{

// What the first bytes of an image file say about it: its format and the
// pixel size the decoder will allocate for it.
struct ImageHeader
{
    ImageFormat format = ImageFormat::Png;
    std::uint32_t width = 0;
    std::uint32_t height = 0;

    friend bool operator==(const ImageHeader&, const ImageHeader&) = default;
};

// Identifies PNG, JPEG, BMP, GIF and classic TIFF by their signatures.
std::optional<ImageFormat> SniffImageFormat(std::span<const std::uint8_t> bytes);

// Reads the declared size from the header of a file of a known format, the
// same size its decoder allocates: PNG's IHDR (which must be the first
// chunk), the first JPEG frame header (SOFn) before any scan, the BMP info
// header (16-bit sizes for the 12-byte core header, otherwise 32-bit signed
// with a negative height for top-down rows), the first GIF image descriptor,
// and ImageWidth/ImageLength of the first TIFF directory. The walk is strict:
// anything truncated, out of place or ambiguous gives nullopt rather than a
// guess, so a decoder can never see a larger image than the one checked here.
// A declared size of zero is returned as such; the caller refuses it.
std::optional<ImageHeader> ReadImageHeader(std::span<const std::uint8_t> bytes);

} // namespace Marrowvane
