namespace Marrowvane;

/// <summary>
/// One part of a game (a menu, a level) with the same calls as <see cref="Game"/>. Add
/// scenes with <see cref="Game.AddScene"/> and move between them with
/// <see cref="Game.SwitchScene"/>; only the current scene receives calls, right after
/// the game.
/// </summary>
public abstract class Scene
{
    /// <summary>The game this scene was added to; null until then.</summary>
    public Game Game { get; private set; } = null!;

    /// <summary>The name it was added under.</summary>
    public string Name { get; private set; } = string.Empty;

    /// <summary>The game's input.</summary>
    public Input Input => Game.Input;

    /// <summary>The game's camera.</summary>
    public Camera Camera => Game.Camera;

    /// <summary>The game's logger.</summary>
    public Logger Log => Game.Log;

    /// <summary>The game's collider list for this frame.</summary>
    public ColliderList Colliders => Game.Colliders;

    /// <summary>Called each time the scene becomes the current one.</summary>
    public virtual void Enter()
    {
    }

    /// <summary>Called each time the scene stops being the current one.</summary>
    public virtual void Exit()
    {
    }

    /// <summary>Called once per frame while current; see <see cref="Game.Update"/>.</summary>
    public virtual void Update(float dt)
    {
    }

    /// <summary>Called at the fixed rate while current; see <see cref="Game.FixedUpdate"/>.</summary>
    public virtual void FixedUpdate(float fixedDt)
    {
    }

    /// <summary>Called once per frame while current, after the game's own Draw.</summary>
    public virtual void Draw(Canvas canvas)
    {
    }

    /// <summary>New contacts while current; see <see cref="Game.OnCollisionBegin"/>.</summary>
    public virtual void OnCollisionBegin(int id, int otherId)
    {
    }

    internal void Bind(Game game, string name)
    {
        Game = game;
        Name = name;
    }
}
