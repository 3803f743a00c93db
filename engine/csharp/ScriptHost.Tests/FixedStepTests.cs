using System;
using System.Linq;
using Marrowvane.ScriptHost;

namespace Marrowvane.Tests;

public class FixedStepTests
{
    [Theory]
    // step, frame time steps, steps run in each frame
    [InlineData(0.1f, new[] { 0.05f, 0.05f, 0.05f, 0.05f }, new[] { 0, 1, 0, 1 })]
    [InlineData(0.1f, new[] { 0.25f, 0.05f }, new[] { 2, 1 })]
    [InlineData(0.1f, new[] { 0f, 0f }, new[] { 0, 0 })]
    [InlineData(0.1f, new[] { -1f, float.NaN, float.PositiveInfinity, 0.1f }, new[] { 0, 0, 0, 1 })]
    [InlineData(0.01f, new[] { 0.5f, 0.01f }, new[] { 8, 1 })] // the cap drops the backlog
    [InlineData(0.01f, new[] { 0.085f, 0.005f }, new[] { 8, 1 })] // the part of a step stays
    public void StepsFollowTheAccumulatedTime(float step, float[] frames, int[] expected)
    {
        var accumulator = new FixedStepAccumulator(step);
        Assert.Equal(expected, frames.Select(accumulator.Advance).ToArray());
    }

    [Fact]
    public void CapIsEightStepsAFrame()
    {
        Assert.Equal(8, FixedStepAccumulator.MaxStepsPerFrame);
        var accumulator = new FixedStepAccumulator(1f / 60f);
        Assert.Equal(8, accumulator.Advance(10f));
        Assert.True(accumulator.Pending < 1f / 60f);
    }

    [Fact]
    public void FramesOfOneStepEachRunOneStepEach()
    {
        var accumulator = new FixedStepAccumulator(1f / 60f);
        for (int frame = 0; frame < 10_000; frame++)
        {
            Assert.Equal(1, accumulator.Advance(1f / 60f));
        }
    }

    [Theory]
    [InlineData(0f)]
    [InlineData(-0.1f)]
    [InlineData(float.NaN)]
    public void StepMustBePositive(float step) =>
        Assert.Throws<ArgumentOutOfRangeException>(() => new FixedStepAccumulator(step));

    [Theory]
    [InlineData(0.016667f, 1f / 60f)]
    [InlineData(0.02f, 1f / 50f)]
    [InlineData(0.008333f, 1f / 120f)]
    [InlineData(0.001f, 1f / 1000f)]
    [InlineData(0.000667f, 0.000667f)] // 1/1499 and 1/1500 both round to it: left alone
    [InlineData(0.0123f, 0.0123f)]
    [InlineData(2f, 2f)]
    public void SixDecimalStepIsRestoredToItsRate(float given, float expected) =>
        Assert.Equal(expected, HostArguments.RestoreStep(given));

    [Fact]
    public void GameGetsFixedUpdatesBeforeUpdate()
    {
        var game = new RecordingGame();
        var (runner, _) = Harness.Runner(game, fixedDt: 0.01f);
        runner.Frame("FRAME|0.025||0,0|"u8);
        Assert.Equal(new[] { "Start", "FixedUpdate", "FixedUpdate", "Update 0.025", "Draw" }, game.Calls);
        game.Calls.Clear();
        runner.Frame("FRAME|1||0,0|"u8);
        Assert.Equal(8, game.Calls.Count(c => c == "FixedUpdate"));
        Assert.Equal(0.01f, game.FixedDeltaTime);
        Assert.Equal(2, game.FrameCount);
        Assert.Equal(1.025, game.Time, 5);
    }
}
