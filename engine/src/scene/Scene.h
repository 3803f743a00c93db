#pragma once

#include "scene/Entity.h"

#include <memory>
#include <vector>

namespace Marrowvane
{

// Owns entities, starts them once and updates them every frame, in creation
// order. The engine's own main loop does not use it; it is for native game
// code that links against the engine.
class Scene
{
public:
    // A new plain Entity owned by the scene. The pointer stays valid for the
    // life of the scene. An entity created after Start is never started.
    Entity* CreateEntity();

    // Calls Start() on every entity, the first time only.
    void Start();

    // Calls Update(dt) on every entity, started or not.
    void Update(float dt);

    const std::vector<std::unique_ptr<Entity>>& Entities() const { return entities; }
    bool IsStarted() const { return started; }

protected:
    // A scene type of the game's own may add entities of its own classes.
    std::vector<std::unique_ptr<Entity>> entities;
    bool started = false;
};

} // namespace Marrowvane
