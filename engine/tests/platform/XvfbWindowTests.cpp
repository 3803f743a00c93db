// A real window on a real X server: Xvfb, started by the test on a display of
// its own, with SDL's x11 driver. Skipped, with the reason, where Xvfb is not
// installed (./test.sh installs it).

#include "platform/Window.h"
#include "render/Renderer.h"
#include "support/XvfbServer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>

// X11's headers define macros (None, Bool, Status...) that clash with C++
// headers; they come last.
#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace Marrowvane
{
namespace
{

// Sets an environment variable for the life of the object.
class ScopedEnvironment
{
public:
    ScopedEnvironment(const char* name, const std::string& value) : name(name)
    {
        if (const char* old = std::getenv(name))
        {
            previous = old;
        }
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnvironment()
    {
        if (previous)
        {
            setenv(name, previous->c_str(), 1);
        }
        else
        {
            unsetenv(name);
        }
    }

private:
    const char* name;
    std::optional<std::string> previous;
};

int xErrors = 0;

int CountXError(Display*, XErrorEvent*)
{
    ++xErrors;
    return 0;
}

class XvfbWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!XvfbServer::IsInstalled())
        {
            GTEST_SKIP() << "Xvfb is not installed; ./test.sh installs it (package xvfb)";
        }
        if (SDL_WasInit(SDL_INIT_VIDEO) != 0)
        {
            GTEST_SKIP() << "SDL video already running in this process; run this test on its own";
        }
        std::string reason;
        ASSERT_TRUE(server.Start(reason)) << reason;
        display.emplace("DISPLAY", server.Display());
        driver.emplace("SDL_VIDEODRIVER", "x11");
        x = XOpenDisplay(server.Display().c_str());
        ASSERT_NE(x, nullptr) << "cannot connect to " << server.Display();
        previousHandler = XSetErrorHandler(CountXError);
        xErrors = 0;
    }

    void TearDown() override
    {
        if (x != nullptr)
        {
            XSetErrorHandler(previousHandler);
            XCloseDisplay(x);
        }
    }

    static ::Window XWindowOf(const Window& window)
    {
        SDL_SysWMinfo info;
        SDL_VERSION(&info.version);
        if (!SDL_GetWindowWMInfo(static_cast<SDL_Window*>(window.GetHandle()), &info) ||
            info.subsystem != SDL_SYSWM_X11)
        {
            return 0;
        }
        return info.info.x11.window;
    }

    // Pumps until the condition holds or two seconds pass.
    template <typename Condition>
    static bool PumpUntil(Window& window, Condition condition)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (std::chrono::steady_clock::now() < deadline)
        {
            window.PumpMessages();
            if (condition())
            {
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return false;
    }

    // The window's pixel at (px, py) as 0xRRGGBB, read back from the server.
    std::uint32_t ReadPixel(::Window target, int px, int py)
    {
        XSync(x, False);
        XImage* image = XGetImage(x, target, px, py, 1, 1, AllPlanes, ZPixmap);
        if (image == nullptr)
        {
            return 0xDEADBEEF;
        }
        const std::uint32_t pixel = static_cast<std::uint32_t>(XGetPixel(image, 0, 0)) & 0xFFFFFFu;
        XDestroyImage(image);
        return pixel;
    }

    XvfbServer server;
    std::optional<ScopedEnvironment> display;
    std::optional<ScopedEnvironment> driver;
    Display* x = nullptr;
    XErrorHandler previousHandler = nullptr;
};

TEST_F(XvfbWindowTest, RealWindowHasItsClientSizeTitleAndShowsPresentedFrames)
{
    const std::string title = "Marrowvane \xE2\x98\x95 Caf\xC3\xA9";
    Window window;
    ASSERT_TRUE(window.Create(320, 200, title));
    ASSERT_STREQ(SDL_GetCurrentVideoDriver(), "x11");
    const ::Window xWindow = XWindowOf(window);
    ASSERT_NE(xWindow, 0u);

    // The client area, measured by the X server itself.
    XWindowAttributes attributes{};
    ASSERT_NE(XGetWindowAttributes(x, xWindow, &attributes), 0);
    EXPECT_EQ(attributes.width, 320);
    EXPECT_EQ(attributes.height, 200);
    EXPECT_EQ(attributes.map_state, IsViewable);
    EXPECT_EQ(window.GetClientSize().width, 320);
    EXPECT_EQ(window.GetClientSize().height, 200);

    // The title as the window manager reads it: UTF-8 in _NET_WM_NAME.
    Atom type = 0;
    int format = 0;
    unsigned long items = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    ASSERT_EQ(XGetWindowProperty(x, xWindow, XInternAtom(x, "_NET_WM_NAME", False), 0, 1024, False,
                                 XInternAtom(x, "UTF8_STRING", False), &type, &format, &items, &after, &data),
              Success);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(data), items), title);
    XFree(data);

    // A presented frame is what the server shows.
    Renderer renderer;
    renderer.Initialize(window);
    renderer.BeginFrame(Color3{10, 20, 30});
    renderer.DrawRect(100, 50, 40, 30, Color3{200, 100, 50});
    renderer.DrawDebugRect(10, 10, 20, 20, Color3{0, 255, 0});
    renderer.Present();
    EXPECT_EQ(ReadPixel(xWindow, 0, 0), 0x0A141Eu);
    EXPECT_EQ(ReadPixel(xWindow, 319, 199), 0x0A141Eu);
    EXPECT_EQ(ReadPixel(xWindow, 100, 50), 0xC86432u);
    EXPECT_EQ(ReadPixel(xWindow, 139, 79), 0xC86432u);
    EXPECT_EQ(ReadPixel(xWindow, 140, 79), 0x0A141Eu);
    EXPECT_EQ(ReadPixel(xWindow, 9, 9), 0x00FF00u);   // the outline's outer corner
    EXPECT_EQ(ReadPixel(xWindow, 29, 20), 0x00FF00u); // its right band
    EXPECT_EQ(ReadPixel(xWindow, 20, 20), 0x0A141Eu); // the hollow inside

    // A resize from outside re-makes the back buffer at the new size.
    XResizeWindow(x, xWindow, 400, 260);
    XSync(x, False);
    ASSERT_TRUE(PumpUntil(window, [&] { return window.GetClientSize().width == 400; }));
    EXPECT_EQ(window.GetClientSize().height, 260);
    renderer.BeginFrame(Color3{255, 255, 255});
    renderer.DrawRect(380, 240, 20, 20, Color3{1, 2, 3});
    renderer.Present();
    EXPECT_EQ(renderer.GetBackBuffer().width, 400);
    EXPECT_EQ(renderer.GetBackBuffer().height, 260);
    EXPECT_EQ(ReadPixel(xWindow, 399, 259), 0x010203u);
    EXPECT_EQ(ReadPixel(xWindow, 350, 10), 0xFFFFFFu);
    EXPECT_EQ(xErrors, 0);
}

TEST_F(XvfbWindowTest, WindowManagerCloseEndsThePump)
{
    Window window;
    ASSERT_TRUE(window.Create(160, 120, "Close me"));
    const ::Window xWindow = XWindowOf(window);
    ASSERT_NE(xWindow, 0u);
    EXPECT_TRUE(window.PumpMessages());

    // What a window manager sends for the close button.
    XEvent close{};
    close.xclient.type = ClientMessage;
    close.xclient.window = xWindow;
    close.xclient.message_type = XInternAtom(x, "WM_PROTOCOLS", False);
    close.xclient.format = 32;
    close.xclient.data.l[0] = static_cast<long>(XInternAtom(x, "WM_DELETE_WINDOW", False));
    close.xclient.data.l[1] = CurrentTime;
    XSendEvent(x, xWindow, False, NoEventMask, &close);
    XSync(x, False);
    bool open = true;
    ASSERT_TRUE(PumpUntil(window, [&] { return !(open = window.PumpMessages()); }));
    EXPECT_FALSE(window.PumpMessages());
    // Still there until the Window goes.
    XWindowAttributes attributes{};
    EXPECT_NE(XGetWindowAttributes(x, xWindow, &attributes), 0);
    EXPECT_EQ(xErrors, 0);
}

} // namespace
} // namespace Marrowvane
