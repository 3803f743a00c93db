#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace Marrowvane
{

// The largest file ReadTextFile reads. Project files are a few hundred bytes;
// the cap keeps a stray multi-gigabyte file from exhausting memory.
inline constexpr std::uintmax_t MaxTextFileBytes = 256u * 1024u * 1024u;

// Reads a whole file as raw bytes (NUL bytes and byte-order marks included).
// Throws std::runtime_error("Could not open file: <path>") when the file cannot
// be opened or read: missing, unreadable, a directory, or not a regular file
// (a pipe or a device would block or never end). A file larger than
// MaxTextFileBytes throws std::runtime_error("File is too large (over
// <MaxTextFileBytes> bytes): <path>").
std::string ReadTextFile(const std::filesystem::path& path);

// An absolute path, or a relative one joined to base, in weakly canonical
// form. File-system errors other than absence (a name too long, a folder that
// cannot be searched) pass on as std::filesystem::filesystem_error.
std::filesystem::path ResolvePath(const std::filesystem::path& base, const std::filesystem::path& path);

// The path's text in UTF-8, for log lines, cache keys and sort keys.
std::string PathToUtf8(const std::filesystem::path& path);

// True for any existing entry, directories included; false when absent.
// Other file-system errors pass on as std::filesystem::filesystem_error.
bool PathExists(const std::filesystem::path& path);

} // namespace Marrowvane
