#include "app/FrameLimiter.h"

#include <chrono>
#include <thread>

namespace Marrowvane
{

std::int64_t SteadyFramePacer::NowNanoseconds()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void SteadyFramePacer::SleepOneMillisecond()
{
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

void SteadyFramePacer::YieldThread()
{
    std::this_thread::yield();
}

void LimitFrame(std::int64_t frameStartNanoseconds, std::int32_t targetFps, bool enabled, FramePacer& pacer)
{
    if (!enabled || targetFps <= 0)
    {
        return;
    }
    // Single precision throughout, as the frame budget is compared in
    // nanoseconds held as floats.
    const float targetFrameTime = 1.0f / static_cast<float>(targetFps);
    const float targetNanoseconds = targetFrameTime * 1e9f;
    constexpr float coarseWaitThreshold = 2e6f; // below 2 ms left, only yield
    while (static_cast<float>(pacer.NowNanoseconds() - frameStartNanoseconds) < targetNanoseconds)
    {
        const float remaining =
            targetNanoseconds - static_cast<float>(pacer.NowNanoseconds() - frameStartNanoseconds);
        if (remaining > coarseWaitThreshold)
        {
            pacer.SleepOneMillisecond();
        }
        else
        {
            pacer.YieldThread();
        }
    }
}

float ClampDeltaTime(float dt, float maxDeltaTime)
{
    if (dt > maxDeltaTime)
    {
        dt = maxDeltaTime;
    }
    if (dt < 0.0f)
    {
        dt = 0.0f;
    }
    return dt;
}

} // namespace Marrowvane
