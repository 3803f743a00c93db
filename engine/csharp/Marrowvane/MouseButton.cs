namespace Marrowvane;

/// <summary>Mouse buttons by the index the engine reports.</summary>
public enum MouseButton
{
    /// <summary>The left button, index 0.</summary>
    Left = 0,
    /// <summary>The right button, index 1.</summary>
    Right = 1,
    /// <summary>The middle button, index 2.</summary>
    Middle = 2,
}
