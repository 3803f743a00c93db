#pragma once

#include "render/FrameSnapshot.h"

#include <cstdint>
#include <set>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace Marrowvane
{

// Turns each frame's collider boxes into collision-began events: pairs that
// overlap now and did not in the previous call. Boxes span x to x + width and
// y to y + height; boxes that only touch do not overlap, and two colliders
// with the same id never pair. Every pair is tested, so a call costs n^2/2
// comparisons.
class CollisionPairTracker
{
public:
    using Event = std::pair<std::int32_t, std::int32_t>; // (first id, second id)

    // Each newly begun pair is reported twice, (a, b) then (b, a), in the
    // order of the colliders' positions in the input.
    std::vector<Event> Update(std::span<const ColliderInfo> colliders);

    // The pair keys "<smaller id>:<larger id>" that overlapped in the last call.
    const std::set<std::string>& PreviousPairs() const { return previousPairs; }

    static std::string PairKey(std::int32_t a, std::int32_t b);

private:
    std::set<std::string> previousPairs;
};

} // namespace Marrowvane
