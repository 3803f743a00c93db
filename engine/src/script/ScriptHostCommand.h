#pragma once

#include "app/ProjectConfig.h"

#include <filesystem>
#include <string>
#include <vector>

namespace Marrowvane
{

// The nine arguments the script host is started with, in order: dotnet, the
// script host assembly, the game assembly, the main class, the project
// directory, the start scene, then the fixed time step, x and y with six
// decimals ("0.016667", "0.000000"). Each is its text as it is: paths in
// their native form, names byte for byte. dotnet runs argument 2 and hands
// it arguments 3 to 9.
std::vector<std::string> ScriptHostArguments(const std::filesystem::path& dotnetHost,
                                             const ScriptHostConfig& config);

// The command-line text a Windows backend hands to process creation: every
// argument in double quotes, single blanks between them, nothing escaped and
// nothing before the first quote or after the last.
std::string ComposeQuotedCommandLine(const std::vector<std::string>& arguments);

} // namespace Marrowvane
