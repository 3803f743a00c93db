#pragma once

#include "render/Image.h"
#include "render/Surface.h"

#include <cstdint>

namespace Marrowvane
{

// The canvas's image rule: how an Image is drawn into a destination
// rectangle (sx, sy, sw, sh) of a Surface, in pixels, with float edges.
//
// Coverage. Pixel (px, py) is drawn when its centre lies in the rectangle,
// half-open: sx <= px + 0.5 < sx + sw and sy <= py + 0.5 < sy + sh.
//
// Sampling (nearest texel, centre of the pixel):
//     u = floor(((px + 0.5) - sx) / sw * imageWidth),  clamped to [0, imageWidth - 1]
//     v = floor(((py + 0.5) - sy) / sh * imageHeight), clamped to [0, imageHeight - 1]
// flipX takes texel column imageWidth - 1 - u instead, flipY row
// imageHeight - 1 - v: the picture is mirrored inside the same rectangle.
//
// Arithmetic. Every sum, quotient and product above is one IEEE double
// operation on the float inputs, evaluated left to right as written (sx + sw
// too), so the rule is total: a NaN anywhere, or an empty or negative size,
// draws nothing; an infinite size stretches texel 0 (or the last one, flipped)
// to the surface's edge; and no input overflows, however large.
//
// Blending (BlendPixel): source-over with straight alpha a of the texel.
// Each colour channel becomes round((s * a + d * (255 - a)) / 255) and the
// alpha channel round((255 * a + dA * (255 - a)) / 255); the quotient is never
// a tie, since 255 is odd. So alpha 0 keeps the pixel beneath as it was,
// alpha 255 replaces it with the texel, and an opaque surface stays opaque.
//
// Texels are read from the image only; pixels outside the surface are never
// touched. Drawing skips runs of alpha-0 texels and copies runs of alpha-255
// ones, which gives exactly what the blend would.
void DrawImage(const Surface& target, const Image& image, float sx, float sy, float sw, float sh, bool flipX,
               bool flipY);

// One texel over one pixel, by the blending rule above.
std::uint32_t BlendPixel(std::uint32_t source, std::uint32_t destination);

} // namespace Marrowvane

namespace Marrowvane
{

// The row blenders behind DrawImage: for i in [0, count),
// destination[i] = BlendPixel(row[columns[i]], destination[i]), where row
// holds rowLength texels and the columns rise or fall monotonically (as a
// drawn rectangle's texel columns do). Every kernel gives the same pixels;
// DrawImage uses the fastest one the processor has. Named here for tests and
// benchmarks.
enum class BlendKernel : std::uint8_t
{
    Scalar,
    Sse2,
    Avx2,
};

bool IsBlendKernelAvailable(BlendKernel kernel);
BlendKernel BestBlendKernel();
void BlendRow(BlendKernel kernel, std::uint32_t* destination, const std::uint32_t* row,
              std::int32_t rowLength, const std::int32_t* columns, std::int32_t count);

} // namespace Marrowvane
