// The canvas at 1280x720 beside two peers on the same scenes, in one run:
// SDL2's own software renderer (SDL_CreateSoftwareRenderer on a surface) and
// pixman, the rasteriser under cairo and the X servers. Scenes: a clear;
// 10,000 filled 16x16 rects; 10,000 debug outlines of 32x32 (the canvas's
// 2-pixel rule; the peers fill the same four bands). A memset of the frame is
// the floor for the clear. The last entry prints every figure and the ratios.

#include "BenchFigures.h"
#include "render/Canvas.h"
#include "render/Renderer.h"
#include "render/Surface.h"

#include <SDL.h>
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <map>
#include <string>
#include <vector>

namespace Marrowvane
{
namespace
{

constexpr int frameWidth = 1280;
constexpr int frameHeight = 720;
constexpr int rectCount = 10000;
constexpr int fillSide = 16;
constexpr int outlineSide = 32;

struct Placed
{
    int x;
    int y;
    Color3 color;
};

// The same scattered rects for every contender; some cross the frame's edges.
const std::vector<Placed>& Scene(int side)
{
    static std::map<int, std::vector<Placed>> scenes;
    auto& scene = scenes[side];
    if (scene.empty())
    {
        std::uint32_t seed = 12345;
        const auto next = [&seed]()
        {
            seed = seed * 1664525u + 1013904223u;
            return seed >> 8;
        };
        for (int i = 0; i < rectCount; ++i)
        {
            const int x = static_cast<int>(next() % (frameWidth + side)) - side / 2;
            const int y = static_cast<int>(next() % (frameHeight + side)) - side / 2;
            const std::uint32_t rgb = next();
            scene.push_back({x, y,
                             Color3{static_cast<std::uint8_t>(rgb), static_cast<std::uint8_t>(rgb >> 8),
                                    static_cast<std::uint8_t>(rgb >> 16)}});
        }
    }
    return scene;
}

struct Frame
{
    std::vector<std::uint32_t> pixels = std::vector<std::uint32_t>(std::size_t{frameWidth} * frameHeight);
    Surface surface{frameWidth, frameHeight, frameWidth * 4, pixels.data()};
};

using Bench::Figures;
using Bench::Measure;

// The four bands of an outline: the canvas's rule written out as fills.
struct Bands
{
    int x[4], y[4], w[4], h[4];
};

Bands OutlineBands(int left, int top, int right, int bottom)
{
    const int outerLeft = left - 1, outerTop = top - 1;
    const int innerTop = top + 1, innerBottom = bottom - 2;
    const int width = right - outerLeft;
    return Bands{{outerLeft, outerLeft, outerLeft, right - 2},
                 {outerTop, innerBottom, innerTop, innerTop},
                 {width, width, 2, 2},
                 {2, 2, innerBottom - innerTop, innerBottom - innerTop}};
}

// ---- memset: the floor for a clear
void BM_Clear_Memset(benchmark::State& state)
{
    Frame frame;
    int value = 0;
    Measure(state, "clear/memset",
            [&] { std::memset(frame.pixels.data(), ++value & 0xFF, frame.pixels.size() * 4); });
}

// ---- the canvas
void BM_Clear_Canvas(benchmark::State& state)
{
    Frame frame;
    Canvas canvas(frame.surface);
    std::uint32_t value = 0;
    Measure(state, "clear/canvas",
            [&] {
                canvas.Clear(PackPixel(Color3{20, 30, static_cast<std::uint8_t>(++value)}));
            });
}

void BM_Fill_Canvas(benchmark::State& state)
{
    Frame frame;
    Canvas canvas(frame.surface);
    const auto& scene = Scene(fillSide);
    Measure(state, "fill/canvas",
            [&]
            {
                for (const Placed& rect : scene)
                {
                    canvas.FillRect({rect.x, rect.y, rect.x + fillSide, rect.y + fillSide},
                                    PackPixel(rect.color));
                }
            });
}

void BM_Outline_Canvas(benchmark::State& state)
{
    Frame frame;
    Canvas canvas(frame.surface);
    const auto& scene = Scene(outlineSide);
    Measure(state, "outline/canvas",
            [&]
            {
                for (const Placed& rect : scene)
                {
                    canvas.OutlineRect({rect.x, rect.y, rect.x + outlineSide, rect.y + outlineSide},
                                       PackPixel(rect.color));
                }
            });
}

// ---- SDL2's software renderer on a surface of the same size
struct SdlTarget
{
    SDL_Surface* surface =
        SDL_CreateRGBSurfaceWithFormat(0, frameWidth, frameHeight, 32, SDL_PIXELFORMAT_RGB888);
    SDL_Renderer* renderer = surface != nullptr ? SDL_CreateSoftwareRenderer(surface) : nullptr;
    ~SdlTarget()
    {
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

void BM_Clear_SdlRenderer(benchmark::State& state)
{
    SdlTarget target;
    if (target.renderer == nullptr)
    {
        state.SkipWithError(SDL_GetError());
        return;
    }
    Uint8 value = 0;
    Measure(state, "clear/sdl",
            [&]
            {
                SDL_SetRenderDrawColor(target.renderer, 20, 30, ++value, 255);
                SDL_RenderClear(target.renderer);
                SDL_RenderFlush(target.renderer);
            });
}

void BM_Fill_SdlRenderer(benchmark::State& state)
{
    SdlTarget target;
    if (target.renderer == nullptr)
    {
        state.SkipWithError(SDL_GetError());
        return;
    }
    const auto& scene = Scene(fillSide);
    Measure(state, "fill/sdl",
            [&]
            {
                for (const Placed& rect : scene)
                {
                    SDL_SetRenderDrawColor(target.renderer, rect.color.r, rect.color.g, rect.color.b, 255);
                    const SDL_Rect box{rect.x, rect.y, fillSide, fillSide};
                    SDL_RenderFillRect(target.renderer, &box);
                }
                SDL_RenderFlush(target.renderer);
            });
}

void BM_Outline_SdlRenderer(benchmark::State& state)
{
    SdlTarget target;
    if (target.renderer == nullptr)
    {
        state.SkipWithError(SDL_GetError());
        return;
    }
    const auto& scene = Scene(outlineSide);
    Measure(state, "outline/sdl",
            [&]
            {
                for (const Placed& rect : scene)
                {
                    SDL_SetRenderDrawColor(target.renderer, rect.color.r, rect.color.g, rect.color.b, 255);
                    const Bands bands =
                        OutlineBands(rect.x, rect.y, rect.x + outlineSide, rect.y + outlineSide);
                    SDL_Rect boxes[4];
                    for (int i = 0; i < 4; ++i)
                    {
                        boxes[i] = SDL_Rect{bands.x[i], bands.y[i], bands.w[i], bands.h[i]};
                    }
                    SDL_RenderFillRects(target.renderer, boxes, 4);
                }
                SDL_RenderFlush(target.renderer);
            });
}

// The same 2-pixel outline as two nested 1-pixel SDL outlines: the outer ring
// through left-1, top-1, right-1, bottom-1 and the inner one a pixel inside.
// SDL draws these as lines; whichever of the two ways is faster is its figure.
void BM_Outline_SdlRendererDrawRect(benchmark::State& state)
{
    SdlTarget target;
    if (target.renderer == nullptr)
    {
        state.SkipWithError(SDL_GetError());
        return;
    }
    const auto& scene = Scene(outlineSide);
    Measure(state, "outline/sdl-drawrect",
            [&]
            {
                for (const Placed& rect : scene)
                {
                    SDL_SetRenderDrawColor(target.renderer, rect.color.r, rect.color.g, rect.color.b, 255);
                    const SDL_Rect rings[2] = {{rect.x - 1, rect.y - 1, outlineSide + 1, outlineSide + 1},
                                               {rect.x, rect.y, outlineSide - 1, outlineSide - 1}};
                    SDL_RenderDrawRects(target.renderer, rings, 2);
                }
                SDL_RenderFlush(target.renderer);
            });
}

// ---- pixman
struct PixmanTarget
{
    Frame frame;
    pixman_image_t* image = pixman_image_create_bits(PIXMAN_x8r8g8b8, frameWidth, frameHeight,
                                                     frame.pixels.data(), frameWidth * 4);
    ~PixmanTarget() { pixman_image_unref(image); }
};

// pixman's solid fills do not clip to the image; boxes are clipped first, as
// the canvas does inside its fill.
bool ClipToFrame(pixman_box32_t& box)
{
    box.x1 = std::max(box.x1, 0);
    box.y1 = std::max(box.y1, 0);
    box.x2 = std::min(box.x2, frameWidth);
    box.y2 = std::min(box.y2, frameHeight);
    return box.x1 < box.x2 && box.y1 < box.y2;
}

pixman_color_t PixmanColor(Color3 color)
{
    return pixman_color_t{static_cast<std::uint16_t>(color.r * 257),
                          static_cast<std::uint16_t>(color.g * 257),
                          static_cast<std::uint16_t>(color.b * 257), 0xFFFF};
}

void BM_Clear_Pixman(benchmark::State& state)
{
    PixmanTarget target;
    std::uint8_t value = 0;
    Measure(state, "clear/pixman",
            [&]
            {
                pixman_fill(target.frame.pixels.data(), frameWidth, 32, 0, 0, frameWidth, frameHeight,
                            PackPixel(Color3{20, 30, ++value}));
            });
}

// pixman's lowest-level solid fill (pixman_fill, straight into the bits), its
// fastest way to fill a box; the image-level pixman_image_fill_boxes is
// measured beside it.
void PixmanFillBox(PixmanTarget& target, pixman_box32_t box, std::uint32_t pixel)
{
    if (ClipToFrame(box))
    {
        pixman_fill(target.frame.pixels.data(), frameWidth, 32, box.x1, box.y1, box.x2 - box.x1,
                    box.y2 - box.y1, pixel);
    }
}

void BM_Fill_Pixman(benchmark::State& state)
{
    PixmanTarget target;
    const auto& scene = Scene(fillSide);
    Measure(state, "fill/pixman",
            [&]
            {
                for (const Placed& rect : scene)
                {
                    PixmanFillBox(target, {rect.x, rect.y, rect.x + fillSide, rect.y + fillSide},
                                  PackPixel(rect.color));
                }
            });
}

void BM_Fill_PixmanImage(benchmark::State& state)
{
    PixmanTarget target;
    const auto& scene = Scene(fillSide);
    Measure(state, "fill/pixman-image",
            [&]
            {
                for (const Placed& rect : scene)
                {
                    const pixman_color_t color = PixmanColor(rect.color);
                    pixman_box32_t box{rect.x, rect.y, rect.x + fillSide, rect.y + fillSide};
                    if (ClipToFrame(box))
                    {
                        pixman_image_fill_boxes(PIXMAN_OP_SRC, target.image, &color, 1, &box);
                    }
                }
            });
}

void BM_Outline_Pixman(benchmark::State& state)
{
    PixmanTarget target;
    const auto& scene = Scene(outlineSide);
    Measure(
        state, "outline/pixman",
        [&]
        {
            for (const Placed& rect : scene)
            {
                const Bands bands = OutlineBands(rect.x, rect.y, rect.x + outlineSide, rect.y + outlineSide);
                for (int i = 0; i < 4; ++i)
                {
                    PixmanFillBox(target,
                                  {bands.x[i], bands.y[i], bands.x[i] + bands.w[i], bands.y[i] + bands.h[i]},
                                  PackPixel(rect.color));
                }
            }
        });
}

void BM_Outline_PixmanImage(benchmark::State& state)
{
    PixmanTarget target;
    const auto& scene = Scene(outlineSide);
    Measure(state, "outline/pixman-image",
            [&]
            {
                for (const Placed& rect : scene)
                {
                    const pixman_color_t color = PixmanColor(rect.color);
                    const Bands bands =
                        OutlineBands(rect.x, rect.y, rect.x + outlineSide, rect.y + outlineSide);
                    pixman_box32_t boxes[4];
                    int count = 0;
                    for (int i = 0; i < 4; ++i)
                    {
                        boxes[count] = pixman_box32_t{bands.x[i], bands.y[i], bands.x[i] + bands.w[i],
                                                      bands.y[i] + bands.h[i]};
                        count += ClipToFrame(boxes[count]) ? 1 : 0;
                    }
                    if (count > 0)
                    {
                        pixman_image_fill_boxes(PIXMAN_OP_SRC, target.image, &color, count, boxes);
                    }
                }
            });
}

// ---- the whole renderer path: culling, projection, truncation, the canvas
void BM_Fill_RendererDrawRects(benchmark::State& state)
{
    Frame frame;
    Canvas canvas(frame.surface);
    std::vector<RectCommand> rects;
    for (const Placed& rect : Scene(fillSide))
    {
        rects.push_back({static_cast<float>(rect.x) + 0.25f, static_cast<float>(rect.y), float{fillSide},
                         float{fillSide}, rect.color});
    }
    // A Renderer without a window draws into no surface, so the projection
    // and culling are timed here on their own and the fills beside them.
    Renderer renderer;
    Measure(state, "fill/renderer-projection",
            [&]
            {
                for (const RectCommand& rect : rects)
                {
                    if (renderer.IsVisible(rect.x, rect.y, rect.width, rect.height))
                    {
                        const float sx = renderer.WorldToScreenX(rect.x);
                        const float sy = renderer.WorldToScreenY(rect.y);
                        if (const auto box = PixelRectFromEdges(sx, sy, sx + rect.width, sy + rect.height))
                        {
                            canvas.FillRect(*box, PackPixel(rect.color));
                        }
                    }
                }
            });
}

double Milliseconds(const std::string& name)
{
    const auto found = Figures().find(name);
    return found == Figures().end() ? -1.0 : found->second * 1000.0;
}

void PrintFigure(const char* label, const std::string& canvas, const std::string& pixman,
                 const std::string& sdl)
{
    const double ours = Milliseconds(canvas);
    const double pix = Milliseconds(pixman);
    const double sd = Milliseconds(sdl);
    std::printf("  %-24s canvas %8.4f ms | pixman %8.4f ms (canvas/pixman %.2f) | SDL renderer %8.4f ms "
                "(canvas/SDL %.3f, %.1fx faster)\n",
                label, ours, pix, pix > 0 ? ours / pix : 0.0, sd, sd > 0 ? ours / sd : 0.0,
                ours > 0 ? sd / ours : 0.0);
}

void BM_Summary(benchmark::State& state)
{
    for (auto _ : state)
    {
    }
    std::printf("\nCanvas at %dx%d, %d rects per scene:\n", frameWidth, frameHeight, rectCount);
    const double memset = Milliseconds("clear/memset");
    const double clear = Milliseconds("clear/canvas");
    std::printf("  %-24s memset %8.4f ms | canvas %8.4f ms (canvas/memset %.2f, target <= 2)\n", "clear",
                memset, clear, memset > 0 ? clear / memset : 0.0);
    PrintFigure("clear", "clear/canvas", "clear/pixman", "clear/sdl");
    PrintFigure("fill 16x16", "fill/canvas", "fill/pixman", "fill/sdl");
    const bool linesFaster = Milliseconds("outline/sdl-drawrect") > 0 &&
                             Milliseconds("outline/sdl-drawrect") < Milliseconds("outline/sdl");
    std::printf(
        "  (SDL outlines: four filled bands %.4f ms, two nested 1-pixel rects %.4f ms; the faster is used)\n",
        Milliseconds("outline/sdl"), Milliseconds("outline/sdl-drawrect"));
    PrintFigure("outline 32x32", "outline/canvas", "outline/pixman",
                linesFaster ? "outline/sdl-drawrect" : "outline/sdl");
    std::printf(
        "  (pixman: pixman_fill per box; through pixman_image_fill_boxes: fills %.4f ms, outlines %.4f ms)\n",
        Milliseconds("fill/pixman-image"), Milliseconds("outline/pixman-image"));
    std::printf("  %-24s %8.4f ms (DrawRect's culling and projection with the fills)\n",
                "fill 16x16 via Renderer", Milliseconds("fill/renderer-projection"));
    std::printf("Targets: canvas/pixman <= 1.0, canvas/SDL <= 0.4 (2.5x faster).\n\n");
    std::fflush(stdout);
}

BENCHMARK(BM_Clear_Memset)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Clear_Canvas)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Clear_Pixman)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Clear_SdlRenderer)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Fill_Canvas)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Fill_Pixman)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Fill_SdlRenderer)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Outline_Canvas)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Outline_Pixman)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Outline_SdlRenderer)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Fill_PixmanImage)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Outline_PixmanImage)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Outline_SdlRendererDrawRect)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Fill_RendererDrawRects)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Summary)->Iterations(1);

} // namespace
} // namespace Marrowvane
