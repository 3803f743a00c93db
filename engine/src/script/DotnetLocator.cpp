#include "script/DotnetLocator.h"

#include "core/FileSystem.h"

#include <cstdlib>

namespace Marrowvane
{

namespace
{

// The installation folder's executable on this platform.
constexpr const char* kDotnetExecutable = "dotnet";

// An existence test that fails for another reason than absence counts as
// absence: the lookup falls back instead of ending the engine.
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

} // namespace

std::filesystem::path DotnetLocator()
{
    if (const char* dotnetRoot = std::getenv("DOTNET_ROOT"))
    {
        const std::filesystem::path candidate = std::filesystem::path(dotnetRoot) / kDotnetExecutable;
        if (CandidateExists(candidate))
        {
            return candidate;
        }
    }
    const char* userProfile = std::getenv("USERPROFILE");
    if (userProfile == nullptr)
    {
        userProfile = std::getenv("HOME");
    }
    if (userProfile != nullptr)
    {
        const std::filesystem::path candidate =
            std::filesystem::path(userProfile) / ".dotnet" / kDotnetExecutable;
        if (CandidateExists(candidate))
        {
            return candidate;
        }
    }
    return "dotnet";
}

} // namespace Marrowvane
