using System;

namespace Marrowvane;

/// <summary>
/// The keyboard and mouse as the engine reported them for the current frame.
/// "Pressed" and "released" compare this frame with the previous one, so read them
/// in <see cref="Game.Update"/>: <see cref="Game.FixedUpdate"/> may run zero or several
/// times in a frame.
/// </summary>
public sealed class Input
{
    /// <summary>Key codes run from 0 to 255.</summary>
    public const int KeyCount = 256;

    /// <summary>Mouse button indices run from 0 to 7.</summary>
    public const int MouseButtonCount = 8;

    private bool[] keys = new bool[KeyCount];
    private bool[] previousKeys = new bool[KeyCount];
    private bool[] buttons = new bool[MouseButtonCount];
    private bool[] previousButtons = new bool[MouseButtonCount];

    internal Input()
    {
    }

    /// <summary>Cursor x in window pixels, 0 at the left edge.</summary>
    public int MouseX { get; private set; }

    /// <summary>Cursor y in window pixels, 0 at the top edge, growing downwards.</summary>
    public int MouseY { get; private set; }

    /// <summary>Whether the key is held down.</summary>
    public bool IsKeyDown(Keys key) => IsKeyDown((int)key);

    /// <summary>Whether the key with this virtual-key code (0..255) is held down.</summary>
    public bool IsKeyDown(int keyCode) => Get(keys, keyCode);

    /// <summary>Whether the key went down this frame.</summary>
    public bool WasKeyPressed(Keys key) => WasKeyPressed((int)key);

    /// <summary>Whether the key with this virtual-key code went down this frame.</summary>
    public bool WasKeyPressed(int keyCode) => Get(keys, keyCode) && !Get(previousKeys, keyCode);

    /// <summary>Whether the key came up this frame.</summary>
    public bool WasKeyReleased(Keys key) => WasKeyReleased((int)key);

    /// <summary>Whether the key with this virtual-key code came up this frame.</summary>
    public bool WasKeyReleased(int keyCode) => !Get(keys, keyCode) && Get(previousKeys, keyCode);

    /// <summary>Whether the mouse button is held down.</summary>
    public bool IsMouseButtonDown(MouseButton button) => Get(buttons, (int)button);

    /// <summary>Whether the mouse button went down this frame.</summary>
    public bool WasMouseButtonPressed(MouseButton button) =>
        Get(buttons, (int)button) && !Get(previousButtons, (int)button);

    /// <summary>Whether the mouse button came up this frame.</summary>
    public bool WasMouseButtonReleased(MouseButton button) =>
        !Get(buttons, (int)button) && Get(previousButtons, (int)button);

    /// <summary>
    /// -1, 0 or +1 from a pair of keys, for movement: e.g.
    /// <c>Input.Axis(Keys.Left, Keys.Right)</c>. Holding both gives 0.
    /// </summary>
    public int Axis(Keys negative, Keys positive) =>
        (IsKeyDown(positive) ? 1 : 0) - (IsKeyDown(negative) ? 1 : 0);

    private static bool Get(bool[] states, int index) => (uint)index < (uint)states.Length && states[index];

    // The new frame's state starts empty; the previous frame's becomes the base of the edges.
    internal void BeginFrame()
    {
        (keys, previousKeys) = (previousKeys, keys);
        (buttons, previousButtons) = (previousButtons, buttons);
        Array.Clear(keys);
        Array.Clear(buttons);
    }

    internal void SetKeyDown(int keyCode)
    {
        if ((uint)keyCode < KeyCount)
        {
            keys[keyCode] = true;
        }
    }

    internal void SetMouseButtonDown(int button)
    {
        if ((uint)button < MouseButtonCount)
        {
            buttons[button] = true;
        }
    }

    internal void SetMousePosition(int x, int y)
    {
        MouseX = x;
        MouseY = y;
    }
}
