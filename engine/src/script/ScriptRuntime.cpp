#include "script/ScriptRuntime.h"

namespace Marrowvane
{

ScriptRuntime::ScriptRuntime(ScriptBridgeTimeouts timeouts) : bridge(std::make_unique<ScriptBridge>(timeouts))
{
}

ScriptRuntime::~ScriptRuntime()
{
    Shutdown();
}

bool ScriptRuntime::Start(const ScriptHostConfig& config)
{
    return bridge->Start(config);
}

void ScriptRuntime::SendStart()
{
    bridge->SendStart();
}

void ScriptRuntime::Update(float dt)
{
    bridge->ExchangeFrame(dt);
}

const FrameSnapshot& ScriptRuntime::GetFrame() const
{
    return bridge->GetSnapshot();
}

void ScriptRuntime::Shutdown()
{
    if (bridge)
    {
        bridge->Shutdown();
    }
}

} // namespace Marrowvane
