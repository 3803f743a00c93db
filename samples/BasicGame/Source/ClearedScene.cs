using System;
using Marrowvane;

namespace BasicGame;

// Shown once every coin is collected: a burst of gold squares until Enter or
// Space starts the level again.
public sealed class ClearedScene : Scene
{
    private float time;

    public override void Enter()
    {
        time = 0;
        Log.Info("All coins collected! Press Enter or Space to play again.");
    }

    public override void Update(float dt)
    {
        time += dt;
        if (Input.WasKeyPressed(Keys.Enter) || Input.WasKeyPressed(Keys.Space))
        {
            Game.SwitchScene("Play");
        }
    }

    public override void Draw(Canvas canvas)
    {
        Rect view = Camera.VisibleArea;
        for (int i = 0; i < 24; i++)
        {
            float angle = i * MathF.Tau / 24 + time;
            float radius = 60 + 40 * MathF.Sin(time * 3 + i);
            float size = 18 + 8 * MathF.Sin(time * 5 + i * 0.5f);
            canvas.DrawRect(view.CenterX + MathF.Cos(angle) * radius * 3 - size / 2,
                            view.CenterY + MathF.Sin(angle) * radius * 2 - size / 2,
                            size, size, Color.Yellow.Lerp(Color.White, 0.5f + 0.5f * MathF.Sin(time * 4 + i)));
        }
        canvas.DrawSprite("assets/coin.png", view.CenterX - 48, view.CenterY - 48, 96, 96);
    }
}
