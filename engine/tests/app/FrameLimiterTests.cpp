#include "app/FrameLimiter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace Marrowvane
{
namespace
{

// A clock that moves only when the limiter waits, by a set cost per wait.
class FakePacer final : public FramePacer
{
public:
    std::int64_t now = 0;
    std::int64_t sleepCost = 1'000'000; // a 1 ms sleep takes 1 ms
    std::int64_t yieldCost = 50'000;    // a yield takes 50 us
    int sleeps = 0;
    int yields = 0;
    std::int64_t lastSleepStartedWithRemaining = 0;

    std::int64_t NowNanoseconds() override { return now; }
    void SleepOneMillisecond() override
    {
        ++sleeps;
        now += sleepCost;
    }
    void YieldThread() override
    {
        ++yields;
        now += yieldCost;
    }
};

TEST(FrameLimiter, OffMeansNoWaiting)
{
    struct Case
    {
        bool enabled;
        std::int32_t targetFps;
    };
    for (const Case c : {Case{false, 60}, Case{true, 0}, Case{true, -5}})
    {
        FakePacer pacer;
        LimitFrame(0, c.targetFps, c.enabled, pacer);
        EXPECT_EQ(pacer.sleeps + pacer.yields, 0) << c.enabled << " " << c.targetFps;
    }
}

TEST(FrameLimiter, SleepsWhileMoreThanTwoMillisecondsRemainThenYields)
{
    FakePacer pacer;
    pacer.now = 1'000'000;           // the frame's work took 1 ms
    LimitFrame(0, 100, true, pacer); // 10 ms budget
    // 9 ms remain: sleeps at 9, 8, ... 3 ms remaining, then yields through the last 2 ms.
    EXPECT_EQ(pacer.sleeps, 7);
    EXPECT_EQ(pacer.yields, 40);
    EXPECT_GE(pacer.now, 10'000'000);
    EXPECT_LT(pacer.now, 10'000'000 + pacer.yieldCost);
}

TEST(FrameLimiter, WorkLongerThanTheTargetDoesNotWait)
{
    FakePacer pacer;
    pacer.now = 20'000'000;
    LimitFrame(0, 60, true, pacer);
    EXPECT_EQ(pacer.sleeps + pacer.yields, 0);
}

TEST(FrameLimiter, OversleepingEndsTheWaitAtOnce)
{
    FakePacer pacer;
    pacer.sleepCost = 30'000'000; // the system sleeps far longer than asked
    LimitFrame(0, 60, true, pacer);
    EXPECT_EQ(pacer.sleeps, 1);
    EXPECT_EQ(pacer.yields, 0);
}

TEST(ClampDeltaTime, KeepsTheStepWithinZeroAndTheMaximum)
{
    struct Case
    {
        float dt;
        float maxDeltaTime;
        float expected;
    };
    const Case cases[] = {
        {0.016f, 0.05f, 0.016f}, {1.0f, 0.05f, 0.05f}, {-0.5f, 0.05f, 0.0f},
        {0.3f, 0.0f, 0.0f},      {0.0f, 0.0f, 0.0f},   {std::numeric_limits<float>::infinity(), 0.05f, 0.05f},
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ(ClampDeltaTime(c.dt, c.maxDeltaTime), c.expected) << c.dt << " " << c.maxDeltaTime;
    }
}

} // namespace
} // namespace Marrowvane
