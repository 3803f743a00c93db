#include "app/RunOptions.h"

#include <gtest/gtest.h>

#include <vector>

namespace Marrowvane
{
namespace
{

RunOptionsResult Read(std::vector<const char*> arguments)
{
    arguments.insert(arguments.begin(), "marrowvane");
    return ReadRunOptions(static_cast<int>(arguments.size()), arguments.data());
}

TEST(RunOptions, NoneGiven)
{
    const RunOptionsResult result = Read({"samples/BasicGame", "--preview", "--verbose"});
    EXPECT_TRUE(result.error.empty());
    EXPECT_FALSE(result.options.headless);
    EXPECT_FALSE(result.options.help);
    EXPECT_FALSE(result.options.frames);
    EXPECT_FALSE(result.options.screenshot);
    EXPECT_FALSE(result.options.fixedDeltaTime);
}

TEST(RunOptions, EachOptionIsOneArgument)
{
    const RunOptionsResult result =
        Read({"--headless", "--frames=300", "--screenshot=out/shot.png", "--fixed-dt=0.016", "games/A"});
    ASSERT_TRUE(result.error.empty()) << result.error;
    EXPECT_TRUE(result.options.headless);
    EXPECT_EQ(result.options.frames, 300);
    EXPECT_EQ(result.options.screenshot, std::filesystem::path("out/shot.png"));
    EXPECT_EQ(result.options.fixedDeltaTime, 0.016f);
}

TEST(RunOptions, TheProjectValueIsNeverReadAsAnOption)
{
    const RunOptionsResult result = Read({"--project", "--headless"});
    EXPECT_FALSE(result.options.headless);
}

TEST(RunOptions, BadValuesAreOneClearError)
{
    for (const char* argument : {"--frames=", "--frames=0", "--frames=-3", "--frames=12x", "--frames=abc",
                                 "--screenshot=", "--fixed-dt=", "--fixed-dt=-0.1", "--fixed-dt=nan",
                                 "--fixed-dt=inf", "--fixed-dt=1e9", "--fixed-dt=0.1s"})
    {
        const RunOptionsResult result = Read({argument});
        EXPECT_NE(result.error.find(argument), std::string::npos) << argument << ": " << result.error;
    }
}

TEST(RunOptions, HelpAndUsage)
{
    EXPECT_TRUE(Read({"--help"}).options.help);
    const std::string usage = Usage();
    for (const char* option :
         {"--headless", "--frames=N", "--screenshot=PATH", "--fixed-dt=SECONDS", "--project"})
    {
        EXPECT_NE(usage.find(option), std::string::npos) << option;
    }
}

} // namespace
} // namespace Marrowvane
