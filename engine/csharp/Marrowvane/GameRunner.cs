using System;
using System.Linq;

namespace Marrowvane;

// Drives one game for the script host: start, one frame per FRAME line, stop.
// Everything the game produces goes into the frame's LineWriter; the caller adds
// the protocol words and flushes. Every call into game code is guarded: an
// exception is reported and the next call goes ahead.
internal sealed class GameRunner
{
    // A scene whose Enter switches again is followed this many times in a row at most.
    public const int MaxSceneSwitchesInARow = 16;

    private static readonly Color OutlineColor = new(0, 255, 0);

    private readonly Game game;
    private readonly LineWriter writer;
    private readonly FixedStepAccumulator accumulator;
    private readonly CollisionTracker tracker = new();
    private bool warnedMalformedFrame;
    private bool stopped;

    public GameRunner(Game game, GameSettings settings, LineWriter writer)
    {
        this.game = game;
        this.writer = writer;
        accumulator = new FixedStepAccumulator(settings.FixedDeltaTime);
        game.ProjectDirectory = settings.ProjectDirectory;
        game.StartSceneName = settings.StartScene;
        game.FixedDeltaTime = settings.FixedDeltaTime;
        game.Camera.X = settings.CameraX;
        game.Camera.Y = settings.CameraY;
        game.Camera.ViewWidth = settings.ViewWidth;
        game.Camera.ViewHeight = settings.ViewHeight;
        game.Log.Attach(writer);
        game.Canvas.Attach(writer);
        game.Colliders.Attach();
    }

    public bool Started { get; private set; }

    public Game Game => game;

    public void Start()
    {
        if (Started)
        {
            return;
        }
        Started = true;
        // A scene chosen in Start is the default, applied after the command line's.
        Call(game, "Start", game, static g => g.Start(), switchScenes: false);
        EnterStartScene();
        game.Log.Drain();
    }

    // One frame from the engine's FRAME line.
    public void Frame(ReadOnlySpan<byte> frameLine)
    {
        game.Input.BeginFrame();
        if (!FrameLine.TryRead(frameLine, game.Input, out float dt) && !warnedMalformedFrame)
        {
            warnedMalformedFrame = true;
            game.Log.Warn($"Unreadable parts of a FRAME line were taken as zero or empty: {System.Text.Encoding.UTF8.GetString(frameLine)}");
        }
        Frame(dt);
    }

    // One frame with the input already set.
    public void Frame(float dt)
    {
        Start();
        game.FrameCount++;
        game.Time += dt;
        game.Colliders.Clear();

        int steps = accumulator.Advance(dt);
        float step = accumulator.Step;
        for (int i = 0; i < steps; i++)
        {
            bool ok = Call(game, "FixedUpdate", (game, step), static s => s.game.FixedUpdate(s.step));
            ok &= CallScene("FixedUpdate", step, static (scene, fixedDt) => scene.FixedUpdate(fixedDt));
            if (!ok)
            {
                break; // one report per frame is enough
            }
        }
        Call(game, "Update", (game, dt), static s => s.game.Update(s.dt));
        CallScene("Update", dt, static (scene, frameDt) => scene.Update(frameDt));
        Canvas canvas = game.Canvas;
        Call(game, "Draw", (game, canvas), static s => s.game.Draw(s.canvas));
        CallScene("Draw", canvas, static (scene, c) => scene.Draw(c));

        FinishFrame();
    }

    public void Stop()
    {
        if (stopped)
        {
            return;
        }
        stopped = true;
        Scene? scene = game.CurrentScene;
        if (Started && scene != null)
        {
            Call(scene, "Exit", scene, static s => s.Exit());
        }
        Call(game, "Stop", game, static g => g.Stop());
        game.Log.Drain();
    }

    // Colliders and collision events, collider outlines, the camera.
    private void FinishFrame()
    {
        ColliderList colliders = game.Colliders;
        var events = tracker.Update(colliders);
        foreach (Collider collider in colliders)
        {
            Rect box = collider.Box;
            writer.Begin("COLLIDER"u8);
            writer.Field(collider.Id);
            writer.Field(box.X);
            writer.Field(box.Y);
            writer.Field(box.Width);
            writer.Field(box.Height);
            writer.EndLine();
            if (game.ShowColliders)
            {
                game.Canvas.DrawOutline(box, OutlineColor);
            }
        }
        if (events.Count > 0)
        {
            var pairs = events.ToArray(); // handlers may add colliders; the list is reused
            Call(game, "OnCollisionBegin", (game, pairs), static s =>
            {
                foreach (var (id, otherId) in s.pairs)
                {
                    s.game.OnCollisionBegin(id, otherId);
                }
            });
            CallScene("OnCollisionBegin", pairs, static (scene, p) =>
            {
                foreach (var (id, otherId) in p)
                {
                    scene.OnCollisionBegin(id, otherId);
                }
            });
        }

        Camera camera = game.Camera;
        writer.Begin("CAMERA"u8);
        writer.Field(camera.X);
        writer.Field(camera.Y);
        writer.Field(camera.Zoom);
        writer.Field(camera.ViewWidth);
        writer.Field(camera.ViewHeight);
        writer.EndLine();
        game.Log.Drain();
    }

    private void EnterStartScene()
    {
        Scene? chosen = game.TakePendingScene();
        string name = game.StartSceneName;
        if (name.Length > 0 && game.Scenes.Count > 0)
        {
            Scene? named = game.FindScene(name);
            if (named != null)
            {
                chosen = named;
            }
            else
            {
                chosen ??= game.Scenes[0];
                game.Log.Warn($"Start scene '{name}' is not one of the game's scenes " +
                              $"({string.Join(", ", game.Scenes.Select(s => s.Name))}); starting in '{chosen.Name}'.");
            }
        }
        chosen ??= game.Scenes.Count > 0 ? game.Scenes[0] : null;
        if (chosen != null)
        {
            game.RequestScene(chosen);
            ApplySceneSwitch();
        }
    }

    private void ApplySceneSwitch()
    {
        for (int i = 0; i < MaxSceneSwitchesInARow && game.HasPendingScene; i++)
        {
            Scene next = game.TakePendingScene()!;
            Scene? previous = game.CurrentScene;
            if (previous != null)
            {
                Call(previous, "Exit", previous, static s => s.Exit(), switchScenes: false);
            }
            game.CurrentScene = next;
            Call(next, "Enter", next, static s => s.Enter(), switchScenes: false);
        }
        if (game.HasPendingScene)
        {
            game.TakePendingScene();
            game.Log.Warn($"Scenes kept switching on entry; staying in '{game.CurrentScene?.Name}'.");
        }
    }

    private bool CallScene<TArg>(string method, TArg arg, Action<Scene, TArg> action)
    {
        Scene? scene = game.CurrentScene;
        return scene == null || Call(scene, method, (scene, arg, action), static s => s.action(s.scene, s.arg));
    }

    // Runs one call into game code; reports its exception, then applies a scene
    // switch it asked for.
    private bool Call<TState>(object owner, string method, TState state, Action<TState> action, bool switchScenes = true)
    {
        bool ok = true;
        try
        {
            action(state);
        }
        catch (Exception exception)
        {
            ok = false;
            ErrorReport.Write(writer, $"{owner.GetType().Name}.{method}", exception);
        }
        if (switchScenes)
        {
            ApplySceneSwitch();
        }
        return ok;
    }
}
