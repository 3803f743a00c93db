using System.Collections.Generic;
using System.Linq;

namespace Marrowvane.Tests;

public class CollisionTests
{
    private static Collider Box(int id, float x, float y, float width = 10, float height = 10) =>
        new(id, new Rect(x, y, width, height));

    private static List<(int, int)> Run(CollisionTracker tracker, params Collider[] colliders) =>
        tracker.Update(colliders).ToList();

    [Fact]
    public void NewOverlapIsReportedOnceFromEachSide()
    {
        var tracker = new CollisionTracker();
        Assert.Equal(new[] { (1, 2), (2, 1) }, Run(tracker, Box(1, 0, 0), Box(2, 5, 5)));
        Assert.Empty(Run(tracker, Box(1, 0, 0), Box(2, 5, 5)));
        Assert.Empty(Run(tracker, Box(2, 5, 5), Box(1, 0, 0))); // order does not make a new pair
    }

    [Fact]
    public void ListOrderGivesEventOrder()
    {
        var tracker = new CollisionTracker();
        Assert.Equal(new[] { (2, 1), (1, 2) }, Run(tracker, Box(2, 5, 5), Box(1, 0, 0)));
    }

    [Theory]
    [InlineData(10f, 0f)]   // touching edges
    [InlineData(0f, 10f)]
    [InlineData(float.NaN, 0f)]
    [InlineData(30f, 30f)]
    public void NonOverlappingBoxesGiveNothing(float x, float y) =>
        Assert.Empty(Run(new CollisionTracker(), Box(1, 0, 0), Box(2, x, y)));

    [Fact]
    public void NothingOrOneColliderGivesNothing()
    {
        var tracker = new CollisionTracker();
        Assert.Empty(Run(tracker));
        Assert.Empty(Run(tracker, Box(1, 0, 0)));
    }

    [Fact]
    public void SameIdNeverPairs() =>
        Assert.Empty(Run(new CollisionTracker(), Box(4, 0, 0), Box(4, 0, 0)));

    [Fact]
    public void TwoBoxesOfOneIdBothReportTheNewPair()
    {
        var tracker = new CollisionTracker();
        Assert.Equal(new[] { (4, 9), (9, 4), (4, 9), (9, 4) }, Run(tracker, Box(4, 0, 0), Box(4, 2, 2), Box(9, 1, 1)));
        Assert.Empty(Run(tracker, Box(4, 0, 0), Box(9, 1, 1)));
    }

    [Fact]
    public void PairSeparatedForOneFrameIsNewAgain()
    {
        var tracker = new CollisionTracker();
        Assert.Equal(2, Run(tracker, Box(1, 0, 0), Box(2, 5, 5)).Count);
        Assert.Empty(Run(tracker, Box(1, 0, 0), Box(2, 50, 50)));
        Assert.Equal(2, Run(tracker, Box(1, 0, 0), Box(2, 5, 5)).Count);
    }

    [Fact]
    public void NegativeAndLargeIdsKeepTheirPairs()
    {
        var tracker = new CollisionTracker();
        Assert.Equal(new[] { (-2, 5), (5, -2), (12, 3), (3, 12) },
                     Run(tracker, Box(-2, 0, 0), Box(5, 1, 1), Box(12, 100, 100), Box(3, 101, 101)));
        Assert.Empty(Run(tracker, Box(5, 1, 1), Box(-2, 0, 0), Box(3, 101, 101), Box(12, 100, 100)));
        Assert.Equal(new[] { (int.MinValue, int.MaxValue), (int.MaxValue, int.MinValue) },
                     Run(tracker, Box(int.MinValue, 0, 0), Box(int.MaxValue, 1, 1)));
    }

    [Fact]
    public void GameHearsAboutContactsAtTheEndOfTheFrame()
    {
        var game = new ColliderGame();
        var (runner, take) = Harness.Runner(game);
        runner.Frame("FRAME|0.01||0,0|"u8);
        Assert.Equal(new[] { "Collision 1 2", "Collision 2 1" }, game.Calls);
        var lines = take();
        Assert.Contains("COLLIDER|1|0|0|10|10", lines);
        Assert.Contains("COLLIDER|2|5|5|10|10", lines);
        Assert.DoesNotContain(lines, l => l.StartsWith("DEBUG_RECT|"));

        game.Calls.Clear();
        game.ShowColliders = true;
        runner.Frame("FRAME|0.01||0,0|"u8);
        Assert.Empty(game.Calls);
        lines = take();
        Assert.Contains("DEBUG_RECT|0|0|10|10|0|255|0", lines);
        Assert.Contains("DEBUG_RECT|5|5|10|10|0|255|0", lines);
    }

    private sealed class ColliderGame : Game
    {
        public List<string> Calls { get; } = new();

        public override void Update(float dt)
        {
            Colliders.Add(1, 0, 0, 10, 10);
            Colliders.Add(2, new Rect(5, 5, 10, 10));
        }

        public override void OnCollisionBegin(int id, int otherId) => Calls.Add($"Collision {id} {otherId}");
    }
}
