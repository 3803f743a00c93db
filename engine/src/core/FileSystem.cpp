#include "core/FileSystem.h"

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <system_error>

namespace Marrowvane
{

std::string ReadTextFile(const std::filesystem::path& path)
{
    const auto fail = [&]() { return std::runtime_error("Could not open file: " + PathToUtf8(path)); };

    // An ifstream opens a directory without complaint and then fails to read.
    std::error_code error;
    if (std::filesystem::is_directory(path, error))
    {
        throw fail();
    }
    std::ifstream file(path, std::ios::in | std::ios::binary);
    if (!file.is_open())
    {
        throw fail();
    }
    std::ostringstream content;
    content << file.rdbuf();
    if (file.bad())
    {
        throw fail();
    }
    return std::move(content).str();
}

std::filesystem::path ResolvePath(const std::filesystem::path& base, const std::filesystem::path& path)
{
    if (path.is_absolute())
    {
        return std::filesystem::weakly_canonical(path);
    }
    return std::filesystem::weakly_canonical(base / path);
}

std::string PathToUtf8(const std::filesystem::path& path)
{
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

bool PathExists(const std::filesystem::path& path)
{
    return std::filesystem::exists(path);
}

} // namespace Marrowvane
