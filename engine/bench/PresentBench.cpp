// Presenting a 1280x720 frame to a real X server (Xvfb, started here on a
// display of its own), per frame: the engine's path (SDL's plain window
// framebuffer, the back buffer already in the window surface's format, so one
// copy and an XShmPutImage), beside the two costs it avoids: SDL's default
// framebuffer through a texture of a renderer (the FRAMEBUFFER_ACCELERATION
// hint left on), and a back buffer in another pixel format, converted on every
// present. Skips when Xvfb is not installed.

#include "platform/Window.h"
#include "render/Renderer.h"
#include "support/XvfbServer.h"

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace Marrowvane
{
namespace
{

constexpr int frameWidth = 1280;
constexpr int frameHeight = 720;

// One X server for every present benchmark of the run.
bool StartDisplay(benchmark::State& state)
{
    static std::unique_ptr<XvfbServer> server;
    static std::string failure;
    if (!server && failure.empty())
    {
        if (!XvfbServer::IsInstalled())
        {
            failure = "Xvfb is not installed (package xvfb)";
        }
        else
        {
            server = std::make_unique<XvfbServer>();
            if (!server->Start(failure, 1600, 1000))
            {
                server.reset();
            }
            else
            {
                setenv("DISPLAY", server->Display().c_str(), 1);
                setenv("SDL_VIDEODRIVER", "x11", 1);
            }
        }
    }
    if (!server)
    {
        state.SkipWithError(failure.c_str());
        return false;
    }
    return true;
}

void BM_Present_Xvfb(benchmark::State& state)
{
    if (!StartDisplay(state))
    {
        return;
    }
    Window window;
    if (!window.Create(frameWidth, frameHeight, "Present benchmark"))
    {
        state.SkipWithError("no window");
        return;
    }
    Renderer renderer;
    renderer.Initialize(window);
    renderer.BeginFrame(Color3{30, 60, 90});
    renderer.DrawRect(100, 100, 200, 100, Color3{200, 10, 10});
    renderer.Present();
    SDL_Surface* screen = SDL_GetWindowSurface(static_cast<SDL_Window*>(window.GetHandle()));
    state.SetLabel(std::string("window surface ") +
                   (screen ? SDL_GetPixelFormatName(screen->format->format) : "?"));
    for (auto _ : state)
    {
        renderer.Present();
    }
    window.PumpMessages();
}

// SDL's own default: the window surface becomes a texture of whatever
// renderer SDL finds (on Xvfb, Mesa's software OpenGL where installed).
void BM_Present_Xvfb_FramebufferAccelerationOn(benchmark::State& state)
{
    if (!StartDisplay(state))
    {
        return;
    }
    SDL_SetHintWithPriority(SDL_HINT_FRAMEBUFFER_ACCELERATION, "1", SDL_HINT_OVERRIDE);
    {
        Window window;
        if (window.Create(frameWidth, frameHeight, "Present benchmark"))
        {
            Renderer renderer;
            renderer.Initialize(window);
            renderer.BeginFrame(Color3{30, 60, 90});
            renderer.Present();
            for (auto _ : state)
            {
                renderer.Present();
            }
            window.PumpMessages();
        }
        else
        {
            state.SkipWithError("no window");
        }
    }
    SDL_ResetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION);
}

// A back buffer in another format than the window surface's (ABGR), so that
// every present converts.
void BM_Present_Xvfb_ConvertingFormat(benchmark::State& state)
{
    if (!StartDisplay(state))
    {
        return;
    }
    Window window;
    if (!window.Create(frameWidth, frameHeight, "Present benchmark"))
    {
        state.SkipWithError("no window");
        return;
    }
    auto* sdlWindow = static_cast<SDL_Window*>(window.GetHandle());
    std::vector<std::uint32_t> pixels(std::size_t{frameWidth} * frameHeight, 0xFF5A3C1Eu);
    for (auto _ : state)
    {
        SDL_Surface* screen = SDL_GetWindowSurface(sdlWindow);
        if (screen == nullptr)
        {
            state.SkipWithError(SDL_GetError());
            break;
        }
        SDL_ConvertPixels(frameWidth, frameHeight, SDL_PIXELFORMAT_ABGR8888, pixels.data(), frameWidth * 4,
                          screen->format->format, screen->pixels, screen->pitch);
        SDL_UpdateWindowSurface(sdlWindow);
    }
    window.PumpMessages();
}

BENCHMARK(BM_Present_Xvfb)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_Present_Xvfb_FramebufferAccelerationOn)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_Present_Xvfb_ConvertingFormat)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace
} // namespace Marrowvane
