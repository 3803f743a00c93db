#include "core/Log.h"

#include <cstdio>

namespace Marrowvane
{

namespace
{

// One write per line, so that lines from the two streams never interleave
// within a line when both go to the same console.
void WriteLine(std::FILE* stream, const char* prefix, const std::string& message)
{
    std::string line;
    line.reserve(message.size() + 10);
    line += prefix;
    line += message;
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stream);
    std::fflush(stream);
}

} // namespace

void LogInfo(const std::string& message)
{
    WriteLine(stdout, "[Info] ", message);
}

void LogWarn(const std::string& message)
{
    WriteLine(stdout, "[Warn] ", message);
}

void LogError(const std::string& message)
{
    WriteLine(stderr, "[Error] ", message);
}

} // namespace Marrowvane
