#pragma once

#include "scene/Transform.h"

namespace Marrowvane
{

// An object of native game code: a transform and two hooks. A Scene calls
// Start once and Update every frame; both do nothing here.
class Entity
{
public:
    virtual ~Entity() = default;

    virtual void Start() {}
    virtual void Update(float dt) { static_cast<void>(dt); }

    Transform transform;
};

} // namespace Marrowvane
