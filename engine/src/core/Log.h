#pragma once

#include <string>

namespace Marrowvane
{

// Console log. A line is a level prefix, the message byte for byte and a line
// end; every line is flushed at once. Info and warnings go to standard
// output, errors to standard error. No log file, no time stamps, no filter.
void LogInfo(const std::string& message);
void LogWarn(const std::string& message);
void LogError(const std::string& message);

} // namespace Marrowvane
