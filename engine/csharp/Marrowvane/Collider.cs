namespace Marrowvane;

/// <summary>A box that takes part in collision events this frame, with the id the game chose for it.</summary>
public readonly record struct Collider(int Id, Rect Box);
