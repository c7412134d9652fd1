#pragma once

// Where the keyboard hook reads the time for its safety ends.

#include "talvik/hwi/Export.h"

#include <chrono>

namespace talvik::hwi {

using HookClock = std::chrono::steady_clock;
using HookTimeSource = HookClock::time_point (*)();

HookClock::time_point hookNow();

// Replaces the hook's clock; null restores the steady clock. Tests pass
// minutes in an instant with it. Exported because the program's own tests
// reach the library only through libTalvikHWI.so; the program never calls it.
TALVIK_HWI_EXPORT void setHookTimeSource(HookTimeSource source);

} // namespace talvik::hwi
