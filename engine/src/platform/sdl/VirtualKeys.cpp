// SDL2 binding: SDL key codes and scancodes to Win32 virtual-key codes.
//
// Binds to: SDL2's keyboard symbols. The numbers on the right are the
// Win32 virtual-key codes that the FRAME line carries on every platform.
// Limitations: see VirtualKeys.h. Needs: SDL2.
#include "platform/sdl/VirtualKeys.h"

namespace Marrowvane
{

namespace
{

// Keys named by the character the layout puts on them.
std::uint32_t VirtualKeyFromCharacter(SDL_Keycode key)
{
    if (key >= SDLK_a && key <= SDLK_z)
    {
        return static_cast<std::uint32_t>(key - SDLK_a) + 65;
    }
    if (key >= SDLK_0 && key <= SDLK_9)
    {
        return static_cast<std::uint32_t>(key - SDLK_0) + 48;
    }
    switch (key)
    {
    case SDLK_BACKSPACE: return 8;      // VK_BACK
    case SDLK_TAB: return 9;            // VK_TAB
    case SDLK_RETURN: return 13;        // VK_RETURN
    case SDLK_ESCAPE: return 27;        // VK_ESCAPE
    case SDLK_SPACE: return 32;         // VK_SPACE
    case SDLK_DELETE: return 46;        // VK_DELETE
    case SDLK_SEMICOLON: return 186;    // VK_OEM_1
    case SDLK_EQUALS: return 187;       // VK_OEM_PLUS
    case SDLK_PLUS: return 187;         // VK_OEM_PLUS (its own key on some layouts)
    case SDLK_COMMA: return 188;        // VK_OEM_COMMA
    case SDLK_MINUS: return 189;        // VK_OEM_MINUS
    case SDLK_PERIOD: return 190;       // VK_OEM_PERIOD
    case SDLK_SLASH: return 191;        // VK_OEM_2
    case SDLK_BACKQUOTE: return 192;    // VK_OEM_3
    case SDLK_LEFTBRACKET: return 219;  // VK_OEM_4
    case SDLK_BACKSLASH: return 220;    // VK_OEM_5
    case SDLK_RIGHTBRACKET: return 221; // VK_OEM_6
    case SDLK_QUOTE: return 222;        // VK_OEM_7
    case SDLK_LESS: return 226;         // VK_OEM_102, the extra key of ISO keyboards
    default: return 0;
    }
}

// Keys named by their position (USB HID usage), as on a US keyboard.
std::uint32_t VirtualKeyFromScancode(SDL_Scancode scancode)
{
    if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z)
    {
        return static_cast<std::uint32_t>(scancode - SDL_SCANCODE_A) + 65;
    }
    if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9)
    {
        return static_cast<std::uint32_t>(scancode - SDL_SCANCODE_1) + 49;
    }
    if (scancode >= SDL_SCANCODE_F1 && scancode <= SDL_SCANCODE_F12)
    {
        return static_cast<std::uint32_t>(scancode - SDL_SCANCODE_F1) + 112; // VK_F1..VK_F12
    }
    if (scancode >= SDL_SCANCODE_F13 && scancode <= SDL_SCANCODE_F24)
    {
        return static_cast<std::uint32_t>(scancode - SDL_SCANCODE_F13) + 124; // VK_F13..VK_F24
    }
    if (scancode >= SDL_SCANCODE_KP_1 && scancode <= SDL_SCANCODE_KP_9)
    {
        return static_cast<std::uint32_t>(scancode - SDL_SCANCODE_KP_1) + 97; // VK_NUMPAD1..9
    }
    switch (scancode)
    {
    case SDL_SCANCODE_0: return 48;
    case SDL_SCANCODE_RETURN: return 13;
    case SDL_SCANCODE_RETURN2: return 13;
    case SDL_SCANCODE_ESCAPE: return 27;
    case SDL_SCANCODE_BACKSPACE: return 8;
    case SDL_SCANCODE_TAB: return 9;
    case SDL_SCANCODE_SPACE: return 32;
    case SDL_SCANCODE_MINUS: return 189;
    case SDL_SCANCODE_EQUALS: return 187;
    case SDL_SCANCODE_LEFTBRACKET: return 219;
    case SDL_SCANCODE_RIGHTBRACKET: return 221;
    case SDL_SCANCODE_BACKSLASH: return 220;
    case SDL_SCANCODE_NONUSHASH: return 220;
    case SDL_SCANCODE_SEMICOLON: return 186;
    case SDL_SCANCODE_APOSTROPHE: return 222;
    case SDL_SCANCODE_GRAVE: return 192;
    case SDL_SCANCODE_COMMA: return 188;
    case SDL_SCANCODE_PERIOD: return 190;
    case SDL_SCANCODE_SLASH: return 191;
    case SDL_SCANCODE_NONUSBACKSLASH: return 226;
    case SDL_SCANCODE_CAPSLOCK: return 20;    // VK_CAPITAL
    case SDL_SCANCODE_PRINTSCREEN: return 44; // VK_SNAPSHOT
    case SDL_SCANCODE_SCROLLLOCK: return 145; // VK_SCROLL
    case SDL_SCANCODE_PAUSE: return 19;       // VK_PAUSE
    case SDL_SCANCODE_INSERT: return 45;
    case SDL_SCANCODE_HOME: return 36;
    case SDL_SCANCODE_PAGEUP: return 33; // VK_PRIOR
    case SDL_SCANCODE_DELETE: return 46;
    case SDL_SCANCODE_END: return 35;
    case SDL_SCANCODE_PAGEDOWN: return 34; // VK_NEXT
    case SDL_SCANCODE_LEFT: return 37;
    case SDL_SCANCODE_UP: return 38;
    case SDL_SCANCODE_RIGHT: return 39;
    case SDL_SCANCODE_DOWN: return 40;
    case SDL_SCANCODE_NUMLOCKCLEAR: return 144; // VK_NUMLOCK
    case SDL_SCANCODE_KP_DIVIDE: return 111;
    case SDL_SCANCODE_KP_MULTIPLY: return 106;
    case SDL_SCANCODE_KP_MINUS: return 109; // VK_SUBTRACT
    case SDL_SCANCODE_KP_PLUS: return 107;  // VK_ADD
    case SDL_SCANCODE_KP_ENTER: return 13;
    case SDL_SCANCODE_KP_0: return 96;       // VK_NUMPAD0
    case SDL_SCANCODE_KP_PERIOD: return 110; // VK_DECIMAL
    case SDL_SCANCODE_KP_DECIMAL: return 110;
    case SDL_SCANCODE_KP_COMMA: return 108;  // VK_SEPARATOR
    case SDL_SCANCODE_KP_EQUALS: return 146; // VK_OEM_NEC_EQUAL
    case SDL_SCANCODE_CLEAR: return 12;      // VK_CLEAR
    case SDL_SCANCODE_KP_CLEAR: return 12;
    case SDL_SCANCODE_APPLICATION: return 93; // VK_APPS, the context-menu key
    case SDL_SCANCODE_MENU: return 93;
    case SDL_SCANCODE_SELECT: return 41;
    case SDL_SCANCODE_EXECUTE: return 43;
    case SDL_SCANCODE_HELP: return 47;
    case SDL_SCANCODE_SLEEP: return 95;
    case SDL_SCANCODE_LCTRL: return 17; // VK_CONTROL
    case SDL_SCANCODE_RCTRL: return 17;
    case SDL_SCANCODE_LSHIFT: return 16; // VK_SHIFT
    case SDL_SCANCODE_RSHIFT: return 16;
    case SDL_SCANCODE_LALT: return 18; // VK_MENU
    case SDL_SCANCODE_RALT: return 18;
    case SDL_SCANCODE_LGUI: return 91;           // VK_LWIN
    case SDL_SCANCODE_RGUI: return 92;           // VK_RWIN
    case SDL_SCANCODE_LANG1: return 21;          // VK_HANGUL / VK_KANA
    case SDL_SCANCODE_LANG2: return 25;          // VK_HANJA
    case SDL_SCANCODE_INTERNATIONAL4: return 28; // VK_CONVERT
    case SDL_SCANCODE_INTERNATIONAL5: return 29; // VK_NONCONVERT
    case SDL_SCANCODE_AC_BACK: return 166;       // VK_BROWSER_BACK
    case SDL_SCANCODE_AC_FORWARD: return 167;
    case SDL_SCANCODE_AC_REFRESH: return 168;
    case SDL_SCANCODE_AC_STOP: return 169;
    case SDL_SCANCODE_AC_SEARCH: return 170;
    case SDL_SCANCODE_AC_BOOKMARKS: return 171;
    case SDL_SCANCODE_AC_HOME: return 172;
    case SDL_SCANCODE_MUTE: return 173; // VK_VOLUME_MUTE
    case SDL_SCANCODE_AUDIOMUTE: return 173;
    case SDL_SCANCODE_VOLUMEDOWN: return 174;
    case SDL_SCANCODE_VOLUMEUP: return 175;
    case SDL_SCANCODE_AUDIONEXT: return 176; // VK_MEDIA_NEXT_TRACK
    case SDL_SCANCODE_AUDIOPREV: return 177;
    case SDL_SCANCODE_AUDIOSTOP: return 178;
    case SDL_SCANCODE_AUDIOPLAY: return 179; // VK_MEDIA_PLAY_PAUSE
    case SDL_SCANCODE_MAIL: return 180;      // VK_LAUNCH_MAIL
    case SDL_SCANCODE_MEDIASELECT: return 181;
    case SDL_SCANCODE_COMPUTER: return 182;   // VK_LAUNCH_APP1
    case SDL_SCANCODE_CALCULATOR: return 183; // VK_LAUNCH_APP2
    default: return 0;
    }
}

} // namespace

std::uint32_t VirtualKeyFromSdl(SDL_Keycode key, SDL_Scancode scancode)
{
    if ((key & SDLK_SCANCODE_MASK) != 0)
    {
        // A key without a character: its key code names the scancode it acts
        // as, which follows remappings of the layout.
        return VirtualKeyFromScancode(static_cast<SDL_Scancode>(key & ~SDLK_SCANCODE_MASK));
    }
    if (const std::uint32_t code = VirtualKeyFromCharacter(key); code != 0)
    {
        return code;
    }
    return VirtualKeyFromScancode(scancode);
}

std::int32_t MouseButtonFromSdl(std::uint8_t button)
{
    switch (button)
    {
    case SDL_BUTTON_LEFT: return 0;
    case SDL_BUTTON_RIGHT: return 1;
    case SDL_BUTTON_MIDDLE: return 2;
    default: return -1;
    }
}

} // namespace Marrowvane
