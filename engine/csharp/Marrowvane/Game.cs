using System;
using System.Collections.Generic;
using System.Linq;

namespace Marrowvane;

/// <summary>
/// The base of a game's main class (the "mainClass" of project.json). The engine creates
/// it with its public parameterless constructor, calls <see cref="Start"/> once, and then
/// every frame: <see cref="FixedUpdate"/> zero or more times, <see cref="Update"/> once,
/// <see cref="Draw"/> once, and <see cref="OnCollisionBegin"/> for new contacts. Each call
/// goes to the game first and then to its current <see cref="Scene"/>, if it has scenes.
/// An exception thrown by any of them is reported on the engine's console and the game
/// goes on with the next call.
/// </summary>
public abstract class Game
{
    private readonly List<Scene> scenes = new();
    private Scene? pendingScene;

    /// <summary>Keyboard and mouse for this frame.</summary>
    public Input Input { get; } = new();

    /// <summary>The camera; its start position is the project's "x" and "y".</summary>
    public Camera Camera { get; } = new();

    /// <summary>Lines for the engine's console.</summary>
    public Logger Log { get; } = new();

    /// <summary>This frame's colliders; see <see cref="ColliderList"/>.</summary>
    public ColliderList Colliders { get; } = new();

    // The one canvas, handed to every Draw.
    internal Canvas Canvas { get; } = new();

    /// <summary>When true, every collider is drawn as a green outline.</summary>
    public bool ShowColliders { get; set; }

    /// <summary>The project directory (also the working directory).</summary>
    public string ProjectDirectory { get; internal set; } = string.Empty;

    /// <summary>The start scene that project.json names; may be empty.</summary>
    public string StartSceneName { get; internal set; } = string.Empty;

    /// <summary>The time step of <see cref="FixedUpdate"/>, in seconds.</summary>
    public float FixedDeltaTime { get; internal set; } = 1f / 60f;

    /// <summary>Seconds of game time since <see cref="Start"/>: the sum of all frame time steps.</summary>
    public double Time { get; internal set; }

    /// <summary>Frames run so far; 1 during the first frame.</summary>
    public long FrameCount { get; internal set; }

    /// <summary>The scene that receives the calls after the game, or null while there is none.</summary>
    public Scene? CurrentScene { get; internal set; }

    /// <summary>The scenes added so far, in the order they were added.</summary>
    public IReadOnlyList<Scene> Scenes => scenes;

    /// <summary>Called once, before the first frame. Add scenes here.</summary>
    public virtual void Start()
    {
    }

    /// <summary>Called once per frame with the frame's time step in seconds.</summary>
    public virtual void Update(float dt)
    {
    }

    /// <summary>
    /// Called at a fixed rate (project.json's "fixedPhysicsFps"): zero or more times per
    /// frame, before <see cref="Update"/>, at most 8 times in one frame.
    /// </summary>
    public virtual void FixedUpdate(float fixedDt)
    {
    }

    /// <summary>Called once per frame after <see cref="Update"/>: draw the whole frame here.</summary>
    public virtual void Draw(Canvas canvas)
    {
    }

    /// <summary>
    /// Called at the end of a frame for each pair of colliders that began to overlap,
    /// once from each side: (player, coin) and (coin, player).
    /// </summary>
    public virtual void OnCollisionBegin(int id, int otherId)
    {
    }

    /// <summary>Called once when the engine shuts the game down. Keep it short: the engine waits 300 ms.</summary>
    public virtual void Stop()
    {
    }

    /// <summary>
    /// Adds a scene under a name. The first scene added is the default one; the game
    /// starts in the scene project.json names, else in the one chosen with
    /// <see cref="SwitchScene"/> during <see cref="Start"/>, else in the default.
    /// </summary>
    /// <exception cref="ArgumentException">The name is empty or taken, or the scene belongs to a game already.</exception>
    public void AddScene(string name, Scene scene)
    {
        ArgumentNullException.ThrowIfNull(name);
        ArgumentNullException.ThrowIfNull(scene);
        if (name.Length == 0)
        {
            throw new ArgumentException("A scene needs a name.", nameof(name));
        }
        if (FindScene(name) != null)
        {
            throw new ArgumentException($"There is a scene named '{name}' already.", nameof(name));
        }
        if (scene.Game != null)
        {
            throw new ArgumentException($"This scene was added already, as '{scene.Name}'.", nameof(scene));
        }
        scene.Bind(this, name);
        scenes.Add(scene);
    }

    /// <summary>
    /// Makes the named scene the current one once the running call returns: the old
    /// scene's <see cref="Scene.Exit"/> and the new one's <see cref="Scene.Enter"/> run
    /// then. Switching to the current scene enters it again (a restart).
    /// </summary>
    /// <exception cref="ArgumentException">No scene has that name.</exception>
    public void SwitchScene(string name)
    {
        ArgumentNullException.ThrowIfNull(name);
        pendingScene = FindScene(name) ?? throw new ArgumentException(
            $"No scene named '{name}'. Scenes: {string.Join(", ", scenes.Select(s => s.Name))}.", nameof(name));
    }

    /// <summary>The scene with this name, or null.</summary>
    public Scene? FindScene(string name) => scenes.FirstOrDefault(s => s.Name == name);

    internal bool HasPendingScene => pendingScene != null;

    internal void RequestScene(Scene scene) => pendingScene = scene;

    internal Scene? TakePendingScene()
    {
        Scene? next = pendingScene;
        pendingScene = null;
        return next;
    }
}
