// Any bytes as a window title: the shown text must be well-formed UTF-8 (a
// second pass changes nothing), hold no NUL, and equal the input whenever the
// input was already well-formed up to its first NUL.

#include "platform/WindowTitle.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string title(reinterpret_cast<const char*>(data), size);
    const std::string shown = Marrowvane::WindowTitleFromUtf8(title);
    if (shown.find('\0') != std::string::npos || Marrowvane::WindowTitleFromUtf8(shown) != shown)
    {
        std::abort();
    }
    const std::string beforeNul = title.substr(0, title.find('\0'));
    if (shown.find("\xEF\xBF\xBD") == std::string::npos && shown != beforeNul)
    {
        std::abort();
    }
    return 0;
}
