#include "app/FrameClock.h"

namespace Marrowvane
{

void FrameClock::Reset()
{
    lastTick = std::chrono::steady_clock::now();
    deltaSeconds = 0.0f;
}

float FrameClock::Tick()
{
    const auto now = std::chrono::steady_clock::now();
    const auto nanoseconds = std::chrono::duration_cast<std::chrono::nanoseconds>(now - lastTick).count();
    deltaSeconds = static_cast<float>(nanoseconds) / 1e9f;
    lastTick = now;
    return deltaSeconds;
}

} // namespace Marrowvane
