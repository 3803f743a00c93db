#pragma once

#include <filesystem>

namespace Marrowvane
{

// Finds the dotnet executable: $DOTNET_ROOT/dotnet, then the per-user
// installation <profile>/.dotnet/dotnet with the profile from USERPROFILE,
// or from HOME when USERPROFILE is not set; the first that exists is
// returned as composed. Otherwise the bare name "dotnet", which the PATH
// search resolves when the child is started. A variable that is set but
// empty still counts (the candidate is then relative). Logs nothing.
std::filesystem::path DotnetLocator();

} // namespace Marrowvane
