#pragma once

#include "app/ProjectConfig.h"
#include "render/FrameSnapshot.h"
#include "script/ScriptBridge.h"

#include <memory>

namespace Marrowvane
{

// What the application holds of the script host: start, the start
// handshake, one exchange per frame, the frame's snapshot and shutdown,
// all forwarded to the ScriptBridge it owns.
class ScriptRuntime
{
public:
    explicit ScriptRuntime(ScriptBridgeTimeouts timeouts = {});
    ~ScriptRuntime();
    ScriptRuntime(const ScriptRuntime&) = delete;
    ScriptRuntime& operator=(const ScriptRuntime&) = delete;

    bool Start(const ScriptHostConfig& config);
    void SendStart();
    void Update(float dt);
    // Valid while the runtime lives; its content changes with each Update.
    const FrameSnapshot& GetFrame() const;
    void Shutdown();

    // The bridge itself, for its collider list and flags.
    const ScriptBridge& GetBridge() const { return *bridge; }

private:
    std::unique_ptr<ScriptBridge> bridge;
};

} // namespace Marrowvane
