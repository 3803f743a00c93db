// BasicGame from end to end: the engine executable, the real .NET script host.
#include "app/EngineProcess.h"
#include "app/Picture.h"
#include "support/RealScriptHost.h"

#include <gtest/gtest.h>

namespace Marrowvane
{
namespace
{

TEST(BasicGame, RunsHeadlessAndShowsThePlayerOnItsFloor)
{
    if (!Testing::DotnetOnPath())
    {
        GTEST_SKIP() << "dotnet is not installed, so the .NET script host cannot run here";
    }
    ASSERT_TRUE(std::filesystem::exists(Testing::BuiltBasicGame()))
        << "build it with scripts/build-csharp.sh";

    const auto folder = Testing::MakeTempFolder("basicgame");
    const auto shot = folder / "BasicGame.png";
    Testing::EngineLaunch launch;
    launch.workingDirectory = Testing::SourceDirectory();
    launch.arguments = {"--headless", "--fixed-dt=0.0166667", "--frames=30", "--screenshot=" + shot.string()};
    const Testing::EngineRun run = Testing::RunEngine(launch);
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_NE(run.out.find("[Info] Running project: BasicGame\n"), std::string::npos) << run.out;

    const Testing::Picture picture(shot);
    ASSERT_TRUE(picture.Loaded());
    EXPECT_EQ(picture.Width(), 1280);
    EXPECT_EQ(picture.Height(), 720);
    // The level's tiles are 48 pixels; the camera starts clamped to the top
    // left. The dark floor squares are the background colour, #262934.
    EXPECT_EQ(picture.At(120, 72), (Testing::Pixel{0x26, 0x29, 0x34}));
    // The player stands on the tile at column 1, row 1: its blue shirt shows there.
    EXPECT_GT(picture.Count(48, 48, 48, 48, Testing::Pixel{60, 110, 230}), 50);
    EXPECT_EQ(picture.Count(144, 48, 48, 48, Testing::Pixel{60, 110, 230}), 0);
    std::filesystem::remove_all(folder);
}

} // namespace
} // namespace Marrowvane
