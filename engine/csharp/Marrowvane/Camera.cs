namespace Marrowvane;

/// <summary>
/// Which part of the world the window shows. <see cref="X"/> and <see cref="Y"/> are
/// the world point at the top-left corner of the window; <see cref="Zoom"/> is window
/// pixels per world unit. The engine receives the camera at the end of every frame,
/// so it can be changed anywhere during the frame.
/// </summary>
public sealed class Camera
{
    /// <summary>The window size the engine assumes when the project does not give one.</summary>
    public const float DefaultViewWidth = 1280f;

    /// <summary>The window height the engine assumes when the project does not give one.</summary>
    public const float DefaultViewHeight = 720f;

    /// <summary>World x at the left edge of the window. Starts at the project's "x".</summary>
    public float X { get; set; }

    /// <summary>World y at the top edge of the window. Starts at the project's "y".</summary>
    public float Y { get; set; }

    /// <summary>Window pixels per world unit; 2 shows everything twice as large. Starts at 1.</summary>
    public float Zoom { get; set; } = 1f;

    /// <summary>
    /// The view's width in window pixels: the engine skips what lies outside the view.
    /// Starts at the project's window width.
    /// </summary>
    public float ViewWidth { get; set; } = DefaultViewWidth;

    /// <summary>The view's height in window pixels. Starts at the project's window height.</summary>
    public float ViewHeight { get; set; } = DefaultViewHeight;

    /// <summary>The world area the window shows.</summary>
    public Rect VisibleArea => new(X, Y, ViewWidth / SafeZoom, ViewHeight / SafeZoom);

    /// <summary>Moves the camera so that the world point (x, y) is in the middle of the view.</summary>
    public void CenterOn(float x, float y)
    {
        X = x - ViewWidth / SafeZoom * 0.5f;
        Y = y - ViewHeight / SafeZoom * 0.5f;
    }

    /// <summary>
    /// Keeps the view inside <paramref name="bounds"/> (e.g. the level). Where the
    /// bounds are smaller than the view, the view is centred on them.
    /// </summary>
    public void ClampTo(Rect bounds)
    {
        Rect view = VisibleArea;
        X = view.Width >= bounds.Width ? bounds.CenterX - view.Width * 0.5f
            : System.Math.Clamp(X, bounds.X, bounds.Right - view.Width);
        Y = view.Height >= bounds.Height ? bounds.CenterY - view.Height * 0.5f
            : System.Math.Clamp(Y, bounds.Y, bounds.Bottom - view.Height);
    }

    /// <summary>The world x under window pixel x (for the mouse: <c>ScreenToWorldX(Input.MouseX)</c>).</summary>
    public float ScreenToWorldX(float screenX) => X + screenX / SafeZoom;

    /// <summary>The world y under window pixel y.</summary>
    public float ScreenToWorldY(float screenY) => Y + screenY / SafeZoom;

    // The engine draws a zoom of 0.01 or less as 1; the helpers follow it.
    private float SafeZoom => Zoom > 0.01f ? Zoom : 1f;
}
