#pragma once

#include <string>

namespace Marrowvane
{

// The project's title as the window shows it: UTF-8, with every byte that does
// not begin a well-formed UTF-8 sequence (stray continuation bytes, overlong
// forms, surrogates, code points past U+10FFFF, cut-off sequences) replaced by
// U+FFFD, one replacement per bad byte. Well-formed text passes unchanged. The
// text ends at the first NUL byte, as a native title does.
std::string WindowTitleFromUtf8(const std::string& title);

} // namespace Marrowvane
