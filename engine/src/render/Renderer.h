#pragma once

#include "core/Color3.h"
#include "render/FrameSnapshot.h"
#include "render/PixelRect.h"
#include "render/Surface.h"
#include "render/Texture.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace Marrowvane
{

class Window;

// Draws one frame snapshot per frame into a back buffer of the window's client
// size and shows it in the window at the end of the frame. World coordinates
// (y down) are projected through the frame's camera; whatever lies outside the
// camera's view is skipped. The pixel rules themselves live in Canvas.
//
// Frame order: BeginFrame, SetCamera, DrawRects, sprites, DrawDebugRects,
// Present. Main thread only.
class Renderer
{
public:
    Renderer();
    ~Renderer();
    Renderer(const Renderer&) = delete;
    Renderer& operator=(const Renderer&) = delete;

    // Keeps a pointer to the window; the window must outlive the Renderer.
    // Always succeeds.
    bool Initialize(Window& window);
    void SetPixelPerfect(bool enabled);
    // Takes all five fields; a zoom of 0.01 or less (zero, negative) becomes 1.
    void SetCamera(const Camera& newCamera);
    const Camera& GetCamera() const;

    // Makes the back buffer at the window's client size when it has none or
    // the size changed, then fills all of it with the background colour.
    void BeginFrame(Color3 background);
    void DrawRect(float x, float y, float width, float height, Color3 color);
    void DrawDebugRect(float x, float y, float width, float height, Color3 color);
    void DrawRects(const std::vector<RectCommand>& rects);
    void DrawDebugRects(const std::vector<RectCommand>& rects);
    // Shows the back buffer in the window.
    void Present();

    // Whether the world rectangle overlaps the camera's view (strictly: a
    // rectangle that only touches an edge, or any NaN, is not visible).
    bool IsVisible(float x, float y, float width, float height) const;
    // (world - camera) * zoom, rounded half away from zero when pixel-perfect.
    float WorldToScreenX(float x) const;
    float WorldToScreenY(float y) const;

    // The drawing surface of the frame being drawn (0 by 0 before the first
    // BeginFrame and after ReleaseSurface).
    Surface& GetBackBuffer();
    // Frees the back buffer; the next BeginFrame makes a new one.
    void ReleaseSurface();

    // Writes the frame that was last presented as a PNG file. False, with the
    // file left as it was, when nothing has been presented yet, when a new
    // frame has been begun since, or when writing fails; the caller reports it.
    bool SaveScreenshot(const std::filesystem::path& path) const;

    // ---- Texture cache (RendererTextureCache.cpp) ----
    // Each resolved path is loaded at most once in the Renderer's life; a
    // missing or undecodable file is reported once and stays a failed Texture.
    // The cache never evicts, reloads or normalises paths.

    // Base for relative texture paths; does not touch the cache.
    void SetAssetRoot(std::filesystem::path root);
    // An absolute path (a leading "/" here) unchanged; a relative one joined
    // to the asset root, or to the current directory while there is none.
    std::filesystem::path ResolveAssetPath(const std::filesystem::path& texturePath) const;
    // The cached Texture of the path, made and loaded on first use. Never
    // null; valid while the Renderer lives. Looking up a path seen before
    // allocates nothing (an absolute path, or one under the asset root).
    Texture* GetTexture(const std::filesystem::path& texturePath);

    // ---- Sprites (RendererSprites.cpp) ----
    // All sprites in ascending byte order of their texture paths' UTF-8 text
    // (not in list order); the list itself is not reordered.
    void DrawSprites(const std::vector<SpriteCommand>& sprites);
    // One sprite: its texture is looked up whether it is visible or not; a
    // failed texture is drawn as the fallback rectangle through DrawRect, a
    // loaded one by the canvas's image rule (ImageDrawing.h) if visible.
    void DrawSprite(const SpriteCommand& sprite);

private:
    // The pixel rectangle a visible world rectangle covers: projected through
    // the camera, edges summed in float and truncated toward zero
    // (saturated). Nothing when it is outside the view or an edge is NaN.
    std::optional<PixelRect> ProjectVisibleRect(float x, float y, float width, float height) const;

    // Hashes keys as string views, so that a lookup needs no std::string.
    struct TextureKeyHash
    {
        using is_transparent = void;
        std::size_t operator()(std::string_view key) const noexcept
        {
            return std::hash<std::string_view>{}(key);
        }
    };

    // The cache key of a texture path: the UTF-8 text of its resolved path.
    // A view of the path itself or of textureKeyScratch, valid until the next
    // call.
    std::string_view TextureKey(const std::filesystem::path& texturePath);

    Window* window = nullptr;
    std::filesystem::path assetRoot; // empty until SetAssetRoot
    Camera camera;
    bool pixelPerfect = true;
    // Texture cache: key (resolved path as UTF-8) to Texture, loaded and
    // failed alike, and the keys already reported as missing. Both only grow.
    std::unordered_map<std::string, std::unique_ptr<Texture>, TextureKeyHash, std::equal_to<>> textures;
    std::unordered_set<std::string> missingTextures;
    std::string textureKeyScratch; // reused to build keys of relative paths
    // The drawing surface: made together by BeginFrame, kept while the client
    // size stays the same, cleared together by ReleaseSurface.
    bool hasSurface = false;
    std::vector<std::uint32_t> backBufferPixels;
    Surface backBuffer;
    std::int32_t backBufferWidth = 0;
    std::int32_t backBufferHeight = 0;
    // Whether the back buffer holds a presented frame that no BeginFrame has
    // touched since: what SaveScreenshot may write.
    bool holdsPresentedFrame = false;
};

} // namespace Marrowvane
