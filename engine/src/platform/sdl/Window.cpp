// SDL2 binding of the game window: creation, the event pump, input and
// presenting.
//
// Binds to: SDL2's video subsystem (any driver: x11 or wayland with a display,
//   offscreen for headless runs and tests) and its event queue.
// Limitations: one window is expected; events meant for another SDL window are
//   skipped. Presenting copies into SDL's window surface (no GPU); frames in
//   a format other than 32-bit XRGB/ARGB are converted, which is slower.
//   RequestHeadless can only pick the driver while no Window is open.
// Needs: SDL2 >= 2.26 (SDL_GetWindowSizeInPixels).
#include "platform/Window.h"

#include "core/Log.h"
#include "platform/InputState.h"
#include "platform/WindowTitle.h"
#include "platform/sdl/VirtualKeys.h"

#include <SDL.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>

namespace Marrowvane
{

namespace
{

bool headlessRequested = false;

SDL_Window* AsSdlWindow(void* handle)
{
    return static_cast<SDL_Window*>(handle);
}

bool IsAltKey(SDL_Keycode key)
{
    return key == SDLK_LALT || key == SDLK_RALT;
}

// Whether an event that names a window is for this one; 0 names none (events
// pushed by the program itself).
bool IsFor(std::uint32_t eventWindowId, SDL_Window* window)
{
    return eventWindowId == 0 || (window != nullptr && eventWindowId == SDL_GetWindowID(window));
}

} // namespace

Window::Window() = default;

Window::~Window()
{
    if (handle != nullptr)
    {
        SDL_DestroyWindow(AsSdlWindow(handle));
        handle = nullptr;
    }
    if (videoStarted)
    {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        videoStarted = false;
    }
}

void Window::RequestHeadless()
{
    headlessRequested = true;
}

bool Window::Create(std::int32_t clientWidth, std::int32_t clientHeight, const std::string& title)
{
    if (handle != nullptr)
    {
        SDL_DestroyWindow(AsSdlWindow(handle));
        handle = nullptr;
    }
    width = clientWidth;
    height = clientHeight;
    if (!videoStarted)
    {
        if (headlessRequested)
        {
            SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, "offscreen", SDL_HINT_OVERRIDE);
        }
        // Without this SDL 2.26 backs the window surface with a texture of a
        // software OpenGL renderer, which costs milliseconds per frame; the
        // plain window framebuffer makes presenting one copy.
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
        {
            LogError(std::string("Failed to create window: ") + SDL_GetError());
            return false;
        }
        videoStarted = true;
    }
    // SDL takes the title as UTF-8, so a non-ASCII title shows as written.
    const std::string shownTitle = WindowTitleFromUtf8(title);
    SDL_Window* window =
        SDL_CreateWindow(shownTitle.c_str(), SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, clientWidth,
                         clientHeight, SDL_WINDOW_SHOWN | SDL_WINDOW_RESIZABLE);
    if (window == nullptr)
    {
        LogError(std::string("Failed to create window: ") + SDL_GetError());
        return false;
    }
    handle = window;
    showFailureLogged = false;
    // Games read keys, not text: no text events, no input-method windows.
    SDL_StopTextInput();
    return true;
}

bool Window::PumpMessages()
{
    if (!videoStarted)
    {
        return !closeRequested;
    }
    SDL_Window* window = AsSdlWindow(handle);
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0)
    {
        switch (event.type)
        {
        case SDL_QUIT:
            // Also how SIGINT and SIGTERM arrive.
            closeRequested = true;
            break;
        case SDL_WINDOWEVENT:
            if (event.window.event == SDL_WINDOWEVENT_CLOSE && IsFor(event.window.windowID, window))
            {
                closeRequested = true;
            }
            break;
        case SDL_KEYDOWN:
        {
            if (!IsFor(event.key.windowID, window))
            {
                break;
            }
            // Alt, and any key pressed while Alt is held, is a system key
            // combination and is not recorded as held.
            const SDL_Keysym& keysym = event.key.keysym;
            if (IsAltKey(keysym.sym) || (keysym.mod & KMOD_ALT) != 0)
            {
                break;
            }
            if (const std::uint32_t code = VirtualKeyFromSdl(keysym.sym, keysym.scancode); code != 0)
            {
                SetKeyState(code, true);
            }
            break;
        }
        case SDL_KEYUP:
        {
            // A release always clears its key, Alt held or not, so that no key
            // stays held after it was let go.
            if (!IsFor(event.key.windowID, window))
            {
                break;
            }
            if (const std::uint32_t code = VirtualKeyFromSdl(event.key.keysym.sym, event.key.keysym.scancode);
                code != 0)
            {
                SetKeyState(code, false);
            }
            break;
        }
        case SDL_MOUSEMOTION:
            if (IsFor(event.motion.windowID, window))
            {
                SetMousePosition(event.motion.x, event.motion.y);
            }
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            if (IsFor(event.button.windowID, window))
            {
                const std::int32_t button = MouseButtonFromSdl(event.button.button);
                if (button >= 0)
                {
                    SetMouseButtonState(static_cast<std::uint32_t>(button),
                                        event.type == SDL_MOUSEBUTTONDOWN);
                }
            }
            break;
        default: break;
        }
    }
    return !closeRequested;
}

void* Window::GetHandle() const
{
    return handle;
}

Window::Size Window::GetClientSize() const
{
    SDL_Window* window = AsSdlWindow(handle);
    if (window == nullptr || (SDL_GetWindowFlags(window) & SDL_WINDOW_MINIMIZED) != 0)
    {
        return {};
    }
    Size size;
    SDL_GetWindowSizeInPixels(window, &size.width, &size.height);
    return size;
}

bool Window::ShowSurface(const Surface& frame)
{
    SDL_Window* window = AsSdlWindow(handle);
    if (window == nullptr || frame.pixels == nullptr || frame.width <= 0 || frame.height <= 0)
    {
        return false;
    }
    SDL_Surface* screen = SDL_GetWindowSurface(window);
    bool shown = screen != nullptr;
    if (shown)
    {
        const int columns = std::min(frame.width, screen->w);
        const int rows = std::min(frame.height, screen->h);
        const Uint32 format = screen->format->format;
        const bool locked = SDL_MUSTLOCK(screen) && SDL_LockSurface(screen) == 0;
        if (columns > 0 && rows > 0)
        {
            auto* target = static_cast<std::uint8_t*>(screen->pixels);
            if (format == SDL_PIXELFORMAT_RGB888 || format == SDL_PIXELFORMAT_ARGB8888)
            {
                // The frame's own format: presenting is a copy.
                const auto rowBytes = static_cast<std::size_t>(columns) * sizeof(std::uint32_t);
                if (frame.pitch == screen->pitch && columns == frame.width && columns == screen->w)
                {
                    std::memcpy(target, frame.pixels, rowBytes * static_cast<std::size_t>(rows));
                }
                else
                {
                    for (int y = 0; y < rows; ++y)
                    {
                        std::memcpy(target + static_cast<std::ptrdiff_t>(y) * screen->pitch, frame.Row(y),
                                    rowBytes);
                    }
                }
            }
            else
            {
                shown = SDL_ConvertPixels(columns, rows, SDL_PIXELFORMAT_ARGB8888, frame.pixels, frame.pitch,
                                          format, target, screen->pitch) == 0;
            }
        }
        if (locked)
        {
            SDL_UnlockSurface(screen);
        }
        shown = shown && SDL_UpdateWindowSurface(window) == 0;
    }
    if (!shown && !showFailureLogged)
    {
        LogError(std::string("Could not show the frame in the window: ") + SDL_GetError());
        showFailureLogged = true;
    }
    return shown;
}

} // namespace Marrowvane
