#include "scene/Scene.h"

namespace Marrowvane
{

Entity* Scene::CreateEntity()
{
    auto entity = std::make_unique<Entity>();
    Entity* const address = entity.get();
    // If the append throws, the owning pointer still frees the entity.
    entities.push_back(std::move(entity));
    return address;
}

void Scene::Start()
{
    if (started)
    {
        return;
    }
    for (const std::unique_ptr<Entity>& entity : entities)
    {
        entity->Start();
    }
    started = true;
}

void Scene::Update(float dt)
{
    for (const std::unique_ptr<Entity>& entity : entities)
    {
        entity->Update(dt);
    }
}

} // namespace Marrowvane
