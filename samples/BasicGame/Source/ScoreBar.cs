using Marrowvane;

namespace BasicGame;

// The score as a row of slots in the window's top-left corner, one per coin:
// gold when collected. Window pixels become world units through the camera.
public static class ScoreBar
{
    private const float Margin = 16, Slot = 20, Gap = 6, Padding = 6;
    private static readonly Color Back = new(16, 16, 22);
    private static readonly Color Empty = new(70, 70, 84);

    public static void Draw(Canvas canvas, Camera camera, int collected, int total)
    {
        float scale = 1f / camera.Zoom;
        float x = camera.ScreenToWorldX(Margin), y = camera.ScreenToWorldY(Margin);
        float width = Padding * 2 + total * Slot + (total - 1) * Gap;
        canvas.DrawRect(x, y, width * scale, (Slot + Padding * 2) * scale, Back);
        for (int i = 0; i < total; i++)
        {
            float slotX = x + (Padding + i * (Slot + Gap)) * scale;
            canvas.DrawRect(slotX, y + Padding * scale, Slot * scale, Slot * scale, i < collected ? Color.Yellow : Empty);
        }
    }
}
