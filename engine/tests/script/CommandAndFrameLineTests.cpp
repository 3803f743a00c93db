#include "platform/InputState.h"
#include "script/FrameLine.h"
#include "script/ScriptHostCommand.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace Marrowvane
{
namespace
{

class FrameLineTest : public ::testing::Test
{
protected:
    void SetUp() override { ResetInputStateForTests(); }
    void TearDown() override { ResetInputStateForTests(); }

    static std::string Compose(float dt)
    {
        std::string line = "left over";
        ComposeFrameLine(dt, line);
        return line;
    }
};

TEST_F(FrameLineTest, NothingHeldLeavesEmptyFieldsAndEndsInTheSeparator)
{
    EXPECT_EQ(Compose(0.05f), "FRAME|0.05||0,0|");
    EXPECT_EQ(Compose(0.0f), "FRAME|0||0,0|");
    EXPECT_EQ(Compose(0.00001f), "FRAME|1e-05||0,0|");
}

TEST_F(FrameLineTest, CarriesTimeStepKeysMouseAndButtons)
{
    SetKeyState(65, true);
    SetKeyState(37, true);
    SetMouseButtonState(0, true);
    SetMousePosition(640, 360);
    EXPECT_EQ(Compose(1.0f / 60.0f), "FRAME|0.0166667|37,65|640,360|0");
    SetMousePosition(-5, 70000);
    SetMouseButtonState(2, true);
    EXPECT_EQ(Compose(0.016666668f), "FRAME|0.0166667|37,65|-5,70000|0,2");
}

ScriptHostConfig ExampleConfig()
{
    ScriptHostConfig config;
    config.projectDirectory = "/games/My Game";
    config.gameAssemblyPath = "/games/My Game/bin/Game.dll";
    config.scriptHostPath = "/opt/marrowvane/ScriptHost/Marrowvane.ScriptHost.dll";
    config.mainClass = "Game.Main";
    config.startScene = "Main";
    config.fixedDeltaTime = 1.0f / 60.0f;
    return config;
}

TEST(ScriptHostCommand, NineArgumentsInTheirOrderAndNotation)
{
    const std::vector<std::string> arguments = ScriptHostArguments("dotnet", ExampleConfig());
    const std::vector<std::string> expected = {
        "dotnet",
        "/opt/marrowvane/ScriptHost/Marrowvane.ScriptHost.dll",
        "/games/My Game/bin/Game.dll",
        "Game.Main",
        "/games/My Game",
        "Main",
        "0.016667",
        "0.000000",
        "0.000000",
    };
    EXPECT_EQ(arguments, expected);
}

TEST(ScriptHostCommand, ArgumentsKeepBlanksQuotesAndBytesAsTheyAre)
{
    ScriptHostConfig config = ExampleConfig();
    config.mainClass = "My \"Quoted\" Game.Main";
    config.startScene = "Scène \\ 1";
    config.x = -2.5f;
    config.y = 1e-7f;
    const std::vector<std::string> arguments = ScriptHostArguments("/home/a b/.dotnet/dotnet", config);
    ASSERT_EQ(arguments.size(), 9u);
    EXPECT_EQ(arguments[0], "/home/a b/.dotnet/dotnet");
    EXPECT_EQ(arguments[3], "My \"Quoted\" Game.Main");
    EXPECT_EQ(arguments[5], "Scène \\ 1");
    EXPECT_EQ(arguments[7], "-2.500000");
    EXPECT_EQ(arguments[8], "0.000000");
}

TEST(ScriptHostCommand, QuotedCommandLineForProcessCreation)
{
    EXPECT_EQ(
        ComposeQuotedCommandLine(ScriptHostArguments("dotnet", ExampleConfig())),
        "\"dotnet\" \"/opt/marrowvane/ScriptHost/Marrowvane.ScriptHost.dll\" \"/games/My Game/bin/Game.dll\" "
        "\"Game.Main\" \"/games/My Game\" \"Main\" \"0.016667\" \"0.000000\" \"0.000000\"");
    // Nothing inside an argument is escaped.
    EXPECT_EQ(ComposeQuotedCommandLine({"a\"b", "c\\", ""}), "\"a\"b\" \"c\\\" \"\"");
    EXPECT_EQ(ComposeQuotedCommandLine({}), "");
}

} // namespace
} // namespace Marrowvane
