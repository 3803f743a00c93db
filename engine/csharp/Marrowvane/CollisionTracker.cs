using System.Collections.Generic;

namespace Marrowvane;

// Turns each frame's colliders into collision-began events: every pair that
// overlaps now and did not overlap in the previous call, reported once from each
// side. Pairs are walked in list order (i, then j > i); boxes with the same id are
// never paired. Only the previous call's overlapping pairs are remembered.
internal sealed class CollisionTracker
{
    private HashSet<long> previousPairs = new();
    private HashSet<long> currentPairs = new();
    private readonly List<(int Id, int OtherId)> events = new();

    // The returned list is reused by the next call.
    public List<(int Id, int OtherId)> Update(IReadOnlyList<Collider> colliders)
    {
        events.Clear();
        currentPairs.Clear();
        int count = colliders.Count;
        for (int i = 0; i < count; i++)
        {
            Collider a = colliders[i];
            for (int j = i + 1; j < count; j++)
            {
                Collider b = colliders[j];
                if (a.Id == b.Id || !a.Box.Overlaps(b.Box))
                {
                    continue;
                }
                long key = PairKey(a.Id, b.Id);
                currentPairs.Add(key);
                if (!previousPairs.Contains(key))
                {
                    events.Add((a.Id, b.Id));
                    events.Add((b.Id, a.Id));
                }
            }
        }
        (previousPairs, currentPairs) = (currentPairs, previousPairs);
        return events;
    }

    // The smaller id in the high half, so the key ignores the order of the pair.
    private static long PairKey(int first, int second)
    {
        int low = first < second ? first : second;
        int high = first < second ? second : first;
        return ((long)low << 32) | (uint)high;
    }
}
