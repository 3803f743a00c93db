// POSIX binding: the executable's own path.
// Reads the /proc/self/exe link (Linux), with no length cut; falls back to
// the current directory where /proc is not mounted.
#include "platform/ExecutableDirectory.h"

#include <system_error>

namespace Marrowvane
{

std::filesystem::path ExecutableDirectory()
{
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error || self.empty())
    {
        return std::filesystem::current_path();
    }
    return self.parent_path();
}

} // namespace Marrowvane
