#pragma once

#include <cstdint>

namespace Marrowvane
{

// The clock and the two ways of waiting the frame limiter uses, so that its
// pacing can be checked without real time passing.
class FramePacer
{
public:
    virtual ~FramePacer() = default;
    virtual std::int64_t NowNanoseconds() = 0; // steady clock
    virtual void SleepOneMillisecond() = 0;
    virtual void YieldThread() = 0;
};

// The steady clock and the standard library's sleep and yield.
class SteadyFramePacer final : public FramePacer
{
public:
    std::int64_t NowNanoseconds() override;
    void SleepOneMillisecond() override;
    void YieldThread() override;
};

// Holds the frame that began at frameStart to 1 / targetFps seconds: sleeps
// 1 ms at a time while more than 2 ms remain, then yields until the time is
// up. Does nothing when disabled or when targetFps is 0 or negative.
void LimitFrame(std::int64_t frameStartNanoseconds, std::int32_t targetFps, bool enabled, FramePacer& pacer);

// The time step handed to the script host: within 0 .. maxDeltaTime.
float ClampDeltaTime(float dt, float maxDeltaTime);

} // namespace Marrowvane
