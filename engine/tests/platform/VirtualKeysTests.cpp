#include "platform/sdl/VirtualKeys.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace Marrowvane
{
namespace
{

struct KeyCase
{
    const char* name;
    SDL_Keycode key;
    SDL_Scancode scancode;
    std::uint32_t expected;
};

std::vector<KeyCase> TableCases()
{
    std::vector<KeyCase> cases = {
        {"space", SDLK_SPACE, SDL_SCANCODE_SPACE, 32},
        {"enter", SDLK_RETURN, SDL_SCANCODE_RETURN, 13},
        {"escape", SDLK_ESCAPE, SDL_SCANCODE_ESCAPE, 27},
        {"backspace", SDLK_BACKSPACE, SDL_SCANCODE_BACKSPACE, 8},
        {"tab", SDLK_TAB, SDL_SCANCODE_TAB, 9},
        {"left shift", SDLK_LSHIFT, SDL_SCANCODE_LSHIFT, 16},
        {"right shift", SDLK_RSHIFT, SDL_SCANCODE_RSHIFT, 16},
        {"left control", SDLK_LCTRL, SDL_SCANCODE_LCTRL, 17},
        {"right control", SDLK_RCTRL, SDL_SCANCODE_RCTRL, 17},
        {"left alt", SDLK_LALT, SDL_SCANCODE_LALT, 18},
        {"right alt", SDLK_RALT, SDL_SCANCODE_RALT, 18},
        {"pause", SDLK_PAUSE, SDL_SCANCODE_PAUSE, 19},
        {"caps lock", SDLK_CAPSLOCK, SDL_SCANCODE_CAPSLOCK, 20},
        {"page up", SDLK_PAGEUP, SDL_SCANCODE_PAGEUP, 33},
        {"page down", SDLK_PAGEDOWN, SDL_SCANCODE_PAGEDOWN, 34},
        {"end", SDLK_END, SDL_SCANCODE_END, 35},
        {"home", SDLK_HOME, SDL_SCANCODE_HOME, 36},
        {"left", SDLK_LEFT, SDL_SCANCODE_LEFT, 37},
        {"up", SDLK_UP, SDL_SCANCODE_UP, 38},
        {"right", SDLK_RIGHT, SDL_SCANCODE_RIGHT, 39},
        {"down", SDLK_DOWN, SDL_SCANCODE_DOWN, 40},
        {"print screen", SDLK_PRINTSCREEN, SDL_SCANCODE_PRINTSCREEN, 44},
        {"insert", SDLK_INSERT, SDL_SCANCODE_INSERT, 45},
        {"delete", SDLK_DELETE, SDL_SCANCODE_DELETE, 46},
        {"left gui", SDLK_LGUI, SDL_SCANCODE_LGUI, 91},
        {"right gui", SDLK_RGUI, SDL_SCANCODE_RGUI, 92},
        {"application", SDLK_APPLICATION, SDL_SCANCODE_APPLICATION, 93},
        {"keypad 0", SDLK_KP_0, SDL_SCANCODE_KP_0, 96},
        {"keypad multiply", SDLK_KP_MULTIPLY, SDL_SCANCODE_KP_MULTIPLY, 106},
        {"keypad plus", SDLK_KP_PLUS, SDL_SCANCODE_KP_PLUS, 107},
        {"keypad minus", SDLK_KP_MINUS, SDL_SCANCODE_KP_MINUS, 109},
        {"keypad period", SDLK_KP_PERIOD, SDL_SCANCODE_KP_PERIOD, 110},
        {"keypad divide", SDLK_KP_DIVIDE, SDL_SCANCODE_KP_DIVIDE, 111},
        {"keypad enter", SDLK_KP_ENTER, SDL_SCANCODE_KP_ENTER, 13},
        {"num lock", SDLK_NUMLOCKCLEAR, SDL_SCANCODE_NUMLOCKCLEAR, 144},
        {"scroll lock", SDLK_SCROLLLOCK, SDL_SCANCODE_SCROLLLOCK, 145},
        {"semicolon", SDLK_SEMICOLON, SDL_SCANCODE_SEMICOLON, 186},
        {"equals", SDLK_EQUALS, SDL_SCANCODE_EQUALS, 187},
        {"comma", SDLK_COMMA, SDL_SCANCODE_COMMA, 188},
        {"minus", SDLK_MINUS, SDL_SCANCODE_MINUS, 189},
        {"period", SDLK_PERIOD, SDL_SCANCODE_PERIOD, 190},
        {"slash", SDLK_SLASH, SDL_SCANCODE_SLASH, 191},
        {"grave", SDLK_BACKQUOTE, SDL_SCANCODE_GRAVE, 192},
        {"left bracket", SDLK_LEFTBRACKET, SDL_SCANCODE_LEFTBRACKET, 219},
        {"backslash", SDLK_BACKSLASH, SDL_SCANCODE_BACKSLASH, 220},
        {"right bracket", SDLK_RIGHTBRACKET, SDL_SCANCODE_RIGHTBRACKET, 221},
        {"quote", SDLK_QUOTE, SDL_SCANCODE_APOSTROPHE, 222},
        {"iso extra key", SDLK_LESS, SDL_SCANCODE_NONUSBACKSLASH, 226},
        {"volume up", SDLK_VOLUMEUP, SDL_SCANCODE_VOLUMEUP, 175},
        {"play", SDLK_AUDIOPLAY, SDL_SCANCODE_AUDIOPLAY, 179},
    };
    for (int i = 0; i < 26; ++i)
    {
        cases.push_back({"letter", SDLK_a + i, static_cast<SDL_Scancode>(SDL_SCANCODE_A + i),
                         static_cast<std::uint32_t>(65 + i)});
    }
    for (int i = 0; i < 10; ++i)
    {
        // SDL's digit scancodes run 1..9 then 0.
        const SDL_Scancode scancode =
            i == 0 ? SDL_SCANCODE_0 : static_cast<SDL_Scancode>(SDL_SCANCODE_1 + i - 1);
        cases.push_back({"digit", SDLK_0 + i, scancode, static_cast<std::uint32_t>(48 + i)});
    }
    for (int i = 0; i < 12; ++i)
    {
        cases.push_back({"function key", SDLK_F1 + i, static_cast<SDL_Scancode>(SDL_SCANCODE_F1 + i),
                         static_cast<std::uint32_t>(112 + i)});
    }
    for (int i = 0; i < 12; ++i)
    {
        cases.push_back({"function key 13-24", SDLK_F13 + i, static_cast<SDL_Scancode>(SDL_SCANCODE_F13 + i),
                         static_cast<std::uint32_t>(124 + i)});
    }
    const SDL_Keycode keypadDigits[] = {SDLK_KP_1, SDLK_KP_2, SDLK_KP_3, SDLK_KP_4, SDLK_KP_5,
                                        SDLK_KP_6, SDLK_KP_7, SDLK_KP_8, SDLK_KP_9};
    for (int i = 0; i < 9; ++i)
    {
        cases.push_back({"keypad digit", keypadDigits[i], static_cast<SDL_Scancode>(SDL_SCANCODE_KP_1 + i),
                         static_cast<std::uint32_t>(97 + i)});
    }
    return cases;
}

TEST(VirtualKeysTest, EveryKeyOfTheTableHasItsWin32Code)
{
    for (const KeyCase& c : TableCases())
    {
        EXPECT_EQ(VirtualKeyFromSdl(c.key, c.scancode), c.expected)
            << c.name << " (key " << c.key << ", scancode " << c.scancode << ")";
    }
}

TEST(VirtualKeysTest, ScancodeAloneGivesTheSameCodeForEveryTableKey)
{
    // An unknown key code (a character no US key types) falls back to the
    // key's position, which must agree with the table.
    constexpr SDL_Keycode unknownCharacter = 0x2603; // a snowman
    for (const KeyCase& c : TableCases())
    {
        EXPECT_EQ(VirtualKeyFromSdl(unknownCharacter, c.scancode), c.expected) << c.name;
    }
}

TEST(VirtualKeysTest, LayoutCharacterDecidesBeforePosition)
{
    // AZERTY: the key in the US "Q" position types "a" and is VK_A, as Win32
    // reports it for that layout.
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_a, SDL_SCANCODE_Q), 65u);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_q, SDL_SCANCODE_A), 81u);
    // German: "+" has its own key.
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_PLUS, SDL_SCANCODE_RIGHTBRACKET), 187u);
    // A key remapped by the layout (caps lock acting as control) follows its
    // key code.
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_LCTRL, SDL_SCANCODE_CAPSLOCK), 17u);
}

TEST(VirtualKeysTest, NonLatinLettersGoByPosition)
{
    // Russian layout: the "A" position types U+0444 and is VK_A (65).
    EXPECT_EQ(VirtualKeyFromSdl(0x0444, SDL_SCANCODE_A), 65u);
    // German: "ß" sits on the US minus key.
    EXPECT_EQ(VirtualKeyFromSdl(0x00DF, SDL_SCANCODE_MINUS), 189u);
}

TEST(VirtualKeysTest, KeysWithoutCodeGiveZero)
{
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_UNKNOWN, SDL_SCANCODE_UNKNOWN), 0u);
    EXPECT_EQ(VirtualKeyFromSdl(0x2603, SDL_SCANCODE_UNKNOWN), 0u);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_POWER, SDL_SCANCODE_POWER), 0u);
}

TEST(VirtualKeysTest, EveryCodeFitsTheKeyTable)
{
    for (int scancode = 0; scancode < SDL_NUM_SCANCODES; ++scancode)
    {
        const SDL_Scancode code = static_cast<SDL_Scancode>(scancode);
        EXPECT_LT(VirtualKeyFromSdl(SDL_SCANCODE_TO_KEYCODE(code), code), 256u) << scancode;
    }
}

TEST(VirtualKeysTest, MouseButtonsLeftRightMiddle)
{
    EXPECT_EQ(MouseButtonFromSdl(SDL_BUTTON_LEFT), 0);
    EXPECT_EQ(MouseButtonFromSdl(SDL_BUTTON_RIGHT), 1);
    EXPECT_EQ(MouseButtonFromSdl(SDL_BUTTON_MIDDLE), 2);
    EXPECT_EQ(MouseButtonFromSdl(SDL_BUTTON_X1), -1);
    EXPECT_EQ(MouseButtonFromSdl(SDL_BUTTON_X2), -1);
    EXPECT_EQ(MouseButtonFromSdl(0), -1);
}

} // namespace
} // namespace Marrowvane
