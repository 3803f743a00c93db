// The whole image decode path on arbitrary bytes: format sniffing, the
// declared size and its limits, SDL2_image's decoder for that format and the
// conversion into the canvas's pixel format. A decoded image is then drawn
// once, scaled and flipped, so the alpha runs built for it are walked too.
#include "render/ImageDecoder.h"
#include "render/ImageDrawing.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace Marrowvane;
    const ImageDecodeResult result = DecodeImageBytes(std::span<const std::uint8_t>(data, size));
    if (!result.image)
    {
        return 0;
    }
    const Image& image = *result.image;
    if (static_cast<std::uint32_t>(image.GetWidth()) > maxImageSide ||
        static_cast<std::uint32_t>(image.GetHeight()) > maxImageSide ||
        image.GetPixels().size() != static_cast<std::size_t>(image.GetWidth()) * image.GetHeight())
    {
        __builtin_trap();
    }
    std::vector<std::uint32_t> pixels(24 * 16, 0xFF336699u);
    const Surface surface{24, 16, 24 * 4, pixels.data()};
    const float sx = size > 0 ? static_cast<float>(data[0] % 16) - 4.5f : 0.0f;
    DrawImage(surface, image, sx, -1.25f, 17.5f, 13.0f, (size & 1) != 0, (size & 2) != 0);
    return 0;
}
