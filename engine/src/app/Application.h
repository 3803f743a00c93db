#pragma once

#include "app/FrameClock.h"
#include "app/ProjectConfig.h"
#include "app/RunOptions.h"
#include "platform/Window.h"
#include "render/Renderer.h"
#include "script/ScriptRuntime.h"

#include <cstdint>
#include <filesystem>

namespace Marrowvane
{

// The one top-level object: loads the project, opens the window, starts the
// script host and runs one frame per loop iteration until the window closes.
class Application
{
public:
    explicit Application(RunOptions options = {});
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // 0 after the window was closed (or the --frames count was reached),
    // 1 after a start-up failure or a screenshot that could not be written.
    std::int32_t Run(const std::filesystem::path& projectPath);

private:
    void RunFrame(const ProjectConfig& config);

    // Declared in construction order; destroyed in reverse, so the script
    // host stops first and the window goes last.
    Window window;
    Renderer renderer;
    FrameClock clock;
    ScriptRuntime scriptRuntime;
    RunOptions options;
};

} // namespace Marrowvane
