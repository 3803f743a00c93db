#pragma once

#include "render/ImageHeader.h"

#include <cstdint>
#include <span>
#include <vector>

namespace Marrowvane
{

// Decodes one whole image file held in memory, of the format and size that
// its header declares (ReadImageHeader), into pixels: width * height words of
// 0xAARRGGBB with straight alpha, rows top to bottom. Returns false, with
// pixels left empty, when the file does not decode or decodes to another
// size than declared. Call it only for a header whose size has passed the
// limits: the decoder allocates that size.
bool DecodeImagePixels(const ImageHeader& header, std::span<const std::uint8_t> file,
                       std::vector<std::uint32_t>& pixels);

} // namespace Marrowvane
