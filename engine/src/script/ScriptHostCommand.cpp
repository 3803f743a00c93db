#include "script/ScriptHostCommand.h"

#include "script/ProtocolNumbers.h"

namespace Marrowvane
{

std::vector<std::string> ScriptHostArguments(const std::filesystem::path& dotnetHost,
                                             const ScriptHostConfig& config)
{
    return {
        dotnetHost.string(),
        config.scriptHostPath.string(),
        config.gameAssemblyPath.string(),
        config.mainClass,
        config.projectDirectory.string(),
        config.startScene,
        FormatFixedSixDecimals(config.fixedDeltaTime),
        FormatFixedSixDecimals(config.x),
        FormatFixedSixDecimals(config.y),
    };
}

std::string ComposeQuotedCommandLine(const std::vector<std::string>& arguments)
{
    std::string command;
    for (const std::string& argument : arguments)
    {
        if (!command.empty())
        {
            command += ' ';
        }
        command += '"';
        command += argument;
        command += '"';
    }
    return command;
}

} // namespace Marrowvane
