#pragma once

#include "talvik/hwi/KeyboardHook.h"

#include <span>

namespace talvik::hwi {

// One physical key: its evdev code (the X keycode less 8), the virtual-key
// code the capturing dialog expects for it and whether it is an extended key.
struct KeyTableRow {
    unsigned evdevCode;
    DWORD vkCode;
    bool extended;
};

// Every key of the 87-key keyboard, the numeric keypad, F13 to F24, the
// multimedia and browser keys and the few national keys with a virtual-key
// code. Ascending by evdev code, each code once.
std::span<const KeyTableRow> keyTable();

// The row for an X keycode; vkCode 0 when the key has none.
HookKey translateKeycode(unsigned keycode);

} // namespace talvik::hwi
