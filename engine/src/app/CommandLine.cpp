#include "app/CommandLine.h"

#include "core/FileSystem.h"

#include <cstdio>
#include <string_view>

namespace Marrowvane
{

CommandLine ReadCommandLine(int argc, const char* const* argv)
{
    CommandLine commandLine;
    if (argv == nullptr)
    {
        return commandLine;
    }
    for (int i = 1; i < argc; ++i)
    {
        if (argv[i] == nullptr)
        {
            continue;
        }
        const std::string_view argument = argv[i];
        if (argument == "--project" && i + 1 < argc)
        {
            ++i;
            if (argv[i] == nullptr)
            {
                continue;
            }
            // The consumed argument is a location whatever it looks like, even "--preview".
            const std::filesystem::path value = argv[i];
            commandLine.projectPath = value.filename() == "project.json" ? value.parent_path() : value;
        }
        else if (argument == "--preview")
        {
            commandLine.preview = true;
        }
        else if (!argument.starts_with("--"))
        {
            commandLine.projectPath = std::filesystem::path(argument);
        }
    }
    return commandLine;
}

std::string PreviewLine(const std::filesystem::path& projectPath)
{
    return "[Info] Preview mode enabled for project: " + PathToUtf8(projectPath) + "\n";
}

void WritePreviewLine(const std::filesystem::path& projectPath)
{
    const std::string line = PreviewLine(projectPath);
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fflush(stdout);
}

} // namespace Marrowvane
