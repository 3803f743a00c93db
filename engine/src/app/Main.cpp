// The engine's entry point: reads the command line and runs one Application.
#include "app/Application.h"
#include "app/CommandLine.h"
#include "app/RunOptions.h"
#include "core/Log.h"

#include <cstdio>
#include <exception>

int main(int argc, char** argv)
{
    using namespace Marrowvane;

    const RunOptionsResult runOptions = ReadRunOptions(argc, argv);
    if (!runOptions.error.empty())
    {
        LogError(runOptions.error);
        return 1;
    }
    if (runOptions.options.help)
    {
        std::fputs(Usage().c_str(), stdout);
        return 0;
    }

    const CommandLine commandLine = ReadCommandLine(argc, argv);
    if (commandLine.preview)
    {
        WritePreviewLine(commandLine.projectPath);
    }

    std::int32_t exitCode = 1;
    try
    {
        // The Application is destroyed before the handler runs, so the
        // script host has been shut down by the time the error is logged.
        Application application(runOptions.options);
        exitCode = application.Run(commandLine.projectPath);
    }
    catch (const std::exception& error)
    {
        LogError(error.what());
        exitCode = 1;
    }
    catch (...)
    {
        LogError("The engine stopped on an unexpected error.");
        exitCode = 1;
    }
    return exitCode;
}
