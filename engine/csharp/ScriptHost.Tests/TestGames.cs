using System;
using System.Collections.Generic;
using Marrowvane;

namespace Marrowvane.Tests;

// Small games the tests load by name, from this test assembly.

public sealed class RecordingGame : Game
{
    public List<string> Calls { get; } = new();

    public override void Start() => Calls.Add("Start");
    public override void FixedUpdate(float fixedDt) => Calls.Add("FixedUpdate");
    public override void Update(float dt) => Calls.Add($"Update {dt}");
    public override void Draw(Canvas canvas) => Calls.Add("Draw");
    public override void OnCollisionBegin(int id, int otherId) => Calls.Add($"Collision {id} {otherId}");
    public override void Stop() => Calls.Add("Stop");
}

public sealed class ThrowingGame : Game
{
    public int Updates { get; private set; }

    public override void Update(float dt)
    {
        Updates++;
        throw new InvalidOperationException("boom\nsecond line");
    }

    public override void Draw(Canvas canvas) => canvas.DrawRect(1.5f, 2, 3, 4, Color.White);
}

public sealed class ThrowingStartGame : Game
{
    public override void Start() => throw new ArgumentException("bad start");
}

public sealed class ThrowingConstructorGame : Game
{
    public ThrowingConstructorGame() => throw new InvalidOperationException("no way");
}

public abstract class AbstractGame : Game
{
}

public sealed class NotAGame
{
}

public sealed class NoDefaultConstructorGame : Game
{
    public NoDefaultConstructorGame(int level) => _ = level;
}

public sealed class DrawingGame : Game
{
    public override void Draw(Canvas canvas)
    {
        canvas.DrawRect(1.5f, -2.25f, 0.1f, 1e-5f, new Color(1, 2, 3));
        canvas.DrawSprite("assets/é.png", 10, 20, 32, 32, flipX: true, fallback: new Color(300, -5, 128));
        canvas.DrawOutline(new Rect(0, 0, 8, 8), Color.Red);
    }
}

public sealed class ConsoleGame : Game
{
    public override void Update(float dt)
    {
        Console.Write("half ");
        Console.WriteLine("a line");
        Console.Error.WriteLine("oops");
    }
}

public sealed class TrackingScene : Scene
{
    public List<string> Calls { get; } = new();
    public Action<TrackingScene>? OnEnter { get; set; }
    public Action<TrackingScene>? OnUpdate { get; set; }

    public override void Enter()
    {
        Calls.Add("Enter");
        OnEnter?.Invoke(this);
    }

    public override void Exit() => Calls.Add("Exit");

    public override void Update(float dt)
    {
        Calls.Add("Update");
        OnUpdate?.Invoke(this);
    }

    public override void Draw(Canvas canvas) => Calls.Add("Draw");
    public override void OnCollisionBegin(int id, int otherId) => Calls.Add($"Collision {id} {otherId}");
}

// Adds scenes in Start as a game would; the test reaches them through Scenes.
public sealed class SceneGame : Game
{
    public Action<SceneGame>? OnStart { get; set; }

    public override void Start()
    {
        AddScene("Menu", new TrackingScene());
        AddScene("Level", new TrackingScene());
        OnStart?.Invoke(this);
    }

    public TrackingScene Scene(string name) => (TrackingScene)FindScene(name)!;
}

public sealed class SceneWithStartChoiceGame : Game
{
    public override void Start()
    {
        AddScene("Menu", new TrackingScene());
        AddScene("Level", new TrackingScene());
        SwitchScene("Level");
    }
}

public sealed class CrashingThreadGame : Game
{
    public override void Update(float dt)
    {
        var worker = new System.Threading.Thread(() => throw new InvalidOperationException("worker failed"));
        worker.Start();
        worker.Join();
    }
}
