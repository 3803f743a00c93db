using System;

namespace Marrowvane;

// Turns variable frame time steps into a whole number of fixed steps. Time that
// is not yet a whole step is kept for later frames. At most MaxStepsPerFrame run in
// one frame; time beyond that is dropped, so that a slow frame cannot make the
// next one slower still.
internal sealed class FixedStepAccumulator
{
    public const int MaxStepsPerFrame = 8;

    // A frame that falls short of a whole step by float rounding alone still takes
    // it; in steps, so 1e-5 of a 1/60 s step is a sixth of a microsecond.
    private const double StepTolerance = 1e-5;

    private double pending;

    public FixedStepAccumulator(float step)
    {
        if (!(step > 0f) || !float.IsFinite(step))
        {
            throw new ArgumentOutOfRangeException(nameof(step), step, "The fixed step must be a positive number of seconds.");
        }
        Step = step;
    }

    public float Step { get; }

    // Time carried over to the next frame, in seconds.
    public double Pending => pending;

    // Adds one frame's time step and returns how many fixed steps to run now.
    public int Advance(float dt)
    {
        if (dt > 0f && float.IsFinite(dt))
        {
            pending += dt;
        }
        int steps = (int)Math.Min(Math.Floor(pending / Step + StepTolerance), MaxStepsPerFrame);
        pending -= steps * (double)Step;
        if (steps == MaxStepsPerFrame && pending >= Step)
        {
            pending %= Step;
        }
        // Rounding can leave a hair below zero.
        pending = Math.Max(pending, 0.0);
        return steps;
    }
}
