namespace Marrowvane;

/// <summary>
/// Keyboard keys by their Win32 virtual-key code, the code the engine reports on every
/// platform. Any code from 0 to 255 can also be passed to <see cref="Input"/> as an int.
/// </summary>
public enum Keys
{
    /// <summary>No key.</summary>
    None = 0,
    /// <summary>Backspace.</summary>
    Backspace = 8,
    /// <summary>Tab.</summary>
    Tab = 9,
    /// <summary>Enter (Return).</summary>
    Enter = 13,
    /// <summary>Either Shift key.</summary>
    Shift = 16,
    /// <summary>Either Control key.</summary>
    Control = 17,
    /// <summary>Either Alt key.</summary>
    Alt = 18,
    /// <summary>Pause.</summary>
    Pause = 19,
    /// <summary>Caps Lock.</summary>
    CapsLock = 20,
    /// <summary>Escape.</summary>
    Escape = 27,
    /// <summary>Space bar.</summary>
    Space = 32,
    /// <summary>Page Up.</summary>
    PageUp = 33,
    /// <summary>Page Down.</summary>
    PageDown = 34,
    /// <summary>End.</summary>
    End = 35,
    /// <summary>Home.</summary>
    Home = 36,
    /// <summary>Left arrow.</summary>
    Left = 37,
    /// <summary>Up arrow.</summary>
    Up = 38,
    /// <summary>Right arrow.</summary>
    Right = 39,
    /// <summary>Down arrow.</summary>
    Down = 40,
    /// <summary>Insert.</summary>
    Insert = 45,
    /// <summary>Delete.</summary>
    Delete = 46,
    /// <summary>Digit 0 on the main keyboard.</summary>
    D0 = 48,
    /// <summary>Digit 1.</summary>
    D1,
    /// <summary>Digit 2.</summary>
    D2,
    /// <summary>Digit 3.</summary>
    D3,
    /// <summary>Digit 4.</summary>
    D4,
    /// <summary>Digit 5.</summary>
    D5,
    /// <summary>Digit 6.</summary>
    D6,
    /// <summary>Digit 7.</summary>
    D7,
    /// <summary>Digit 8.</summary>
    D8,
    /// <summary>Digit 9.</summary>
    D9,
    /// <summary>A.</summary>
    A = 65,
    /// <summary>B.</summary>
    B,
    /// <summary>C.</summary>
    C,
    /// <summary>D.</summary>
    D,
    /// <summary>E.</summary>
    E,
    /// <summary>F.</summary>
    F,
    /// <summary>G.</summary>
    G,
    /// <summary>H.</summary>
    H,
    /// <summary>I.</summary>
    I,
    /// <summary>J.</summary>
    J,
    /// <summary>K.</summary>
    K,
    /// <summary>L.</summary>
    L,
    /// <summary>M.</summary>
    M,
    /// <summary>N.</summary>
    N,
    /// <summary>O.</summary>
    O,
    /// <summary>P.</summary>
    P,
    /// <summary>Q.</summary>
    Q,
    /// <summary>R.</summary>
    R,
    /// <summary>S.</summary>
    S,
    /// <summary>T.</summary>
    T,
    /// <summary>U.</summary>
    U,
    /// <summary>V.</summary>
    V,
    /// <summary>W.</summary>
    W,
    /// <summary>X.</summary>
    X,
    /// <summary>Y.</summary>
    Y,
    /// <summary>Z.</summary>
    Z,
    /// <summary>Number pad 0.</summary>
    NumPad0 = 96,
    /// <summary>Number pad 1.</summary>
    NumPad1,
    /// <summary>Number pad 2.</summary>
    NumPad2,
    /// <summary>Number pad 3.</summary>
    NumPad3,
    /// <summary>Number pad 4.</summary>
    NumPad4,
    /// <summary>Number pad 5.</summary>
    NumPad5,
    /// <summary>Number pad 6.</summary>
    NumPad6,
    /// <summary>Number pad 7.</summary>
    NumPad7,
    /// <summary>Number pad 8.</summary>
    NumPad8,
    /// <summary>Number pad 9.</summary>
    NumPad9,
    /// <summary>F1.</summary>
    F1 = 112,
    /// <summary>F2.</summary>
    F2,
    /// <summary>F3.</summary>
    F3,
    /// <summary>F4.</summary>
    F4,
    /// <summary>F5.</summary>
    F5,
    /// <summary>F6.</summary>
    F6,
    /// <summary>F7.</summary>
    F7,
    /// <summary>F8.</summary>
    F8,
    /// <summary>F9.</summary>
    F9,
    /// <summary>F10.</summary>
    F10,
    /// <summary>F11.</summary>
    F11,
    /// <summary>F12.</summary>
    F12,
    /// <summary>Left Shift, where the platform tells the two apart.</summary>
    LeftShift = 160,
    /// <summary>Right Shift.</summary>
    RightShift = 161,
    /// <summary>Left Control.</summary>
    LeftControl = 162,
    /// <summary>Right Control.</summary>
    RightControl = 163,
    /// <summary>Left Alt.</summary>
    LeftAlt = 164,
    /// <summary>Right Alt.</summary>
    RightAlt = 165,
}
