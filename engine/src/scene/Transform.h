#pragma once

namespace Marrowvane
{

// Position, scale and rotation of an entity. The engine reads none of these
// itself, so units and conventions are up to the game code.
struct Transform
{
    float positionX = 0.0f;
    float positionY = 0.0f;
    float scaleX = 1.0f;
    float scaleY = 1.0f;
    float rotation = 0.0f;
};

} // namespace Marrowvane
