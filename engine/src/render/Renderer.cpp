#include "render/Renderer.h"

#include "core/Log.h"
#include "platform/PngWriter.h"
#include "platform/Window.h"
#include "render/Canvas.h"

#include <cmath>
#include <cstddef>
#include <new>
#include <string>

namespace Marrowvane
{

namespace
{

// The largest back buffer side in pixels; a larger client area is drawn into
// a 0 by 0 surface (nothing shows) and reported once.
constexpr std::int32_t maxBackBufferSide = 16384;

// The single-precision value nearest to 0.01: a zoom at or below it is reset.
constexpr float minimumZoom = 0.01f;

} // namespace

Renderer::Renderer() = default;

Renderer::~Renderer()
{
    ReleaseSurface();
}

bool Renderer::Initialize(Window& targetWindow)
{
    window = &targetWindow;
    return true;
}

void Renderer::SetPixelPerfect(bool enabled)
{
    pixelPerfect = enabled;
}

void Renderer::SetCamera(const Camera& newCamera)
{
    camera = newCamera;
    if (camera.zoom <= minimumZoom)
    {
        camera.zoom = 1.0f;
    }
}

const Camera& Renderer::GetCamera() const
{
    return camera;
}

void Renderer::BeginFrame(Color3 background)
{
    holdsPresentedFrame = false;
    const Window::Size client = window != nullptr ? window->GetClientSize() : Window::Size{};
    if (!hasSurface || backBufferWidth != client.width || backBufferHeight != client.height)
    {
        ReleaseSurface();
        std::int32_t width = client.width;
        std::int32_t height = client.height;
        if (width > maxBackBufferSide || height > maxBackBufferSide)
        {
            LogError("Window too large to draw: " + std::to_string(width) + "x" + std::to_string(height) +
                     " (the largest side is " + std::to_string(maxBackBufferSide) + ")");
            width = 0;
            height = 0;
        }
        try
        {
            backBufferPixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0u);
        }
        catch (const std::bad_alloc&)
        {
            LogError("Out of memory for a back buffer of " + std::to_string(width) + "x" +
                     std::to_string(height));
            width = 0;
            height = 0;
        }
        backBuffer.width = width;
        backBuffer.height = height;
        backBuffer.pitch = width * static_cast<std::int32_t>(sizeof(std::uint32_t));
        backBuffer.pixels = backBufferPixels.empty() ? nullptr : backBufferPixels.data();
        // The stored size is the client size even when the surface had to stay
        // empty, so that an oversized window is not retried every frame.
        backBufferWidth = client.width;
        backBufferHeight = client.height;
        hasSurface = true;
    }
    Canvas(backBuffer).Clear(PackPixel(background));
}

std::optional<PixelRect> Renderer::ProjectVisibleRect(float x, float y, float width, float height) const
{
    if (!IsVisible(x, y, width, height))
    {
        return std::nullopt;
    }
    const float sx = WorldToScreenX(x);
    const float sy = WorldToScreenY(y);
    const float sw = width * camera.zoom;
    const float sh = height * camera.zoom;
    return PixelRectFromEdges(sx, sy, sx + sw, sy + sh);
}

void Renderer::DrawRect(float x, float y, float width, float height, Color3 color)
{
    if (const auto rect = ProjectVisibleRect(x, y, width, height))
    {
        Canvas(backBuffer).FillRect(*rect, PackPixel(color));
    }
}

void Renderer::DrawDebugRect(float x, float y, float width, float height, Color3 color)
{
    if (const auto rect = ProjectVisibleRect(x, y, width, height))
    {
        Canvas(backBuffer).OutlineRect(*rect, PackPixel(color));
    }
}

void Renderer::DrawRects(const std::vector<RectCommand>& rects)
{
    for (const RectCommand& rect : rects)
    {
        DrawRect(rect.x, rect.y, rect.width, rect.height, rect.color);
    }
}

void Renderer::DrawDebugRects(const std::vector<RectCommand>& rects)
{
    for (const RectCommand& rect : rects)
    {
        DrawDebugRect(rect.x, rect.y, rect.width, rect.height, rect.color);
    }
}

void Renderer::Present()
{
    if (window == nullptr || !hasSurface)
    {
        return;
    }
    if (backBuffer.width > 0 && backBuffer.height > 0)
    {
        window->ShowSurface(backBuffer);
    }
    holdsPresentedFrame = true;
}

bool Renderer::IsVisible(float x, float y, float width, float height) const
{
    const float visibleWidth = camera.viewWidth / camera.zoom;
    const float visibleHeight = camera.viewHeight / camera.zoom;
    return camera.x + visibleWidth > x && x + width > camera.x && camera.y + visibleHeight > y &&
           y + height > camera.y;
}

float Renderer::WorldToScreenX(float x) const
{
    const float screen = (x - camera.x) * camera.zoom;
    return pixelPerfect ? std::round(screen) : screen;
}

float Renderer::WorldToScreenY(float y) const
{
    const float screen = (y - camera.y) * camera.zoom;
    return pixelPerfect ? std::round(screen) : screen;
}

Surface& Renderer::GetBackBuffer()
{
    return backBuffer;
}

void Renderer::ReleaseSurface()
{
    backBufferPixels.clear();
    backBufferPixels.shrink_to_fit();
    backBuffer = Surface{};
    backBufferWidth = 0;
    backBufferHeight = 0;
    hasSurface = false;
    holdsPresentedFrame = false;
}

bool Renderer::SaveScreenshot(const std::filesystem::path& path) const
{
    if (!holdsPresentedFrame)
    {
        return false;
    }
    return WritePngFile(backBuffer, path);
}

} // namespace Marrowvane
