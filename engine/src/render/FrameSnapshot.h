#pragma once

#include "core/Color3.h"

#include <cstdint>
#include <filesystem>
#include <vector>

namespace Marrowvane
{

// What the script host produced for one frame. World units, y down.

struct Camera
{
    float x = 0.0f;            // world x at the left edge of the view
    float y = 0.0f;            // world y at the top edge of the view
    float zoom = 1.0f;         // pixels per world unit
    float viewWidth = 1280.0f; // view size in pixels; only culling uses it
    float viewHeight = 720.0f;
};

struct RectCommand
{
    float x = 0.0f;
    float y = 0.0f;
    float width = 0.0f;
    float height = 0.0f;
    Color3 color;
};

struct SpriteCommand
{
    float x = 0.0f;
    float y = 0.0f;
    float width = 0.0f;
    float height = 0.0f;
    Color3 color;                      // fallback rectangle when the texture cannot be drawn
    std::filesystem::path texturePath; // already resolved against the project directory
    bool flipX = false;
    bool flipY = false;
};

struct ColliderInfo
{
    std::int32_t id = 0;
    float x = 0.0f;
    float y = 0.0f;
    float width = 0.0f;
    float height = 0.0f;
};

struct FrameSnapshot
{
    Camera camera;
    std::vector<RectCommand> rects;
    std::vector<SpriteCommand> sprites;
    std::vector<RectCommand> debugRects;
};

} // namespace Marrowvane
