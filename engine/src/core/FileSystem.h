#pragma once

#include <filesystem>
#include <string>

namespace Marrowvane
{

// Reads a whole file as raw bytes (NUL bytes and byte-order marks included).
// Throws std::runtime_error("Could not open file: <path>") when the file cannot
// be opened or read; a directory cannot be read as a file.
std::string ReadTextFile(const std::filesystem::path& path);

// An absolute path, or a relative one joined to base, in weakly canonical
// form. File-system errors other than absence pass on as
// std::filesystem::filesystem_error.
std::filesystem::path ResolvePath(const std::filesystem::path& base, const std::filesystem::path& path);

// The path's text in UTF-8, for log lines, cache keys and sort keys.
std::string PathToUtf8(const std::filesystem::path& path);

// True for any existing entry, directories included; false when absent.
// Other file-system errors pass on as std::filesystem::filesystem_error.
bool PathExists(const std::filesystem::path& path);

} // namespace Marrowvane
