// Sprites at 1280x720 beside two peers on the same scene, in one run: SDL2's
// software renderer (SDL_RenderCopyEx, nearest scaling, alpha blending) and
// pixman (a nearest-filtered OVER composite through a scale transform, from a
// premultiplied copy of the texture). The scene: 10,000 sprites of a 32x32
// RGBA texture scaled to 48x48, a tenth of them flipped, some crossing the
// frame's edges. Two textures: a soft disc whose alpha falls from 255 at the
// centre to 0 at the rim ("varying alpha"), and a hard disc of alpha 0 or 255
// only. Beside them: the same scene through Renderer::DrawSprites (sorting,
// texture lookups, culling, projection), and the texture-cache lookup alone,
// with the heap allocations it makes. The last entry prints the figures and
// the ratios against the targets.

#include "BenchFigures.h"
#include "platform/Window.h"
#include "render/ImageDrawing.h"
#include "render/Renderer.h"

#include <SDL.h>
#include <SDL_image.h>
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <map>
#include <new>
#include <string>
#include <vector>

// Counts heap allocations made through operator new, for the cache lookup's
// figure. It forwards to malloc and changes nothing else; kept out of line so
// the compiler pairs each delete with this new, not with malloc.
namespace
{
std::atomic<std::uint64_t> allocationCount{0};
}

[[gnu::noinline]] void* operator new(std::size_t size)
{
    allocationCount.fetch_add(1, std::memory_order_relaxed);
    if (void* block = std::malloc(size == 0 ? 1 : size))
    {
        return block;
    }
    throw std::bad_alloc();
}

[[gnu::noinline]] void operator delete(void* block) noexcept
{
    std::free(block);
}

[[gnu::noinline]] void operator delete(void* block, std::size_t) noexcept
{
    std::free(block);
}

namespace Marrowvane
{
namespace
{

constexpr int frameWidth = 1280;
constexpr int frameHeight = 720;
constexpr int spriteCount = 10000;
constexpr int textureSide = 32;
constexpr int spriteSide = 48;

struct Placement
{
    int x;
    int y;
    bool flipX;
    bool flipY;
};

// The same scattered sprites for every contender; every tenth is flipped,
// those alternately left to right and top to bottom.
const std::vector<Placement>& Scene()
{
    static const std::vector<Placement> scene = []
    {
        std::vector<Placement> placed;
        std::uint32_t seed = 4242;
        const auto next = [&seed]()
        {
            seed = seed * 1664525u + 1013904223u;
            return seed >> 8;
        };
        for (int i = 0; i < spriteCount; ++i)
        {
            const int x = static_cast<int>(next() % (frameWidth + spriteSide)) - spriteSide;
            const int y = static_cast<int>(next() % (frameHeight + spriteSide)) - spriteSide;
            const bool flipped = i % 10 == 0;
            placed.push_back({x, y, flipped && i % 20 == 0, flipped && i % 20 != 0});
        }
        return placed;
    }();
    return scene;
}

enum class AlphaKind
{
    Varying,
    ZeroOrFull,
};

// 0xAARRGGBB, straight alpha: a disc with colours that change across it.
std::vector<std::uint32_t> TexturePixels(AlphaKind kind)
{
    std::vector<std::uint32_t> pixels;
    for (int y = 0; y < textureSide; ++y)
    {
        for (int x = 0; x < textureSide; ++x)
        {
            const double dx = x + 0.5 - textureSide / 2.0;
            const double dy = y + 0.5 - textureSide / 2.0;
            const double distance = std::sqrt(dx * dx + dy * dy) / (textureSide / 2.0);
            std::uint32_t alpha = 0;
            if (kind == AlphaKind::Varying)
            {
                alpha =
                    distance >= 1.0 ? 0 : static_cast<std::uint32_t>(std::lround(255.0 * (1.0 - distance)));
            }
            else
            {
                alpha = distance < 1.0 ? 255 : 0;
            }
            const std::uint32_t red = 40 + static_cast<std::uint32_t>(x) * 6;
            const std::uint32_t green = 60 + static_cast<std::uint32_t>(y) * 5;
            const std::uint32_t blue = 200 - static_cast<std::uint32_t>(x + y) * 2;
            pixels.push_back((alpha << 24) | (red << 16) | (green << 8) | blue);
        }
    }
    return pixels;
}

const char* KindName(AlphaKind kind)
{
    return kind == AlphaKind::Varying ? "varying" : "zero-or-full";
}

struct Frame
{
    std::vector<std::uint32_t> pixels =
        std::vector<std::uint32_t>(std::size_t{frameWidth} * frameHeight, 0xFF204060u);
    Surface surface{frameWidth, frameHeight, frameWidth * 4, pixels.data()};
};

using Bench::Figures;
using Bench::Measure;

// ---- the canvas's image rule
void BM_Sprites_Canvas(benchmark::State& state, AlphaKind kind)
{
    Frame frame;
    const Image image(textureSide, textureSide, TexturePixels(kind));
    const auto& scene = Scene();
    Measure(state, std::string("canvas/") + KindName(kind),
            [&]
            {
                for (const Placement& sprite : scene)
                {
                    DrawImage(frame.surface, image, static_cast<float>(sprite.x),
                              static_cast<float>(sprite.y), spriteSide, spriteSide, sprite.flipX,
                              sprite.flipY);
                }
            });
}

// ---- the whole Renderer path, on a window of SDL's offscreen driver
struct RendererTarget
{
    Window window;
    Renderer renderer;
    bool ready = false;
    RendererTarget()
    {
        Window::RequestHeadless();
        ready = window.Create(frameWidth, frameHeight, "Sprite benchmark");
        renderer.Initialize(window);
        renderer.BeginFrame(Color3{32, 64, 96});
        ready = ready && renderer.GetBackBuffer().width == frameWidth;
    }
};

std::filesystem::path BenchFolder()
{
    return std::filesystem::path(MARROWVANE_BINARY_DIR) / "bench-sprites";
}

// Writes the texture as a PNG under the build tree and returns its path.
std::filesystem::path WriteTexture(AlphaKind kind, const std::string& name)
{
    std::filesystem::create_directories(BenchFolder());
    const std::filesystem::path path = BenchFolder() / name;
    std::vector<std::uint32_t> pixels = TexturePixels(kind);
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(pixels.data(), textureSide, textureSide, 32,
                                                              textureSide * 4, SDL_PIXELFORMAT_ARGB8888);
    if (surface != nullptr)
    {
        IMG_SavePNG(surface, path.c_str());
        SDL_FreeSurface(surface);
    }
    return path;
}

std::vector<SpriteCommand> SceneCommands(const std::filesystem::path& texture)
{
    std::vector<SpriteCommand> sprites;
    for (const Placement& placed : Scene())
    {
        SpriteCommand sprite;
        sprite.x = static_cast<float>(placed.x);
        sprite.y = static_cast<float>(placed.y);
        sprite.width = spriteSide;
        sprite.height = spriteSide;
        sprite.texturePath = texture;
        sprite.flipX = placed.flipX;
        sprite.flipY = placed.flipY;
        sprites.push_back(sprite);
    }
    return sprites;
}

void BM_Sprites_Renderer(benchmark::State& state, AlphaKind kind)
{
    RendererTarget target;
    if (!target.ready)
    {
        state.SkipWithError("no offscreen window");
        return;
    }
    const std::vector<SpriteCommand> sprites =
        SceneCommands(WriteTexture(kind, std::string("disc-") + KindName(kind) + ".png"));
    target.renderer.DrawSprites(sprites); // loads the texture once
    Measure(state, std::string("renderer/") + KindName(kind), [&] { target.renderer.DrawSprites(sprites); });
}

// ---- SDL2's software renderer on a surface of the same size
struct SdlTarget
{
    SDL_Surface* surface =
        SDL_CreateRGBSurfaceWithFormat(0, frameWidth, frameHeight, 32, SDL_PIXELFORMAT_RGB888);
    SDL_Renderer* renderer = surface != nullptr ? SDL_CreateSoftwareRenderer(surface) : nullptr;
    SDL_Texture* texture = nullptr;
    ~SdlTarget()
    {
        if (texture != nullptr)
        {
            SDL_DestroyTexture(texture);
        }
        if (renderer != nullptr)
        {
            SDL_DestroyRenderer(renderer);
        }
        if (surface != nullptr)
        {
            SDL_FreeSurface(surface);
        }
    }
};

void BM_Sprites_SdlRenderer(benchmark::State& state, AlphaKind kind)
{
    SdlTarget target;
    if (target.renderer == nullptr)
    {
        state.SkipWithError(SDL_GetError());
        return;
    }
    std::vector<std::uint32_t> pixels = TexturePixels(kind);
    SDL_Surface* source = SDL_CreateRGBSurfaceWithFormatFrom(pixels.data(), textureSide, textureSide, 32,
                                                             textureSide * 4, SDL_PIXELFORMAT_ARGB8888);
    target.texture = SDL_CreateTextureFromSurface(target.renderer, source);
    SDL_FreeSurface(source);
    if (target.texture == nullptr)
    {
        state.SkipWithError(SDL_GetError());
        return;
    }
    SDL_SetTextureBlendMode(target.texture, SDL_BLENDMODE_BLEND);
    SDL_SetTextureScaleMode(target.texture, SDL_ScaleModeNearest);
    SDL_SetRenderDrawColor(target.renderer, 32, 64, 96, 255);
    SDL_RenderClear(target.renderer);
    const auto& scene = Scene();
    Measure(state, std::string("sdl/") + KindName(kind),
            [&]
            {
                for (const Placement& sprite : scene)
                {
                    const SDL_Rect box{sprite.x, sprite.y, spriteSide, spriteSide};
                    const int flip =
                        (sprite.flipX ? SDL_FLIP_HORIZONTAL : 0) | (sprite.flipY ? SDL_FLIP_VERTICAL : 0);
                    SDL_RenderCopyEx(target.renderer, target.texture, nullptr, &box, 0.0, nullptr,
                                     static_cast<SDL_RendererFlip>(flip));
                }
                SDL_RenderFlush(target.renderer);
            });
}

// ---- pixman
struct PixmanSources
{
    std::vector<std::uint32_t> premultiplied;
    pixman_image_t* images[3] = {}; // plain, flipped left to right, flipped top to bottom

    explicit PixmanSources(AlphaKind kind)
    {
        for (const std::uint32_t pixel : TexturePixels(kind))
        {
            const std::uint32_t alpha = pixel >> 24;
            std::uint32_t out = alpha << 24;
            for (int shift = 0; shift < 24; shift += 8)
            {
                out |= ((((pixel >> shift) & 0xFF) * alpha + 127) / 255) << shift;
            }
            premultiplied.push_back(out);
        }
        // The transform maps frame pixels to texture pixels: scale 32/48,
        // mirrored about the texture's middle for the flipped ones.
        const pixman_fixed_t scale = pixman_double_to_fixed(double{textureSide} / spriteSide);
        const pixman_fixed_t side = pixman_int_to_fixed(textureSide);
        const pixman_transform_t transforms[3] = {
            {{{scale, 0, 0}, {0, scale, 0}, {0, 0, pixman_fixed_1}}},
            {{{-scale, 0, side}, {0, scale, 0}, {0, 0, pixman_fixed_1}}},
            {{{scale, 0, 0}, {0, -scale, side}, {0, 0, pixman_fixed_1}}},
        };
        for (int i = 0; i < 3; ++i)
        {
            images[i] = pixman_image_create_bits(PIXMAN_a8r8g8b8, textureSide, textureSide,
                                                 premultiplied.data(), textureSide * 4);
            pixman_image_set_transform(images[i], &transforms[i]);
            pixman_image_set_filter(images[i], PIXMAN_FILTER_NEAREST, nullptr, 0);
            pixman_image_set_repeat(images[i], PIXMAN_REPEAT_NONE);
        }
    }
    ~PixmanSources()
    {
        for (pixman_image_t* image : images)
        {
            pixman_image_unref(image);
        }
    }
};

void BM_Sprites_Pixman(benchmark::State& state, AlphaKind kind)
{
    Frame frame;
    pixman_image_t* destination = pixman_image_create_bits(PIXMAN_x8r8g8b8, frameWidth, frameHeight,
                                                           frame.pixels.data(), frameWidth * 4);
    const PixmanSources sources(kind);
    const auto& scene = Scene();
    Measure(state, std::string("pixman/") + KindName(kind),
            [&]
            {
                for (const Placement& sprite : scene)
                {
                    pixman_image_t* source = sources.images[sprite.flipX ? 1 : (sprite.flipY ? 2 : 0)];
                    pixman_image_composite32(PIXMAN_OP_OVER, source, nullptr, destination, 0, 0, 0, 0,
                                             sprite.x, sprite.y, spriteSide, spriteSide);
                }
            });
    pixman_image_unref(destination);
}

// ---- the texture cache: one lookup per sprite of a path already seen
std::uint64_t& LookupAllocations()
{
    static std::uint64_t allocations = 0;
    return allocations;
}

void BM_TextureLookup(benchmark::State& state)
{
    // 16 textures under one absolute folder, the sprites cycling over them.
    Renderer renderer;
    renderer.SetAssetRoot(BenchFolder());
    std::vector<std::filesystem::path> paths;
    for (int i = 0; i < 16; ++i)
    {
        paths.push_back(WriteTexture(i % 2 == 0 ? AlphaKind::Varying : AlphaKind::ZeroOrFull,
                                     "lookup-texture-" + std::to_string(i) + ".png"));
    }
    for (const auto& path : paths)
    {
        renderer.GetTexture(path);
    }
    std::uint64_t allocations = 0;
    std::uint64_t lookups = 0;
    Measure(state, "lookup",
            [&]
            {
                const std::uint64_t before = allocationCount.load(std::memory_order_relaxed);
                for (int i = 0; i < spriteCount; ++i)
                {
                    benchmark::DoNotOptimize(
                        renderer.GetTexture(paths[static_cast<std::size_t>(i) % paths.size()]));
                }
                allocations += allocationCount.load(std::memory_order_relaxed) - before;
                lookups += spriteCount;
            });
    LookupAllocations() = lookups > 0 ? allocations / lookups : 0;
    Figures()["lookup-allocations-total"] = static_cast<double>(allocations);
    Figures()["lookup-count"] = static_cast<double>(lookups);

    // A relative path under the asset root: the key is built in a reused
    // buffer, still without allocating.
    const std::filesystem::path relative = "lookup-texture-3.png";
    renderer.GetTexture(relative);
    const std::uint64_t before = allocationCount.load(std::memory_order_relaxed);
    for (int i = 0; i < 1000; ++i)
    {
        benchmark::DoNotOptimize(renderer.GetTexture(relative));
    }
    Figures()["lookup-relative-allocations"] =
        static_cast<double>(allocationCount.load(std::memory_order_relaxed) - before);
}

double Milliseconds(const std::string& name)
{
    const auto found = Figures().find(name);
    return found == Figures().end() ? -1.0 : found->second * 1000.0;
}

void BM_SpriteSummary(benchmark::State& state)
{
    for (auto _ : state)
    {
    }
    std::printf("\nSprites at %dx%d: %d of %dx%d RGBA scaled to %dx%d, a tenth flipped (kernel: %s):\n",
                frameWidth, frameHeight, spriteCount, textureSide, textureSide, spriteSide, spriteSide,
                BestBlendKernel() == BlendKernel::Avx2
                    ? "AVX2"
                    : (BestBlendKernel() == BlendKernel::Sse2 ? "SSE2" : "scalar"));
    for (const char* kind : {"varying", "zero-or-full"})
    {
        const double canvas = Milliseconds(std::string("canvas/") + kind);
        const double renderer = Milliseconds(std::string("renderer/") + kind);
        const double pixman = Milliseconds(std::string("pixman/") + kind);
        const double sdl = Milliseconds(std::string("sdl/") + kind);
        std::printf(
            "  alpha %-13s canvas %8.3f ms | pixman %8.3f ms (canvas/pixman %.2f, target <= 1.0) | SDL "
            "%8.3f ms (SDL/canvas %.1fx, target >= 5x)\n",
            kind, canvas, pixman, pixman > 0 ? canvas / pixman : 0.0, sdl, canvas > 0 ? sdl / canvas : 0.0);
        std::printf("  %-19s Renderer::DrawSprites %8.3f ms (renderer/pixman %.2f, SDL/renderer %.1fx)\n", "",
                    renderer, pixman > 0 ? renderer / pixman : 0.0, renderer > 0 ? sdl / renderer : 0.0);
    }
    const double lookups = Figures()["lookup-count"];
    std::printf("  texture lookup (path seen before): %.1f ns per sprite, %.0f allocations in %.0f lookups; "
                "relative path under the asset root: %.0f allocations in 1000 (target: none)\n\n",
                lookups > 0 ? Milliseconds("lookup") * 1e6 / spriteCount : 0.0,
                Figures()["lookup-allocations-total"], lookups, Figures()["lookup-relative-allocations"]);
    std::fflush(stdout);
}

BENCHMARK_CAPTURE(BM_Sprites_Canvas, varying, AlphaKind::Varying)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Sprites_Pixman, varying, AlphaKind::Varying)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Sprites_SdlRenderer, varying, AlphaKind::Varying)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Sprites_Renderer, varying, AlphaKind::Varying)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Sprites_Canvas, zero_or_full, AlphaKind::ZeroOrFull)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Sprites_Pixman, zero_or_full, AlphaKind::ZeroOrFull)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Sprites_SdlRenderer, zero_or_full, AlphaKind::ZeroOrFull)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Sprites_Renderer, zero_or_full, AlphaKind::ZeroOrFull)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TextureLookup)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SpriteSummary)->Iterations(1);

} // namespace
} // namespace Marrowvane
