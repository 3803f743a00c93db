using System;
using Marrowvane;

namespace BenchGame;

// Draws SpriteCount moving sprites every frame, as a busy game would.
public sealed class SpriteField : Game
{
    public const int SpriteCount = 1000;

    public override void Draw(Canvas canvas)
    {
        float t = (float)Time;
        for (int i = 0; i < SpriteCount; i++)
        {
            float x = (i % 40) * 32 + MathF.Sin(t + i) * 4;
            float y = (i / 40) * 28 + MathF.Cos(t + i) * 4;
            canvas.DrawSprite("assets/coin.png", x, y, 24, 24, flipX: (i & 1) == 1);
        }
    }
}
