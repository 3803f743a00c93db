#include "platform/InputState.h"

#include <charconv>

namespace Marrowvane
{

namespace
{

InputState state;

template <std::size_t N>
std::string EncodeHeld(const std::array<bool, N>& entries)
{
    std::string text;
    char digits[4];
    for (std::size_t i = 0; i < N; ++i)
    {
        if (!entries[i])
        {
            continue;
        }
        if (!text.empty())
        {
            text += ',';
        }
        const auto result = std::to_chars(digits, digits + sizeof digits, i);
        text.append(digits, result.ptr);
    }
    return text;
}

} // namespace

void SetKeyState(std::uint32_t code, bool down)
{
    if (code < state.keys.size())
    {
        state.keys[code] = down;
    }
}

void SetMouseButtonState(std::uint32_t button, bool down)
{
    if (button < state.mouseButtons.size())
    {
        state.mouseButtons[button] = down;
    }
}

void SetMousePosition(std::int32_t x, std::int32_t y)
{
    state.mouseX = x;
    state.mouseY = y;
}

bool IsKeyDown(std::uint32_t code)
{
    return code < state.keys.size() && state.keys[code];
}

std::int32_t GetMouseX()
{
    return state.mouseX;
}

std::int32_t GetMouseY()
{
    return state.mouseY;
}

std::string EncodePressedKeys()
{
    return EncodeHeld(state.keys);
}

std::string EncodePressedMouseButtons()
{
    return EncodeHeld(state.mouseButtons);
}

void ResetInputStateForTests()
{
    state = InputState{};
}

} // namespace Marrowvane
