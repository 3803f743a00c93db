#pragma once

#include <atomic>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>
#include <system_error>

namespace Marrowvane::Testing
{

// A fresh directory under the system's temporary folder, removed with
// everything in it when the object goes away.
class TemporaryDirectory
{
public:
    TemporaryDirectory()
    {
        static std::atomic<unsigned> counter{0};
        std::random_device random;
        const std::filesystem::path base = std::filesystem::temp_directory_path();
        for (;;)
        {
            const std::string name =
                "marrowvane-test-" + std::to_string(random()) + "-" + std::to_string(counter++);
            if (std::filesystem::create_directory(base / name))
            {
                // Canonical, so tests can compare it with resolved paths.
                path = std::filesystem::canonical(base / name);
                break;
            }
        }
    }
    ~TemporaryDirectory()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    TemporaryDirectory(const TemporaryDirectory&) = delete;
    TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;

    const std::filesystem::path& Path() const { return path; }

    // Writes bytes to a file below the directory (creating folders on the
    // way) and returns its path.
    std::filesystem::path Write(const std::filesystem::path& relative, std::string_view bytes) const
    {
        const std::filesystem::path file = path / relative;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream stream(file, std::ios::out | std::ios::binary | std::ios::trunc);
        stream.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return file;
    }

private:
    std::filesystem::path path;
};

} // namespace Marrowvane::Testing
