using System.Collections.Generic;
using Marrowvane;

namespace BasicGame;

// Walks with the arrow keys or WASD and cannot pass through walls. The texture
// faces right; it is mirrored while the player faces left.
public sealed class Player
{
    public const int ColliderId = 1;
    private const float Speed = 280f; // world units per second

    public Rect Box { get; private set; }
    public bool FacingLeft { get; private set; }

    public Player(Rect startTile)
    {
        // The collider is narrower than the 48 x 48 sprite: the drawing has margins.
        Box = new Rect(startTile.X + 9, startTile.Y + 6, 30, 42);
    }

    public void Move(Input input, float dt, List<Rect> walls)
    {
        float dx = input.Axis(Keys.Left, Keys.Right) + input.Axis(Keys.A, Keys.D);
        float dy = input.Axis(Keys.Up, Keys.Down) + input.Axis(Keys.W, Keys.S);
        dx = System.Math.Clamp(dx, -1, 1);
        dy = System.Math.Clamp(dy, -1, 1);
        if (dx != 0 && dy != 0)
        {
            dx *= 0.7071f; // diagonals are no faster
            dy *= 0.7071f;
        }
        if (dx != 0)
        {
            FacingLeft = dx < 0;
        }
        // One axis at a time, so the player slides along a wall instead of sticking.
        Box = Slide(Box.Offset(dx * Speed * dt, 0), walls, horizontal: true, dx);
        Box = Slide(Box.Offset(0, dy * Speed * dt), walls, horizontal: false, dy);
    }

    public void Draw(Canvas canvas)
    {
        var sprite = new Rect(Box.X - 9, Box.Y - 6, 48, 48);
        canvas.DrawSprite("assets/player.png", sprite, flipX: FacingLeft);
    }

    // Pushes the box back out of every wall it ran into along one axis.
    private static Rect Slide(Rect box, List<Rect> walls, bool horizontal, float direction)
    {
        foreach (Rect wall in walls)
        {
            if (!box.Overlaps(wall))
            {
                continue;
            }
            if (horizontal)
            {
                box = box with { X = direction > 0 ? wall.X - box.Width : wall.Right };
            }
            else
            {
                box = box with { Y = direction > 0 ? wall.Y - box.Height : wall.Bottom };
            }
        }
        return box;
    }
}
