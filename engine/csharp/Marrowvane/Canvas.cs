using System;

namespace Marrowvane;

/// <summary>
/// Draws the current frame, in world units. The engine draws all rectangles first
/// (in call order), then all sprites (grouped by texture), then all outlines on top.
/// Nothing carries over between frames: draw everything again every frame.
/// </summary>
public sealed class Canvas
{
    private LineWriter? writer;
    private int ownerThread;

    internal Canvas()
    {
    }

    /// <summary>A filled rectangle.</summary>
    public void DrawRect(float x, float y, float width, float height, Color color) =>
        WriteBox("RECT"u8, x, y, width, height, color);

    /// <summary>A filled rectangle.</summary>
    public void DrawRect(Rect rect, Color color) => DrawRect(rect.X, rect.Y, rect.Width, rect.Height, color);

    /// <summary>
    /// An image stretched over the box. <paramref name="texture"/> is a PNG path relative
    /// to the project directory, e.g. "assets/player.png". Flipping mirrors the image in
    /// its box. If the image cannot be loaded the engine fills the box with
    /// <paramref name="fallback"/> (magenta unless given) and warns once.
    /// </summary>
    /// <exception cref="ArgumentException">The path holds '|' or a line break.</exception>
    public void DrawSprite(string texture, float x, float y, float width, float height,
                           bool flipX = false, bool flipY = false, Color? fallback = null)
    {
        ArgumentNullException.ThrowIfNull(texture);
        if (texture.AsSpan().IndexOfAny("|\r\n") >= 0)
        {
            throw new ArgumentException($"Texture path '{texture}' must not contain '|' or line breaks.", nameof(texture));
        }
        LineWriter output = Output();
        Color color = fallback ?? Color.Magenta;
        output.Begin("SPRITE"u8);
        output.Field(x);
        output.Field(y);
        output.Field(width);
        output.Field(height);
        output.Field(color.R);
        output.Field(color.G);
        output.Field(color.B);
        output.Field(texture.AsSpan());
        output.Field(flipX);
        output.Field(flipY);
        output.EndLine();
    }

    /// <summary>An image stretched over the box; see the other overload.</summary>
    public void DrawSprite(string texture, Rect rect, bool flipX = false, bool flipY = false, Color? fallback = null) =>
        DrawSprite(texture, rect.X, rect.Y, rect.Width, rect.Height, flipX, flipY, fallback);

    /// <summary>An outline two pixels wide (its inside left as it is), drawn above everything else, for debugging.</summary>
    public void DrawOutline(float x, float y, float width, float height, Color color) =>
        WriteBox("DEBUG_RECT"u8, x, y, width, height, color);

    /// <summary>An outline two pixels wide (its inside left as it is), drawn above everything else, for debugging.</summary>
    public void DrawOutline(Rect rect, Color color) => DrawOutline(rect.X, rect.Y, rect.Width, rect.Height, color);

    internal void Attach(LineWriter lineWriter)
    {
        writer = lineWriter;
        ownerThread = Environment.CurrentManagedThreadId;
    }

    private void WriteBox(ReadOnlySpan<byte> tag, float x, float y, float width, float height, Color color)
    {
        LineWriter output = Output();
        output.Begin(tag);
        output.Field(x);
        output.Field(y);
        output.Field(width);
        output.Field(height);
        output.Field(color.R);
        output.Field(color.G);
        output.Field(color.B);
        output.EndLine();
    }

    private LineWriter Output()
    {
        if (writer == null)
        {
            throw new InvalidOperationException("Drawing works once the game has started (from Start on).");
        }
        if (Environment.CurrentManagedThreadId != ownerThread)
        {
            throw new InvalidOperationException("Draw from the game's own thread only.");
        }
        return writer;
    }
}
