#pragma once

#include "talvik/hwi/WindowHandle.h"

namespace talvik::hwi {

// Whether `window` is registered now. Handles are never reused, so once this
// is false it stays false.
bool isMessageWindow(HWND window);

} // namespace talvik::hwi
