// SDL2 binding: SDL key codes and scancodes to Win32 virtual-key codes.
//
// Binds to: SDL2's keyboard symbols (SDL_Keycode, SDL_Scancode).
// Limitations: one code per key, as a US-layout Win32 keyboard reports it:
//   both shifts are 16, both controls 17, both Alts 18; keypad Enter is 13
//   like the main Enter. Punctuation follows the character the layout puts on
//   the key when that character has a US key, and the key's position
//   otherwise; letters of non-Latin layouts follow the key's position.
// Needs: SDL2 headers (this header is for the SDL binding and its tests only).
#pragma once

#include <SDL.h>

#include <cstdint>

namespace Marrowvane
{

// The Win32 virtual-key code of an SDL key, or 0 when the key has none.
// The layout's key code decides first; keys it leaves open (characters with
// no US key, unknown keys) go by their scancode.
std::uint32_t VirtualKeyFromSdl(SDL_Keycode key, SDL_Scancode scancode);

// The engine's mouse button index of an SDL button (left 0, right 1,
// middle 2), or -1 for the buttons the engine does not record.
std::int32_t MouseButtonFromSdl(std::uint8_t button);

} // namespace Marrowvane
