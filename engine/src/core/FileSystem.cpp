#include "core/FileSystem.h"

#include <array>
#include <fstream>
#include <ios>
#include <stdexcept>
#include <system_error>

namespace Marrowvane
{

std::string ReadTextFile(const std::filesystem::path& path)
{
    const auto cannotOpen = [&]() { return std::runtime_error("Could not open file: " + PathToUtf8(path)); };
    const auto tooLarge = [&]()
    {
        return std::runtime_error("File is too large (over " + std::to_string(MaxTextFileBytes) +
                                  " bytes): " + PathToUtf8(path));
    };

    // An ifstream opens a directory without complaint and then fails to read;
    // opening a pipe blocks until a writer comes, and a device may never end.
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    if (!error && status.type() != std::filesystem::file_type::regular)
    {
        throw cannotOpen();
    }
    std::string content;
    const std::uintmax_t size = error ? 0 : std::filesystem::file_size(path, error);
    if (!error && size > MaxTextFileBytes)
    {
        throw tooLarge();
    }

    std::ifstream file(path, std::ios::in | std::ios::binary);
    if (!file.is_open())
    {
        throw cannotOpen();
    }
    if (!error)
    {
        content.reserve(static_cast<std::size_t>(size));
    }
    // The file buffer reports a failed read as std::ios_base::failure; a plain
    // stream copy would swallow it and return a short text.
    std::array<char, 64 * 1024> chunk;
    try
    {
        for (;;)
        {
            const std::streamsize count = file.rdbuf()->sgetn(chunk.data(), chunk.size());
            if (count <= 0)
            {
                break;
            }
            if (content.size() + static_cast<std::size_t>(count) > MaxTextFileBytes)
            {
                throw tooLarge();
            }
            content.append(chunk.data(), static_cast<std::size_t>(count));
        }
    }
    catch (const std::ios_base::failure&)
    {
        throw cannotOpen();
    }
    return content;
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
