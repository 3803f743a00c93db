#include "scene/CollisionPairTracker.h"

#include <gtest/gtest.h>

#include <limits>
#include <set>
#include <string>
#include <vector>

namespace Marrowvane
{
namespace
{

using Events = std::vector<CollisionPairTracker::Event>;
using Keys = std::set<std::string>;

ColliderInfo Box(std::int32_t id, float x, float y, float width = 10.0f, float height = 10.0f)
{
    return ColliderInfo{id, x, y, width, height};
}

TEST(CollisionPairTrackerTest, NoCollidersOrOneGiveNoEvents)
{
    CollisionPairTracker tracker;
    EXPECT_EQ(tracker.Update({}), Events{});
    EXPECT_TRUE(tracker.PreviousPairs().empty());
    const std::vector<ColliderInfo> one = {Box(1, 0, 0)};
    EXPECT_EQ(tracker.Update(one), Events{});
    EXPECT_TRUE(tracker.PreviousPairs().empty());
}

TEST(CollisionPairTrackerTest, ANewOverlapIsReportedOnceFromBothSides)
{
    CollisionPairTracker tracker;
    const std::vector<ColliderInfo> boxes = {Box(1, 0, 0), Box(2, 5, 5)};
    EXPECT_EQ(tracker.Update(boxes), (Events{{1, 2}, {2, 1}}));
    EXPECT_EQ(tracker.PreviousPairs(), Keys{"1:2"});
    EXPECT_EQ(tracker.Update(boxes), Events{});
    // The key does not depend on the input order, so swapping is no new event.
    const std::vector<ColliderInfo> swapped = {boxes[1], boxes[0]};
    EXPECT_EQ(tracker.Update(swapped), Events{});

    CollisionPairTracker fresh;
    EXPECT_EQ(fresh.Update(swapped), (Events{{2, 1}, {1, 2}}));
}

TEST(CollisionPairTrackerTest, OverlapIsStrictOnEverySide)
{
    struct Case
    {
        ColliderInfo a;
        ColliderInfo b;
        bool overlaps;
    };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const Case cases[] = {
        {Box(1, 0, 0), Box(2, 10, 0), false},  // touch at x = 10
        {Box(1, 0, 0), Box(2, -10, 0), false}, // touch at x = 0
        {Box(1, 0, 0), Box(2, 0, 10), false},  // touch at y = 10
        {Box(1, 0, 0), Box(2, 0, -10), false},
        {Box(1, 0, 0), Box(2, 9.5f, 9.5f), true},
        {Box(1, 0, 0), Box(2, 2, 2, 1, 1), true}, // inside
        {Box(1, 0, 0), Box(2, -5, -5, 20, 20), true},
        {Box(1, 0, 0, 0, 0), Box(2, -5, -5), true}, // an empty box inside another
        // A negative size is taken as it comes, not as a box reaching the other way.
        {Box(1, 0, 0), Box(2, 5, 5, -1, -1), true},
        {Box(1, 0, 0), Box(2, 15, 0, -10, 10), false},
        {Box(1, 0, 0), Box(2, nan, 0), false},
        {Box(1, 0, 0, nan, 10), Box(2, 0, 0), false},
        {Box(1, 0, 0, inf, inf), Box(2, 1e30f, 1e30f), true},
        {Box(1, 0, 0), Box(2, 20, 20), false},
    };
    for (const Case& item : cases)
    {
        SCOPED_TRACE(::testing::Message() << item.b.x << "," << item.b.y << " " << item.b.width);
        CollisionPairTracker tracker;
        const std::vector<ColliderInfo> boxes = {item.a, item.b};
        EXPECT_EQ(tracker.Update(boxes).empty(), !item.overlaps);
        const std::vector<ColliderInfo> reversed = {item.b, item.a};
        CollisionPairTracker other;
        EXPECT_EQ(other.Update(reversed).empty(), !item.overlaps);
    }
}

TEST(CollisionPairTrackerTest, EqualIdsNeverPair)
{
    CollisionPairTracker tracker;
    const std::vector<ColliderInfo> boxes = {Box(3, 0, 0), Box(3, 0, 0), Box(3, 1, 1)};
    EXPECT_EQ(tracker.Update(boxes), Events{});
    EXPECT_TRUE(tracker.PreviousPairs().empty());
}

TEST(CollisionPairTrackerTest, EachPairOfPositionsIsReportedInWalkOrder)
{
    CollisionPairTracker tracker;
    const std::vector<ColliderInfo> boxes = {Box(4, 0, 0), Box(4, 1, 1), Box(9, 2, 2)};
    EXPECT_EQ(tracker.Update(boxes), (Events{{4, 9}, {9, 4}, {4, 9}, {9, 4}}));
    EXPECT_EQ(tracker.PreviousPairs(), Keys{"4:9"});

    CollisionPairTracker three;
    const std::vector<ColliderInfo> chain = {Box(7, 0, 0), Box(5, 5, 0), Box(6, 100, 0), Box(8, 8, 0)};
    EXPECT_EQ(three.Update(chain), (Events{{7, 5}, {5, 7}, {7, 8}, {8, 7}, {5, 8}, {8, 5}}));
    EXPECT_EQ(three.PreviousPairs(), (Keys{"5:7", "7:8", "5:8"}));
}

TEST(CollisionPairTrackerTest, APairThatSeparatesIsNewWhenItOverlapsAgain)
{
    CollisionPairTracker tracker;
    const std::vector<ColliderInfo> together = {Box(1, 0, 0), Box(2, 5, 5)};
    const std::vector<ColliderInfo> apart = {Box(1, 0, 0), Box(2, 50, 50)};
    EXPECT_EQ(tracker.Update(together), (Events{{1, 2}, {2, 1}}));
    EXPECT_EQ(tracker.Update(apart), Events{});
    EXPECT_TRUE(tracker.PreviousPairs().empty());
    EXPECT_EQ(tracker.Update(together), (Events{{1, 2}, {2, 1}}));

    // An empty call forgets every pair as well.
    EXPECT_EQ(tracker.Update({}), Events{});
    EXPECT_EQ(tracker.Update(together), (Events{{1, 2}, {2, 1}}));
}

TEST(CollisionPairTrackerTest, PairKeysOrderIdsByValue)
{
    struct Case
    {
        std::int32_t a;
        std::int32_t b;
        std::string key;
    };
    const Case cases[] = {
        {7, 3, "3:7"},
        {3, 7, "3:7"},
        {12, 3, "3:12"}, // numeric order, not text order
        {-2, 5, "-2:5"},
        {0, -1, "-1:0"},
        {std::numeric_limits<std::int32_t>::max(), std::numeric_limits<std::int32_t>::min(),
         "-2147483648:2147483647"},
    };
    for (const Case& item : cases)
    {
        EXPECT_EQ(CollisionPairTracker::PairKey(item.a, item.b), item.key);
    }
    CollisionPairTracker tracker;
    const std::vector<ColliderInfo> boxes = {Box(12, 0, 0), Box(3, 1, 1)};
    tracker.Update(boxes);
    EXPECT_EQ(tracker.PreviousPairs(), Keys{"3:12"});
}

} // namespace
} // namespace Marrowvane
