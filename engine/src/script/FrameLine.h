#pragma once

#include <string>

namespace Marrowvane
{

// Writes the FRAME line of one frame into line (replacing what it held):
//   FRAME|<dt>|<held keys>|<mouse x>,<mouse y>|<held buttons>
// dt in the default stream notation (6 significant digits), keys and buttons
// from the input state as ascending comma lists, empty when nothing is held.
// With nothing held at 0,0 and dt 0.05: "FRAME|0.05||0,0|".
void ComposeFrameLine(float dt, std::string& line);

} // namespace Marrowvane
