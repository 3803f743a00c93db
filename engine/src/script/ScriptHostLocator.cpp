#include "script/ScriptHostLocator.h"

#include "core/FileSystem.h"
#include "platform/ExecutableDirectory.h"

#include <system_error>

namespace Marrowvane
{

namespace
{

// A candidate whose test fails for any reason (a name too long, a folder
// that cannot be read, a link loop) is one that is not there: the lookup
// must hand back a usable path, not end the engine.
bool CandidateExists(const std::filesystem::path& candidate)
{
    try
    {
        return PathExists(candidate);
    }
    catch (const std::filesystem::filesystem_error&)
    {
        return false;
    }
}

std::filesystem::path Canonical(const std::filesystem::path& path)
{
    std::error_code error;
    std::filesystem::path canonical = std::filesystem::weakly_canonical(path, error);
    return error ? path : canonical;
}

} // namespace

std::filesystem::path ScriptHostLocator(const std::filesystem::path& projectRoot)
{
    std::error_code error;
    const std::filesystem::path current = std::filesystem::current_path(error);
    const std::filesystem::path scriptHostFile = "Marrowvane.ScriptHost.dll";

    const std::filesystem::path candidateFromRuntime = ExecutableDirectory() / "ScriptHost" / scriptHostFile;
    if (CandidateExists(candidateFromRuntime))
    {
        return Canonical(candidateFromRuntime);
    }

    const std::filesystem::path file =
        std::filesystem::path("engine/csharp/ScriptHost/bin/Debug/net8.0") / scriptHostFile;
    const std::filesystem::path candidateFromCurrent = current / file;
    if (CandidateExists(candidateFromCurrent))
    {
        return Canonical(candidateFromCurrent);
    }

    const std::filesystem::path candidateFromSample = projectRoot.parent_path().parent_path() / file;
    if (CandidateExists(candidateFromSample))
    {
        return Canonical(candidateFromSample);
    }
    return candidateFromCurrent;
}

} // namespace Marrowvane
