#include "core/Text.h"

namespace Marrowvane
{

std::vector<std::string> Split(const std::string& text, char delimiter)
{
    std::vector<std::string> fields;
    std::size_t start = 0;
    while (start < text.size())
    {
        const std::size_t end = text.find(delimiter, start);
        if (end == std::string::npos)
        {
            fields.emplace_back(text, start);
            break;
        }
        fields.emplace_back(text, start, end - start);
        start = end + 1;
    }
    return fields;
}

} // namespace Marrowvane
