#include "render/ImageDrawing.h"

#include <cmath>
#include <cstring>
#include <vector>

#if (defined(__x86_64__) || defined(__i386__)) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define MARROWVANE_X86_KERNELS 1
#else
#define MARROWVANE_X86_KERNELS 0
#endif

namespace Marrowvane
{
namespace
{

// ---- Blending -------------------------------------------------------------
//
// round(y / 255) for y in [0, 65025] is ((y + 128) + ((y + 128) >> 8)) >> 8,
// exactly. The scalar form runs the four channels side by side in 16-bit
// lanes of one 64-bit word (0x00AA00RR00GG00BB); no lane ever exceeds 65407.

constexpr std::uint64_t laneMask = 0x00FF00FF00FF00FFull;
constexpr std::uint64_t laneHalf = 0x0080008000800080ull;
constexpr std::uint32_t alphaBits = 0xFF000000u;

std::uint64_t Spread(std::uint32_t pixel)
{
    return ((std::uint64_t{pixel} & 0xFF00FF00u) << 24) | (pixel & 0x00FF00FFu);
}

std::uint32_t Compact(std::uint64_t lanes)
{
    return static_cast<std::uint32_t>((lanes & 0x00FF00FFu) | ((lanes >> 24) & 0xFF00FF00u));
}

inline std::uint32_t Blend(std::uint32_t source, std::uint32_t destination)
{
    const std::uint32_t alpha = source >> 24;
    if (alpha == 255)
    {
        return source;
    }
    if (alpha == 0)
    {
        return destination;
    }
    // The alpha lane of the source counts as 255, which makes the result's
    // alpha a + dA * (1 - a).
    std::uint64_t lanes = Spread(source | alphaBits) * alpha + Spread(destination) * (255 - alpha) + laneHalf;
    lanes = ((lanes + ((lanes >> 8) & laneMask)) >> 8) & laneMask;
    return Compact(lanes);
}

// Each kernel blends row[columns[i]] over destination[i] for i in [0, count),
// where row holds rowLength texels and the columns rise or fall monotonically.
// The texels are gathered straight into registers, never through a buffer,
// since wide loads of freshly stored narrow values stall.
void BlendRowScalar(std::uint32_t* destination, const std::uint32_t* row, std::int32_t,
                    const std::int32_t* columns, std::int32_t count)
{
    for (std::int32_t i = 0; i < count; ++i)
    {
        destination[i] = Blend(row[columns[i]], destination[i]);
    }
}

// Copies row[columns[i]] to destination[i]: the texels of an opaque run.
void CopyRowScalar(std::uint32_t* destination, const std::uint32_t* row, std::int32_t,
                   const std::int32_t* columns, std::int32_t count)
{
    for (std::int32_t i = 0; i < count; ++i)
    {
        destination[i] = row[columns[i]];
    }
}

#if MARROWVANE_X86_KERNELS

// The eight texels row[at[0]] ... row[at[7]]. The columns rise or fall
// monotonically, so when the first and last are at most seven apart all eight
// lie in one window of eight texels: one load and one permute. Otherwise
// (an image drawn smaller than it is) they are loaded one by one.
__attribute__((target("avx2"))) inline __m256i GatherEightAvx2(const std::uint32_t* row,
                                                               std::int32_t rowLength, const std::int32_t* at)
{
    const std::int32_t first = at[0];
    const std::int32_t last = at[7];
    const std::int32_t low = first < last ? first : last;
    const std::int32_t high = first < last ? last : first;
    if (high - low <= 7 && rowLength >= 8)
    {
        const std::int32_t base = low <= rowLength - 8 ? low : rowLength - 8;
        const __m256i window = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row + base));
        const __m256i indices = _mm256_sub_epi32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(at)),
                                                 _mm256_set1_epi32(base));
        return _mm256_permutevar8x32_epi32(window, indices);
    }
    return _mm256_setr_epi32(static_cast<int>(row[at[0]]), static_cast<int>(row[at[1]]),
                             static_cast<int>(row[at[2]]), static_cast<int>(row[at[3]]),
                             static_cast<int>(row[at[4]]), static_cast<int>(row[at[5]]),
                             static_cast<int>(row[at[6]]), static_cast<int>(row[at[7]]));
}

// Eight texels gathered into one register and stored at once.
__attribute__((target("avx2"))) void CopyRowAvx2(std::uint32_t* destination, const std::uint32_t* row,
                                                 std::int32_t rowLength, const std::int32_t* columns,
                                                 std::int32_t count)
{
    std::int32_t i = 0;
    for (; i + 8 <= count; i += 8)
    {
        const __m256i s = GatherEightAvx2(row, rowLength, columns + i);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(destination + i), s);
    }
    _mm256_zeroupper();
    CopyRowScalar(destination + i, row, rowLength, columns + i, count - i);
}

// Four pixels at a time; all-opaque and all-transparent groups are stored or
// skipped whole.
__attribute__((target("sse2"))) void BlendRowSse2(std::uint32_t* destination, const std::uint32_t* row,
                                                  std::int32_t rowLength, const std::int32_t* columns,
                                                  std::int32_t count)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i alphaMask = _mm_set1_epi32(static_cast<int>(alphaBits));
    const __m128i full = _mm_set1_epi16(255);
    const __m128i half = _mm_set1_epi16(128);
    std::int32_t i = 0;
    for (; i + 4 <= count; i += 4)
    {
        const __m128i s =
            _mm_setr_epi32(static_cast<int>(row[columns[i]]), static_cast<int>(row[columns[i + 1]]),
                           static_cast<int>(row[columns[i + 2]]), static_cast<int>(row[columns[i + 3]]));
        const __m128i sourceAlpha = _mm_and_si128(s, alphaMask);
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(sourceAlpha, alphaMask)) == 0xFFFF)
        {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(destination + i), s);
            continue;
        }
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(sourceAlpha, zero)) == 0xFFFF)
        {
            continue;
        }
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(destination + i));
        const __m128i value = _mm_or_si128(s, alphaMask);
        const __m128i lowSource = _mm_unpacklo_epi8(s, zero);
        const __m128i highSource = _mm_unpackhi_epi8(s, zero);
        const __m128i lowAlpha = _mm_shufflehi_epi16(_mm_shufflelo_epi16(lowSource, 0xFF), 0xFF);
        const __m128i highAlpha = _mm_shufflehi_epi16(_mm_shufflelo_epi16(highSource, 0xFF), 0xFF);
        __m128i low = _mm_add_epi16(
            _mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(value, zero), lowAlpha),
                          _mm_mullo_epi16(_mm_unpacklo_epi8(d, zero), _mm_sub_epi16(full, lowAlpha))),
            half);
        __m128i high = _mm_add_epi16(
            _mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(value, zero), highAlpha),
                          _mm_mullo_epi16(_mm_unpackhi_epi8(d, zero), _mm_sub_epi16(full, highAlpha))),
            half);
        low = _mm_srli_epi16(_mm_add_epi16(low, _mm_srli_epi16(low, 8)), 8);
        high = _mm_srli_epi16(_mm_add_epi16(high, _mm_srli_epi16(high, 8)), 8);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(destination + i), _mm_packus_epi16(low, high));
    }
    BlendRowScalar(destination + i, row, rowLength, columns + i, count - i);
}

// Eight pixels of 16-bit lanes: source over destination. A source whose
// alpha lane is 0 leaves its destination as it was.
__attribute__((target("avx2"))) inline __m256i BlendEightAvx2(__m256i s, __m256i d)
{
    const __m256i zero = _mm256_setzero_si256();
    const __m256i alphaMask = _mm256_set1_epi32(static_cast<int>(alphaBits));
    const __m256i full = _mm256_set1_epi16(255);
    const __m256i half = _mm256_set1_epi16(128);
    // Spread each pixel's alpha byte over the four 16-bit lanes of that pixel.
    const __m256i lowAlphaShuffle = _mm256_setr_epi8(3, -1, 3, -1, 3, -1, 3, -1, 7, -1, 7, -1, 7, -1, 7, -1,
                                                     3, -1, 3, -1, 3, -1, 3, -1, 7, -1, 7, -1, 7, -1, 7, -1);
    const __m256i highAlphaShuffle =
        _mm256_setr_epi8(11, -1, 11, -1, 11, -1, 11, -1, 15, -1, 15, -1, 15, -1, 15, -1, 11, -1, 11, -1, 11,
                         -1, 11, -1, 15, -1, 15, -1, 15, -1, 15, -1);
    const __m256i value = _mm256_or_si256(s, alphaMask);
    const __m256i lowAlpha = _mm256_shuffle_epi8(s, lowAlphaShuffle);
    const __m256i highAlpha = _mm256_shuffle_epi8(s, highAlphaShuffle);
    __m256i low = _mm256_add_epi16(
        _mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(value, zero), lowAlpha),
                         _mm256_mullo_epi16(_mm256_unpacklo_epi8(d, zero), _mm256_sub_epi16(full, lowAlpha))),
        half);
    __m256i high =
        _mm256_add_epi16(_mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(value, zero), highAlpha),
                                          _mm256_mullo_epi16(_mm256_unpackhi_epi8(d, zero),
                                                             _mm256_sub_epi16(full, highAlpha))),
                         half);
    low = _mm256_srli_epi16(_mm256_add_epi16(low, _mm256_srli_epi16(low, 8)), 8);
    high = _mm256_srli_epi16(_mm256_add_epi16(high, _mm256_srli_epi16(high, 8)), 8);
    return _mm256_packus_epi16(low, high);
}

// Eight pixels at a time, otherwise as the SSE2 kernel; the last one to seven
// go through masked loads and stores, so nothing past the row is touched.
__attribute__((target("avx2"))) void BlendRowAvx2(std::uint32_t* destination, const std::uint32_t* row,
                                                  std::int32_t rowLength, const std::int32_t* columns,
                                                  std::int32_t count)
{
    const __m256i alphaMask = _mm256_set1_epi32(static_cast<int>(alphaBits));
    std::int32_t i = 0;
    for (; i + 8 <= count; i += 8)
    {
        const __m256i s = GatherEightAvx2(row, rowLength, columns + i);
        const __m256i sourceAlpha = _mm256_and_si256(s, alphaMask);
        if (_mm256_movemask_epi8(_mm256_cmpeq_epi32(sourceAlpha, alphaMask)) == -1)
        {
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(destination + i), s);
            continue;
        }
        if (_mm256_testz_si256(s, alphaMask))
        {
            continue;
        }
        const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(destination + i));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(destination + i), BlendEightAvx2(s, d));
    }
    const std::int32_t left = count - i;
    if (left > 0)
    {
        // Lanes past the end repeat the last texel and are then cleared to
        // alpha 0 by the mask, which keeps every load inside the row.
        const std::int32_t* at = columns + i;
        const std::int32_t last = left - 1;
        const auto texel = [&](std::int32_t lane)
        { return static_cast<int>(row[at[lane < last ? lane : last]]); };
        const __m256i lanes = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
        const __m256i mask = _mm256_cmpgt_epi32(_mm256_set1_epi32(left), lanes);
        const __m256i s = _mm256_and_si256(mask, _mm256_setr_epi32(texel(0), texel(1), texel(2), texel(3),
                                                                   texel(4), texel(5), texel(6), texel(7)));
        int* const target = reinterpret_cast<int*>(destination + i);
        const __m256i d = _mm256_maskload_epi32(target, mask);
        _mm256_maskstore_epi32(target, mask, BlendEightAvx2(s, d));
    }
    _mm256_zeroupper();
}

#endif

using BlendRowFunction = void (*)(std::uint32_t*, const std::uint32_t*, std::int32_t, const std::int32_t*,
                                  std::int32_t);

BlendRowFunction CopyFunction(BlendKernel kernel)
{
#if MARROWVANE_X86_KERNELS
    if (kernel == BlendKernel::Avx2)
    {
        return CopyRowAvx2;
    }
#endif
    (void)kernel;
    return CopyRowScalar;
}

BlendRowFunction KernelFunction(BlendKernel kernel)
{
    switch (kernel)
    {
#if MARROWVANE_X86_KERNELS
    case BlendKernel::Sse2: return BlendRowSse2;
    case BlendKernel::Avx2: return BlendRowAvx2;
#endif
    default: return BlendRowScalar;
    }
}

// ---- Geometry ---------------------------------------------------------------

// The pixels [first, end) of [0, limit) whose centres lie in [start, start +
// size), in double arithmetic. Centre p + 0.5 >= start holds exactly for
// p >= ceil(start - 0.5), and p + 0.5 < e for p < ceil(e - 0.5); both
// subtractions are exact wherever the answer can fall inside a surface.
bool CoveredSpan(float start, float size, std::int32_t limit, std::int32_t& first, std::int32_t& end)
{
    const double from = start;
    const double to = from + static_cast<double>(size);
    if (!(from < to))
    {
        return false; // empty, negative, NaN, or -inf + inf
    }
    double low = std::ceil(from - 0.5);
    double high = std::ceil(to - 0.5);
    if (low < 0.0)
    {
        low = 0.0;
    }
    if (high > static_cast<double>(limit))
    {
        high = static_cast<double>(limit);
    }
    if (!(low < high))
    {
        return false;
    }
    first = static_cast<std::int32_t>(low);
    end = static_cast<std::int32_t>(high);
    return true;
}

// The texel index of covered pixel p along one axis, before any flip.
std::int32_t TexelIndex(std::int32_t pixel, double start, double size, std::int32_t texels)
{
    const double t = ((static_cast<double>(pixel) + 0.5) - start) / size * static_cast<double>(texels);
    if (t >= static_cast<double>(texels))
    {
        return texels - 1;
    }
    return t >= 0.0 ? static_cast<std::int32_t>(t) : 0;
}

// Per-thread working rows, grown to the widest sprite seen and then reused,
// so drawing allocates nothing in the steady state.
struct DrawScratch
{
    std::vector<std::int32_t> columns;    // texel column of each covered pixel column
    std::vector<std::int32_t> rows;       // texel row of each covered pixel row
    std::vector<std::int32_t> texelStart; // first covered column at or after each texel column
};

thread_local DrawScratch scratch;

// Rows ahead whose pixels are asked for while the current row is drawn.
constexpr std::int32_t prefetchRows = 2;

inline void PrefetchForWrite(const void* address)
{
#if defined(__GNUC__) || defined(__clang__)
    __builtin_prefetch(address, 1);
#else
    (void)address;
#endif
}

template <typename T>
T* Grow(std::vector<T>& buffer, std::size_t size)
{
    if (buffer.size() < size)
    {
        buffer.resize(size);
    }
    return buffer.data();
}

} // namespace

std::uint32_t BlendPixel(std::uint32_t source, std::uint32_t destination)
{
    return Blend(source, destination);
}

bool IsBlendKernelAvailable(BlendKernel kernel)
{
    switch (kernel)
    {
    case BlendKernel::Scalar: return true;
#if MARROWVANE_X86_KERNELS
    case BlendKernel::Sse2: return __builtin_cpu_supports("sse2");
    case BlendKernel::Avx2: return __builtin_cpu_supports("avx2");
#endif
    default: return false;
    }
}

BlendKernel BestBlendKernel()
{
    static const BlendKernel best = []
    {
        for (BlendKernel kernel : {BlendKernel::Avx2, BlendKernel::Sse2})
        {
            if (IsBlendKernelAvailable(kernel))
            {
                return kernel;
            }
        }
        return BlendKernel::Scalar;
    }();
    return best;
}

void BlendRow(BlendKernel kernel, std::uint32_t* destination, const std::uint32_t* row,
              std::int32_t rowLength, const std::int32_t* columns, std::int32_t count)
{
    if (!IsBlendKernelAvailable(kernel))
    {
        kernel = BlendKernel::Scalar;
    }
    KernelFunction(kernel)(destination, row, rowLength, columns, count);
}

void DrawImage(const Surface& target, const Image& image, float sx, float sy, float sw, float sh, bool flipX,
               bool flipY)
{
    if (target.pixels == nullptr || target.width <= 0 || target.height <= 0)
    {
        return;
    }
    std::int32_t x0 = 0;
    std::int32_t x1 = 0;
    std::int32_t y0 = 0;
    std::int32_t y1 = 0;
    if (!CoveredSpan(sx, sw, target.width, x0, x1) || !CoveredSpan(sy, sh, target.height, y0, y1))
    {
        return;
    }
    static const BlendRowFunction blendRow = KernelFunction(BestBlendKernel());
    static const BlendRowFunction copyRow = CopyFunction(BestBlendKernel());

    const std::int32_t width = image.GetWidth();
    const std::int32_t height = image.GetHeight();
    const std::int32_t count = x1 - x0;
    std::int32_t* columns = Grow(scratch.columns, static_cast<std::size_t>(count));
    for (std::int32_t i = 0; i < count; ++i)
    {
        const std::int32_t u = TexelIndex(x0 + i, sx, sw, width);
        columns[i] = flipX ? width - 1 - u : u;
    }

    // Runs of a texel row map to spans of covered columns through
    // texelStart, worth building while the image is not much wider than the
    // span it is drawn into.
    const bool useRuns = width <= 4 * count + 16;
    std::int32_t* texelStart = nullptr;
    if (useRuns)
    {
        texelStart = Grow(scratch.texelStart, static_cast<std::size_t>(width) + 1);
        std::int32_t texel = 0;
        for (std::int32_t i = 0; i < count; ++i)
        {
            const std::int32_t unflipped = flipX ? width - 1 - columns[i] : columns[i];
            while (texel <= unflipped)
            {
                texelStart[texel++] = i;
            }
        }
        while (texel <= width)
        {
            texelStart[texel++] = count;
        }
    }

    std::int32_t* rows = Grow(scratch.rows, static_cast<std::size_t>(y1 - y0));
    for (std::int32_t py = y0; py < y1; ++py)
    {
        const std::int32_t v = TexelIndex(py, sy, sh, height);
        rows[py - y0] = flipY ? height - 1 - v : v;
    }

    for (std::int32_t py = y0; py < y1; ++py)
    {
        const std::int32_t v = rows[py - y0];
        std::uint32_t* destination = target.Row(py) + x0;
        if (py + prefetchRows < y1)
        {
            // Fetch a later row's pixels meanwhile: rows of a surface lie far
            // apart, which the processor's own prefetching does not follow.
            const std::uint8_t* ahead =
                reinterpret_cast<const std::uint8_t*>(target.Row(py + prefetchRows) + x0);
            for (std::int32_t offset = 0; offset < count * 4; offset += 64)
            {
                PrefetchForWrite(ahead + offset);
            }
            PrefetchForWrite(ahead + count * 4 - 1);
        }
        const std::uint32_t* source = image.GetRow(v);
        const std::span<const Image::Run> runs = image.GetRuns(v);
        if (!useRuns || runs.size() * 4 > static_cast<std::size_t>(count))
        {
            blendRow(destination, source, width, columns, count);
            continue;
        }
        std::uint32_t runStart = 0;
        for (const Image::Run& run : runs)
        {
            const auto runEnd = static_cast<std::int32_t>(run.end);
            const auto begin = static_cast<std::int32_t>(runStart);
            runStart = run.end;
            const std::int32_t from = flipX ? texelStart[width - runEnd] : texelStart[begin];
            const std::int32_t to = flipX ? texelStart[width - begin] : texelStart[runEnd];
            if (from >= to || run.kind == Image::RunKind::Transparent)
            {
                continue;
            }
            if (run.kind == Image::RunKind::Opaque)
            {
                copyRow(destination + from, source, width, columns + from, to - from);
            }
            else
            {
                blendRow(destination + from, source, width, columns + from, to - from);
            }
        }
    }
}

} // namespace Marrowvane
