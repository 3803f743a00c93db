#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace Marrowvane
{
namespace
{

CommandLine Read(const std::vector<std::string>& arguments)
{
    std::vector<const char*> argv{"marrowvane"};
    for (const std::string& argument : arguments)
    {
        argv.push_back(argument.c_str());
    }
    argv.push_back(nullptr);
    return ReadCommandLine(static_cast<int>(argv.size() - 1), argv.data());
}

TEST(CommandLineTest, ReadsTheProjectPathAndThePreviewFlag)
{
    struct Case
    {
        std::vector<std::string> arguments;
        std::string projectPath; // exactly as the path's text
        bool preview;
    };
    const Case cases[] = {
        {{}, "samples/BasicGame", false},
        {{"--project", "games/Pong/project.json"}, "games/Pong", false},
        {{"--project", "games/Pong"}, "games/Pong", false},
        {{"--project", "games/Pong/"}, "games/Pong/", false},
        {{"--project", "games/Pong/PROJECT.JSON"}, "games/Pong/PROJECT.JSON", false}, // exact, case-sensitive
        {{"--project", "games/Pong/project.json/"}, "games/Pong/project.json/", false},
        {{"--project", "games/Pong/my-project.json"}, "games/Pong/my-project.json", false},
        {{"--project", "project.json"}, "", false}, // the parent of a bare file name
        {{"--project", "/srv/games/Pong/project.json"}, "/srv/games/Pong", false},
        {{"games/A", "games/B"}, "games/B", false}, // the last setting wins
        {{"--project", "games/A", "games/B"}, "games/B", false},
        {{"games/B", "--project", "games/A"}, "games/A", false},
        {{"--project", "games/A/project.json", "--project", "games/B"}, "games/B", false},
        {{"--project"}, "samples/BasicGame", false}, // no value: ignored
        {{"games/A", "--project"}, "games/A", false},
        {{"--verbose"}, "samples/BasicGame", false},
        {{"--project=games/A"}, "samples/BasicGame", false},
        {{"--Preview"}, "samples/BasicGame", false},
        {{"--PROJECT", "games/A"}, "games/A", false}, // not the option, so games/A is positional
        {{"-x"}, "-x", false},                        // one dash is a directory
        {{"-"}, "-", false},
        {{""}, "", false},
        {{"--"}, "samples/BasicGame", false},
        {{"--preview"}, "samples/BasicGame", true},
        {{"--preview", "games/A"}, "games/A", true},
        {{"games/A", "--preview", "--preview"}, "games/A", true},
        {{"--project", "--preview"}, "--preview", false}, // the value is consumed whatever it is
        {{"--project", "--project", "games/A"}, "games/A", false},
        {{"games/My Game \xC3\xA4"}, "games/My Game \xC3\xA4", false},
    };
    for (const Case& item : cases)
    {
        std::string trace;
        for (const std::string& argument : item.arguments)
        {
            trace += "[" + argument + "] ";
        }
        SCOPED_TRACE(trace);
        const CommandLine commandLine = Read(item.arguments);
        EXPECT_EQ(commandLine.projectPath.native(), item.projectPath);
        EXPECT_EQ(commandLine.preview, item.preview);
    }
}

TEST(CommandLineTest, AnEmptyArgumentVectorGivesTheDefaults)
{
    const char* const programOnly[] = {"marrowvane", nullptr};
    for (const CommandLine& commandLine :
         {ReadCommandLine(0, nullptr), ReadCommandLine(0, programOnly), ReadCommandLine(1, programOnly)})
    {
        EXPECT_EQ(commandLine.projectPath.native(), "samples/BasicGame");
        EXPECT_FALSE(commandLine.preview);
    }
}

TEST(CommandLineTest, PreviewLineNamesThePathAsGiven)
{
    EXPECT_EQ(PreviewLine("games/A"), "[Info] Preview mode enabled for project: games/A\n");
    EXPECT_EQ(PreviewLine("./games/../A/"), "[Info] Preview mode enabled for project: ./games/../A/\n");
    EXPECT_EQ(PreviewLine(""), "[Info] Preview mode enabled for project: \n");

    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    WritePreviewLine("games/A");
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "[Info] Preview mode enabled for project: games/A\n");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

} // namespace
} // namespace Marrowvane
