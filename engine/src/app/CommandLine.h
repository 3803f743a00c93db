#pragma once

#include <filesystem>
#include <string>

namespace Marrowvane
{

// What the command line asks for. The project path stays as written: it is
// neither checked nor resolved here (the project loader does that).
struct CommandLine
{
    std::filesystem::path projectPath{"samples/BasicGame"};
    bool preview = false;
};

// Reads the process arguments (argv[0], the program name, is skipped):
//   --project <dir>              the project directory
//   --project <dir>/project.json the same project, named by its file
//   --preview                    preview mode (only announced on the console)
//   <dir>                        any argument not starting with "--"
// Comparisons are exact and case-sensitive; the last project setting wins.
// Other "--" arguments, and "--project" as the last argument, are ignored.
CommandLine ReadCommandLine(int argc, const char* const* argv);

// The console line that announces preview mode, line end included.
std::string PreviewLine(const std::filesystem::path& projectPath);

// Writes PreviewLine straight to standard output and flushes it.
void WritePreviewLine(const std::filesystem::path& projectPath);

} // namespace Marrowvane
