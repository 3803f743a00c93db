// The script bridge with the real .NET script host running BasicGame.
#include "platform/InputState.h"
#include "script/ScriptBridge.h"
#include "support/RealScriptHost.h"

#include <gtest/gtest.h>

#include <chrono>

namespace Marrowvane
{
namespace
{

TEST(RealScriptHost, BasicGameAnswersSixtyFramesAndShutsDownWithinTheGrace)
{
    if (!Testing::DotnetOnPath())
    {
        GTEST_SKIP() << "dotnet is not installed, so the .NET script host cannot run here";
    }
    ASSERT_TRUE(std::filesystem::exists(Testing::BuiltScriptHost()))
        << "build it with scripts/build-csharp.sh: " << Testing::BuiltScriptHost();
    ASSERT_TRUE(std::filesystem::exists(Testing::BuiltBasicGame())) << Testing::BuiltBasicGame();

    ScriptHostConfig config;
    config.projectDirectory = Testing::BasicGameDirectory();
    config.gameAssemblyPath = Testing::BuiltBasicGame();
    config.scriptHostPath = Testing::BuiltScriptHost();
    config.mainClass = "BasicGame.MainGame";
    config.startScene = "Play";

    ScriptBridge bridge;
    ASSERT_TRUE(bridge.Start(config));
    bridge.SendStart();
    ASSERT_TRUE(bridge.IsStartedReceived());

    ResetInputStateForTests();
    SetKeyState(39, true); // right arrow held: the player walks
    for (int frame = 0; frame < 60; ++frame)
    {
        bridge.ExchangeFrame(1.0f / 60.0f);
        ASSERT_TRUE(bridge.IsEndFrameReceived()) << "frame " << frame;
        const FrameSnapshot& snapshot = bridge.GetSnapshot();
        EXPECT_FALSE(snapshot.rects.empty()) << "frame " << frame;
        ASSERT_FALSE(snapshot.sprites.empty()) << "frame " << frame;
        EXPECT_FALSE(bridge.GetColliders().empty()) << "frame " << frame;
    }
    ResetInputStateForTests();

    bool playerDrawn = false;
    for (const SpriteCommand& sprite : bridge.GetSnapshot().sprites)
    {
        if (sprite.texturePath == Testing::BasicGameDirectory() / "assets/player.png")
        {
            playerDrawn = true;
            EXPECT_FALSE(sprite.flipX); // facing right
        }
    }
    EXPECT_TRUE(playerDrawn);

    const auto start = std::chrono::steady_clock::now();
    bridge.Shutdown();
    EXPECT_LT(std::chrono::steady_clock::now() - start, ScriptBridgeTimeouts::kShutdownGrace);
    EXPECT_FALSE(bridge.IsChildRunning());
}

} // namespace
} // namespace Marrowvane
