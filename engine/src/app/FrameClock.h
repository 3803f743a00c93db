#pragma once

#include <chrono>

namespace Marrowvane
{

// Measures each frame's time step on the steady clock.
class FrameClock
{
public:
    void Reset();
    // Seconds since the last Reset or Tick, in single precision.
    float Tick();

private:
    std::chrono::steady_clock::time_point lastTick{};
    float deltaSeconds = 0.0f;
};

} // namespace Marrowvane
