#pragma once

#include <string>
#include <vector>

namespace Marrowvane
{

// Cuts text at each delimiter with getline semantics: the piece before every
// delimiter is a field (even when empty); the piece after the last delimiter
// is a field only when it is not empty. "a|b|" gives two fields, "" none.
std::vector<std::string> Split(const std::string& text, char delimiter);

} // namespace Marrowvane
