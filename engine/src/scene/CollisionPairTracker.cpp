#include "scene/CollisionPairTracker.h"

namespace Marrowvane
{

namespace
{

// Strict on all four sides, in float arithmetic; a NaN makes it false.
bool Overlaps(const ColliderInfo& a, const ColliderInfo& b)
{
    return b.x + b.width > a.x && a.x + a.width > b.x && b.y + b.height > a.y && a.y + a.height > b.y;
}

} // namespace

std::string CollisionPairTracker::PairKey(std::int32_t a, std::int32_t b)
{
    const std::int32_t smaller = a < b ? a : b;
    const std::int32_t larger = a < b ? b : a;
    return std::to_string(smaller) + ":" + std::to_string(larger);
}

std::vector<CollisionPairTracker::Event> CollisionPairTracker::Update(std::span<const ColliderInfo> colliders)
{
    std::set<std::string> currentPairs;
    std::vector<Event> events;
    for (std::size_t i = 0; i < colliders.size(); ++i)
    {
        const ColliderInfo& a = colliders[i];
        for (std::size_t j = i + 1; j < colliders.size(); ++j)
        {
            const ColliderInfo& b = colliders[j];
            if (a.id == b.id || !Overlaps(a, b))
            {
                continue;
            }
            std::string key = PairKey(a.id, b.id);
            // Only the previous call's pairs decide what is new.
            if (!previousPairs.contains(key))
            {
                events.emplace_back(a.id, b.id);
                events.emplace_back(b.id, a.id);
            }
            currentPairs.insert(std::move(key));
        }
    }
    previousPairs = std::move(currentPairs);
    return events;
}

} // namespace Marrowvane
