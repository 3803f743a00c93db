namespace Marrowvane;

/// <summary>
/// An axis-aligned box in world units, y growing downwards: it spans X to X + Width
/// and Y to Y + Height.
/// </summary>
public readonly record struct Rect(float X, float Y, float Width, float Height)
{
    /// <summary>X + Width.</summary>
    public float Right => X + Width;

    /// <summary>Y + Height.</summary>
    public float Bottom => Y + Height;

    /// <summary>The x of the centre.</summary>
    public float CenterX => X + Width * 0.5f;

    /// <summary>The y of the centre.</summary>
    public float CenterY => Y + Height * 0.5f;

    /// <summary>
    /// Whether the two boxes share area. Boxes that only touch at an edge do not
    /// overlap, and a box with a NaN coordinate overlaps nothing. This is the test
    /// that collision events use.
    /// </summary>
    public bool Overlaps(Rect other) =>
        other.X + other.Width > X && X + Width > other.X &&
        other.Y + other.Height > Y && Y + Height > other.Y;

    /// <summary>Whether the point lies inside (left and top edges included).</summary>
    public bool Contains(float x, float y) => x >= X && x < X + Width && y >= Y && y < Y + Height;

    /// <summary>The same box moved by dx, dy.</summary>
    public Rect Offset(float dx, float dy) => this with { X = X + dx, Y = Y + dy };
}
