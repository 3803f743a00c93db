#include "script/FrameLine.h"

#include "platform/InputState.h"
#include "script/ProtocolNumbers.h"

namespace Marrowvane
{

void ComposeFrameLine(float dt, std::string& line)
{
    line.assign("FRAME|");
    AppendDefaultNotation(line, dt);
    line += '|';
    line += EncodePressedKeys();
    line += '|';
    AppendDecimal(line, GetMouseX());
    line += ',';
    AppendDecimal(line, GetMouseY());
    line += '|';
    line += EncodePressedMouseButtons();
}

} // namespace Marrowvane
