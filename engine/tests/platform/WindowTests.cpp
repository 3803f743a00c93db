#include "platform/InputState.h"
#include "platform/Window.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <string>

namespace Marrowvane
{
namespace
{

SDL_Window* SdlWindow(const Window& window)
{
    return static_cast<SDL_Window*>(window.GetHandle());
}

// A window on SDL's offscreen driver (set by the test environment), with the
// input state cleared around each test.
class WindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetInputStateForTests();
        ASSERT_TRUE(window.Create(320, 240, "Marrowvane test"));
        windowId = SDL_GetWindowID(SdlWindow(window));
        window.PumpMessages(); // whatever SDL queued on creation
    }
    void TearDown() override { ResetInputStateForTests(); }

    void PushKey(Uint32 type, SDL_Keycode key, SDL_Scancode scancode, Uint16 mod = KMOD_NONE,
                 Uint8 repeat = 0)
    {
        SDL_Event event{};
        event.key.type = type;
        event.key.windowID = windowId;
        event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
        event.key.repeat = repeat;
        event.key.keysym.sym = key;
        event.key.keysym.scancode = scancode;
        event.key.keysym.mod = mod;
        ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
    }

    void PushButton(Uint32 type, Uint8 button, Sint32 x = 3, Sint32 y = 4)
    {
        SDL_Event event{};
        event.button.type = type;
        event.button.windowID = windowId;
        event.button.button = button;
        event.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
        event.button.x = x;
        event.button.y = y;
        ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
    }

    void PushMotion(Sint32 x, Sint32 y, Uint32 toWindow)
    {
        SDL_Event event{};
        event.motion.type = SDL_MOUSEMOTION;
        event.motion.windowID = toWindow;
        event.motion.x = x;
        event.motion.y = y;
        ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
    }

    void PushWindowEvent(Uint8 what, Uint32 toWindow)
    {
        SDL_Event event{};
        event.window.type = SDL_WINDOWEVENT;
        event.window.event = what;
        event.window.windowID = toWindow;
        ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
    }

    Window window;
    Uint32 windowId = 0;
};

TEST(WindowBeforeCreateTest, HasNothingAndPumpsQuietly)
{
    Window window;
    EXPECT_EQ(window.GetHandle(), nullptr);
    EXPECT_EQ(window.GetClientSize().width, 0);
    EXPECT_EQ(window.GetClientSize().height, 0);
    EXPECT_TRUE(window.PumpMessages());
    std::uint32_t pixel = 0;
    EXPECT_FALSE(window.ShowSurface(Surface{1, 1, 4, &pixel}));
}

TEST_F(WindowTest, ClientAreaHasTheAskedSizeAndTheWindowIsVisibleAndResizable)
{
    Window large;
    ASSERT_TRUE(large.Create(1280, 720, "Large"));
    EXPECT_EQ(large.GetClientSize().width, 1280);
    EXPECT_EQ(large.GetClientSize().height, 720);
    const Uint32 flags = SDL_GetWindowFlags(SdlWindow(large));
    EXPECT_NE(flags & SDL_WINDOW_SHOWN, 0u);
    EXPECT_NE(flags & SDL_WINDOW_RESIZABLE, 0u);
}

TEST_F(WindowTest, ClientSizeFollowsAResize)
{
    SDL_SetWindowSize(SdlWindow(window), 200, 100);
    window.PumpMessages();
    EXPECT_EQ(window.GetClientSize().width, 200);
    EXPECT_EQ(window.GetClientSize().height, 100);
}

TEST_F(WindowTest, TitleIsShownAsUtf8)
{
    Window titled;
    const std::string title = "Caf\xC3\xA9 \xE2\x98\x95 \xF0\x9F\x8E\xAE"; // Café ☕ 🎮
    ASSERT_TRUE(titled.Create(64, 64, title));
    EXPECT_EQ(std::string(SDL_GetWindowTitle(SdlWindow(titled))), title);
}

TEST_F(WindowTest, MalformedTitleBytesBecomeReplacementCharacters)
{
    Window titled;
    ASSERT_TRUE(titled.Create(64, 64,
                              "A\xFF"
                              "B"));
    EXPECT_EQ(std::string(SDL_GetWindowTitle(SdlWindow(titled))), "A\xEF\xBF\xBD"
                                                                  "B");
}

TEST_F(WindowTest, PushedQuitEndsThePumpForGood)
{
    EXPECT_TRUE(window.PumpMessages());
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    ASSERT_EQ(SDL_PushEvent(&quit), 1);
    EXPECT_FALSE(window.PumpMessages());
    EXPECT_FALSE(window.PumpMessages());
    // The window stays until the Window is destroyed.
    EXPECT_NE(window.GetHandle(), nullptr);
    EXPECT_EQ(window.GetClientSize().width, 320);
}

TEST_F(WindowTest, CloseOfThisWindowEndsThePumpAnotherWindowsDoesNot)
{
    PushWindowEvent(SDL_WINDOWEVENT_CLOSE, windowId + 1000);
    EXPECT_TRUE(window.PumpMessages());
    PushWindowEvent(SDL_WINDOWEVENT_CLOSE, windowId);
    EXPECT_FALSE(window.PumpMessages());
}

TEST_F(WindowTest, TerminationSignalsArriveAsCloseRequests)
{
    for (const int signal : {SIGTERM, SIGINT})
    {
        Window signalled;
        ASSERT_TRUE(signalled.Create(32, 32, "Signals"));
        ASSERT_EQ(std::raise(signal), 0);
        EXPECT_FALSE(signalled.PumpMessages()) << "signal " << signal;
    }
}

TEST_F(WindowTest, KeysReachTheInputStateWithTheirCodes)
{
    PushKey(SDL_KEYDOWN, SDLK_a, SDL_SCANCODE_A);
    PushKey(SDL_KEYDOWN, SDLK_LEFT, SDL_SCANCODE_LEFT);
    PushKey(SDL_KEYDOWN, SDLK_F1, SDL_SCANCODE_F1);
    PushKey(SDL_KEYDOWN, SDLK_KP_5, SDL_SCANCODE_KP_5);
    EXPECT_TRUE(window.PumpMessages());
    EXPECT_EQ(EncodePressedKeys(), "37,65,101,112");
    PushKey(SDL_KEYUP, SDLK_a, SDL_SCANCODE_A);
    PushKey(SDL_KEYUP, SDLK_KP_5, SDL_SCANCODE_KP_5);
    window.PumpMessages();
    EXPECT_EQ(EncodePressedKeys(), "37,112");
}

TEST_F(WindowTest, AutoRepeatChangesNothingAndOneReleaseClears)
{
    PushKey(SDL_KEYDOWN, SDLK_SPACE, SDL_SCANCODE_SPACE);
    PushKey(SDL_KEYDOWN, SDLK_SPACE, SDL_SCANCODE_SPACE, KMOD_NONE, 1);
    PushKey(SDL_KEYDOWN, SDLK_SPACE, SDL_SCANCODE_SPACE, KMOD_NONE, 1);
    window.PumpMessages();
    EXPECT_EQ(EncodePressedKeys(), "32");
    PushKey(SDL_KEYUP, SDLK_SPACE, SDL_SCANCODE_SPACE);
    window.PumpMessages();
    EXPECT_EQ(EncodePressedKeys(), "");
}

TEST_F(WindowTest, AltAndKeysPressedWhileAltIsHeldAreNotRecorded)
{
    PushKey(SDL_KEYDOWN, SDLK_LALT, SDL_SCANCODE_LALT, KMOD_LALT);
    PushKey(SDL_KEYDOWN, SDLK_x, SDL_SCANCODE_X, KMOD_LALT);
    PushKey(SDL_KEYDOWN, SDLK_RALT, SDL_SCANCODE_RALT, KMOD_RALT);
    PushKey(SDL_KEYDOWN, SDLK_F4, SDL_SCANCODE_F4, KMOD_RALT);
    window.PumpMessages();
    EXPECT_EQ(EncodePressedKeys(), "");
    EXPECT_FALSE(IsKeyDown(18));
    // Shift and control are ordinary keys.
    PushKey(SDL_KEYDOWN, SDLK_LSHIFT, SDL_SCANCODE_LSHIFT, KMOD_LSHIFT);
    PushKey(SDL_KEYDOWN, SDLK_y, SDL_SCANCODE_Y, KMOD_LSHIFT | KMOD_LCTRL);
    window.PumpMessages();
    EXPECT_EQ(EncodePressedKeys(), "16,89");
}

TEST_F(WindowTest, AReleaseWhileAltIsHeldStillClearsTheKey)
{
    PushKey(SDL_KEYDOWN, SDLK_d, SDL_SCANCODE_D);
    window.PumpMessages();
    ASSERT_TRUE(IsKeyDown(68));
    PushKey(SDL_KEYDOWN, SDLK_LALT, SDL_SCANCODE_LALT, KMOD_LALT);
    PushKey(SDL_KEYUP, SDLK_d, SDL_SCANCODE_D, KMOD_LALT);
    PushKey(SDL_KEYUP, SDLK_LALT, SDL_SCANCODE_LALT);
    window.PumpMessages();
    EXPECT_FALSE(IsKeyDown(68));
    EXPECT_EQ(EncodePressedKeys(), "");
}

TEST_F(WindowTest, KeysWithoutCodeAreIgnored)
{
    PushKey(SDL_KEYDOWN, SDLK_UNKNOWN, SDL_SCANCODE_UNKNOWN);
    PushKey(SDL_KEYDOWN, SDLK_POWER, SDL_SCANCODE_POWER);
    window.PumpMessages();
    EXPECT_EQ(EncodePressedKeys(), "");
}

TEST_F(WindowTest, MouseMotionSetsTheClientPosition)
{
    PushMotion(17, 230, windowId);
    window.PumpMessages();
    EXPECT_EQ(GetMouseX(), 17);
    EXPECT_EQ(GetMouseY(), 230);
    PushMotion(-1, -20, windowId); // dragged past the left and top edges
    window.PumpMessages();
    EXPECT_EQ(GetMouseX(), -1);
    EXPECT_EQ(GetMouseY(), -20);
}

TEST_F(WindowTest, LeftRightAndMiddleButtonsAreZeroOneTwo)
{
    PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT);
    PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_MIDDLE);
    window.PumpMessages();
    EXPECT_EQ(EncodePressedMouseButtons(), "0,2");
    PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT);
    PushButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT);
    PushButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_MIDDLE);
    window.PumpMessages();
    EXPECT_EQ(EncodePressedMouseButtons(), "1");
}

TEST_F(WindowTest, ExtraButtonsAndTheButtonsPositionAreNotRecorded)
{
    PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_X1, 50, 60);
    PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_X2, 50, 60);
    window.PumpMessages();
    EXPECT_EQ(EncodePressedMouseButtons(), "");
    EXPECT_EQ(GetMouseX(), 0);
    EXPECT_EQ(GetMouseY(), 0);
}

TEST_F(WindowTest, InputMeantForAnotherWindowIsSkipped)
{
    SDL_Event event{};
    event.key.type = SDL_KEYDOWN;
    event.key.windowID = windowId + 1000;
    event.key.keysym.sym = SDLK_a;
    event.key.keysym.scancode = SDL_SCANCODE_A;
    ASSERT_EQ(SDL_PushEvent(&event), 1);
    PushMotion(5, 5, windowId + 1000);
    window.PumpMessages();
    EXPECT_EQ(EncodePressedKeys(), "");
    EXPECT_EQ(GetMouseX(), 0);
}

TEST_F(WindowTest, ASecondWindowAndASecondCreateBothWork)
{
    Window second;
    ASSERT_TRUE(second.Create(100, 50, "Second"));
    EXPECT_NE(second.GetHandle(), window.GetHandle());
    ASSERT_TRUE(second.Create(60, 40, "Second again"));
    EXPECT_EQ(second.GetClientSize().width, 60);
    EXPECT_EQ(second.GetClientSize().height, 40);
    EXPECT_EQ(std::string(SDL_GetWindowTitle(SdlWindow(second))), "Second again");
}

TEST_F(WindowTest, AWindowThatCannotBeMadeLogsSdlsReason)
{
    Window tooLarge;
    ::testing::internal::CaptureStderr();
    const bool created = tooLarge.Create(100000, 100, "Too large");
    const std::string logged = ::testing::internal::GetCapturedStderr();
    EXPECT_FALSE(created);
    EXPECT_EQ(tooLarge.GetHandle(), nullptr);
    EXPECT_EQ(logged.rfind("[Error] Failed to create window: ", 0), 0u) << logged;
    EXPECT_GT(logged.size(), std::string("[Error] Failed to create window: \n").size()) << logged;
}

TEST_F(WindowTest, ShowSurfaceCopiesTheFrameIntoTheWindowSurface)
{
    std::uint32_t pixels[4 * 3];
    for (std::uint32_t i = 0; i < 12; ++i)
    {
        pixels[i] = 0xFF000000u | (i * 0x010203u);
    }
    ASSERT_TRUE(window.ShowSurface(Surface{4, 3, 16, pixels}));
    SDL_Surface* screen = SDL_GetWindowSurface(SdlWindow(window));
    ASSERT_NE(screen, nullptr);
    for (int y = 0; y < 3; ++y)
    {
        for (int x = 0; x < 4; ++x)
        {
            const auto* row = reinterpret_cast<const std::uint32_t*>(
                static_cast<const std::uint8_t*>(screen->pixels) + y * screen->pitch);
            EXPECT_EQ(row[x] & 0xFFFFFFu, pixels[y * 4 + x] & 0xFFFFFFu) << x << "," << y;
        }
    }
}

TEST(WindowDriverTest, RequestHeadlessWinsOverTheEnvironment)
{
    EXPECT_EXIT(
        {
            setenv("SDL_VIDEODRIVER", "x11", 1);
            unsetenv("DISPLAY");
            Window::RequestHeadless();
            Window window;
            const bool created = window.Create(64, 48, "Headless");
            const char* driver = SDL_GetCurrentVideoDriver();
            std::exit(created && driver != nullptr && std::strcmp(driver, "offscreen") == 0 ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(WindowDriverTest, AVideoSystemThatCannotStartLogsSdlsReason)
{
    EXPECT_EXIT(
        {
            setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
            Window window;
            std::exit(window.Create(64, 48, "No driver") ? 1 : 0);
        },
        ::testing::ExitedWithCode(0), "\\[Error\\] Failed to create window: .+");
}

} // namespace
} // namespace Marrowvane
