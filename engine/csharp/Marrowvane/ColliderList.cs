using System;
using System.Collections;
using System.Collections.Generic;

namespace Marrowvane;

/// <summary>
/// This frame's colliders. Add every box that should raise collision events, once per
/// frame (in Update or Draw); the list starts empty each frame. At the end of the frame
/// the engine is told about them and <see cref="Game.OnCollisionBegin"/> is called for
/// every pair that overlaps now and did not last frame. Boxes with the same id never
/// collide with each other, so one object may use several boxes.
/// </summary>
public sealed class ColliderList : IReadOnlyList<Collider>
{
    private readonly List<Collider> colliders = new();
    private int ownerThread = Environment.CurrentManagedThreadId;

    internal ColliderList()
    {
    }

    /// <summary>How many colliders were added this frame.</summary>
    public int Count => colliders.Count;

    /// <summary>The collider at this position, in the order they were added.</summary>
    public Collider this[int index] => colliders[index];

    /// <summary>Adds a box with an id of the game's choice.</summary>
    public void Add(int id, float x, float y, float width, float height) => Add(id, new Rect(x, y, width, height));

    /// <summary>Adds a box with an id of the game's choice.</summary>
    public void Add(int id, Rect box)
    {
        if (Environment.CurrentManagedThreadId != ownerThread)
        {
            throw new InvalidOperationException("Add colliders from the game's own thread only.");
        }
        colliders.Add(new Collider(id, box));
    }

    /// <summary>Walks the colliders in the order they were added.</summary>
    public List<Collider>.Enumerator GetEnumerator() => colliders.GetEnumerator();

    IEnumerator<Collider> IEnumerable<Collider>.GetEnumerator() => colliders.GetEnumerator();

    IEnumerator IEnumerable.GetEnumerator() => colliders.GetEnumerator();

    internal void Attach() => ownerThread = Environment.CurrentManagedThreadId;

    internal void Clear() => colliders.Clear();
}
