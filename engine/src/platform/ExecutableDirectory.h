#pragma once

#include <filesystem>

namespace Marrowvane
{

// The folder that holds the running executable; the current directory when
// the platform cannot tell.
std::filesystem::path ExecutableDirectory();

} // namespace Marrowvane
