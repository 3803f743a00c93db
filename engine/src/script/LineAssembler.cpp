#include "script/LineAssembler.h"

#include "core/Log.h"

#include <string>

namespace Marrowvane
{

void LineAssembler::StartDropping()
{
    LogWarn("Script host line longer than " + std::to_string(kMaxLineLength) + " bytes was dropped.");
    pending.clear();
    dropping = true;
}

} // namespace Marrowvane
