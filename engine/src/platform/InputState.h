#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace Marrowvane
{

// The process-wide keyboard and mouse state as the window last reported it.
// Raw state only: no edges, no history. Keys are Win32 virtual-key codes on
// every platform, since that is what the FRAME line carries.
struct InputState
{
    std::array<bool, 256> keys{};
    std::array<bool, 8> mouseButtons{}; // 0 left, 1 right, 2 middle
    std::int32_t mouseX = 0;            // client pixels, 0 at the left
    std::int32_t mouseY = 0;            // client pixels, 0 at the top, y down
};

void SetKeyState(std::uint32_t code, bool down);
void SetMouseButtonState(std::uint32_t button, bool down);
void SetMousePosition(std::int32_t x, std::int32_t y);
bool IsKeyDown(std::uint32_t code);
std::int32_t GetMouseX();
std::int32_t GetMouseY();
// Held codes in ascending order, comma-separated ("37,65"); empty when none.
std::string EncodePressedKeys();
std::string EncodePressedMouseButtons();

// Clears everything back to the process-start state. Tests only; the engine
// itself never resets input.
void ResetInputStateForTests();

} // namespace Marrowvane
