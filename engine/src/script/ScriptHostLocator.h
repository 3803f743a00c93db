#pragma once

#include <filesystem>

namespace Marrowvane
{

// Finds "Marrowvane.ScriptHost.dll". Tries, in this order, and returns the
// weakly canonical form of the first that exists:
//   1. <executable's folder>/ScriptHost/Marrowvane.ScriptHost.dll (deployed)
//   2. <current directory>/engine/csharp/ScriptHost/bin/Debug/net8.0/Marrowvane.ScriptHost.dll
//   3. the same build-output path below the parent of projectRoot's parent
//      (a project two levels below the source layout, as samples/BasicGame)
// When none exists, candidate 2 exactly as composed. Logs nothing.
std::filesystem::path ScriptHostLocator(const std::filesystem::path& projectRoot);

} // namespace Marrowvane
