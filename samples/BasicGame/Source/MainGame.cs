using Marrowvane;

namespace BasicGame;

// The main class that project.json names. It owns what every scene shares: the
// scenes themselves and the F1 switch for the collider outlines.
public sealed class MainGame : Game
{
    public override void Start()
    {
        AddScene("Play", new PlayScene());
        AddScene("Cleared", new ClearedScene());
        Log.Info("Arrow keys or WASD move, F1 shows the colliders. Collect every coin!");
    }

    public override void Update(float dt)
    {
        if (Input.WasKeyPressed(Keys.F1))
        {
            ShowColliders = !ShowColliders;
        }
    }
}
