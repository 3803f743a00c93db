#pragma once

#include "render/ImageHeader.h"

#include <cstdint>
#include <span>

namespace Marrowvane
{

// Checks, before a file is decoded, the parts of its structure that
// SDL2_image's decoders trust without checking, with a header that
// ReadImageHeader accepted:
// - PNG: every chunk up to IEND lies whole inside the file. The PNG loader
//   ignores short reads, and libpng then reads a stale chunk forever.
// - GIF: the first frame's LZW data is sound: a code size of 2 to 8 bits, a
//   literal after every clear code, and no code beyond the next free table
//   entry. The GIF loader follows table links without bounds, so a crafted
//   code table overruns its decoding stack and corrupts the heap; and a frame
//   it cannot start decoding makes it move on to a later frame, whose size
//   nobody checked.
// JPEG, BMP and TIFF have nothing to check here.
bool CheckImageStructure(const ImageHeader& header, std::span<const std::uint8_t> bytes);

} // namespace Marrowvane
