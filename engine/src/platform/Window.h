#pragma once

#include "render/Surface.h"

#include <cstdint>
#include <string>

namespace Marrowvane
{

// The engine's one top-level window: created visible and resizable with a
// client area of the asked size, pumped once per frame without waiting, and
// the place where keyboard and mouse events become InputState updates. The
// binding behind it lives in platform/<binding>/Window.cpp; this header
// carries no platform type, the native window is an opaque handle.
class Window
{
public:
    struct Size
    {
        std::int32_t width = 0;
        std::int32_t height = 0;
    };

    Window();
    ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // Opens the window with a client area of width by height pixels and the
    // title shown as UTF-8. Logs "Failed to create window: " with the reason
    // and returns false when no window could be made. A second call replaces
    // the first window.
    bool Create(std::int32_t width, std::int32_t height, const std::string& title);

    // Handles every waiting event without waiting for more. Returns false once
    // a close was requested (close button, window manager, quit event,
    // SIGINT/SIGTERM), and on every later call. The window stays open until
    // the Window is destroyed.
    bool PumpMessages();

    // The native window (an SDL_Window* for the SDL binding); null before
    // Create and after a failed one.
    void* GetHandle() const;

    // The client area in pixels as it is now; 0 by 0 while minimised or
    // without a window.
    Size GetClientSize() const;

    // Shows a frame in the client area, anchored at the top-left corner; a
    // frame smaller than the client area leaves the rest as it was, a larger
    // one is cut. Returns false when nothing could be shown (the first such
    // failure is logged once).
    bool ShowSurface(const Surface& frame);

    // The next Create runs with no display at all (SDL's offscreen driver),
    // whatever the environment asks for. Takes effect when the video system
    // starts, that is when no other Window is open.
    static void RequestHeadless();

private:
    void* handle = nullptr; // the native window; null when none
    std::int32_t width = 0; // client size asked for in the last Create
    std::int32_t height = 0;
    bool closeRequested = false; // set by a close request; nothing clears it
    bool videoStarted = false;   // this Window holds a reference on the video system
    bool showFailureLogged = false;
};

} // namespace Marrowvane
