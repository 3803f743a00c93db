#pragma once

#include "render/Surface.h"

#include <filesystem>

namespace Marrowvane
{

// Writes a surface as an opaque 8-bit RGB PNG file (the alpha byte of each
// pixel is ignored). The file is written beside its final name and moved into
// place only when complete, so a failure leaves whatever was at the path
// untouched. False on any failure (an empty surface included); nothing is
// logged, the caller reports. The binding lives in platform/<binding>/.
bool WritePngFile(const Surface& image, const std::filesystem::path& path);

} // namespace Marrowvane
