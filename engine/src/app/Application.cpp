#include "app/Application.h"

#include "app/FrameLimiter.h"
#include "app/ProjectConfig.h"
#include "core/FileSystem.h"
#include "core/Log.h"
#include "script/ScriptHostLocator.h"

#include <system_error>
#include <utility>

namespace Marrowvane
{

Application::Application(RunOptions options) : options(std::move(options)) {}

std::int32_t Application::Run(const std::filesystem::path& projectPath)
{
    ProjectConfig config;
    if (!LoadProjectConfig(projectPath, config))
    {
        return 1;
    }

    if (options.headless)
    {
        Window::RequestHeadless();
    }
    if (!window.Create(config.window.width, config.window.height, config.window.title))
    {
        return 1;
    }
    if (!renderer.Initialize(window))
    {
        return 1;
    }
    renderer.SetAssetRoot(config.root);
    renderer.SetPixelPerfect(config.pixelPerfect);

    ScriptHostConfig scriptConfig;
    scriptConfig.projectDirectory = config.root;
    scriptConfig.gameAssemblyPath = config.mainAssembly;
    scriptConfig.scriptHostPath = ScriptHostLocator(config.root);
    scriptConfig.mainClass = config.mainClass;
    scriptConfig.startScene = config.startScene;
    scriptConfig.fixedDeltaTime = config.fixedDeltaTime;
    scriptConfig.x = config.x;
    scriptConfig.y = config.y;

    if (!PathExists(scriptConfig.scriptHostPath))
    {
        LogError("Script host was not found: " + PathToUtf8(scriptConfig.scriptHostPath));
        return 1;
    }
    if (!PathExists(scriptConfig.gameAssemblyPath))
    {
        LogError("Game assembly was not found: " + PathToUtf8(scriptConfig.gameAssemblyPath));
        return 1;
    }
    if (!scriptRuntime.Start(scriptConfig))
    {
        return 1;
    }
    scriptRuntime.SendStart();
    clock.Reset();
    LogInfo("Running project: " + config.name);

    std::int64_t framesRun = 0;
    while (window.PumpMessages())
    {
        RunFrame(config);
        ++framesRun;
        if (options.frames && framesRun >= *options.frames)
        {
            break;
        }
    }
    scriptRuntime.Shutdown();

    if (options.screenshot)
    {
        std::error_code ignored;
        if (options.screenshot->has_parent_path())
        {
            std::filesystem::create_directories(options.screenshot->parent_path(), ignored);
        }
        if (!renderer.SaveScreenshot(*options.screenshot))
        {
            LogError("Could not write screenshot: " + PathToUtf8(*options.screenshot));
            return 1;
        }
    }
    return 0;
}

void Application::RunFrame(const ProjectConfig& config)
{
    SteadyFramePacer pacer;
    const std::int64_t frameStart = pacer.NowNanoseconds();
    float dt = clock.Tick();
    if (options.fixedDeltaTime)
    {
        dt = *options.fixedDeltaTime;
    }
    dt = ClampDeltaTime(dt, config.maxDeltaTime);

    scriptRuntime.Update(dt);
    const FrameSnapshot& snapshot = scriptRuntime.GetFrame();

    renderer.BeginFrame(config.backgroundColor);
    renderer.SetCamera(snapshot.camera);
    renderer.DrawRects(snapshot.rects);
    renderer.DrawSprites(snapshot.sprites);
    renderer.DrawDebugRects(snapshot.debugRects);
    renderer.Present();

    LimitFrame(frameStart, config.targetFps, config.enableFrameLimiter, pacer);
}

} // namespace Marrowvane
