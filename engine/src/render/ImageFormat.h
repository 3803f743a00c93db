#pragma once

#include <cstdint>

namespace Marrowvane
{

// The image file formats the texture cache decodes, told apart by their
// content, never by the file name.
enum class ImageFormat : std::uint8_t
{
    Png,
    Jpeg,
    Bmp,
    Gif,
    Tiff,
};

} // namespace Marrowvane
