#include "hook/KeyTable.h"

#include <linux/input-event-codes.h>

#include <array>

namespace talvik::hwi {
namespace {

// X numbers a key by its evdev code plus 8; the Windows keyboard layer gives
// the left/right modifiers their own codes and marks the keys that have an
// E0-prefixed scan code (the right-hand modifiers, the editing block, the
// arrows, keypad Enter and /, Num Lock, Print Screen, the Win and menu keys
// and every multimedia key) as extended.
//
// clang-format off
//   evdev code           vk code  extended
constexpr std::array kRows = std::to_array<KeyTableRow>({
    {KEY_ESC,               0x1B,  false},  // VK_ESCAPE
    {KEY_1,                 '1',   false},  // digits row: '1'..'9', '0'
    {KEY_2,                 '2',   false},
    {KEY_3,                 '3',   false},
    {KEY_4,                 '4',   false},
    {KEY_5,                 '5',   false},
    {KEY_6,                 '6',   false},
    {KEY_7,                 '7',   false},
    {KEY_8,                 '8',   false},
    {KEY_9,                 '9',   false},
    {KEY_0,                 '0',   false},
    {KEY_MINUS,             0xBD,  false},  // VK_OEM_MINUS
    {KEY_EQUAL,             0xBB,  false},  // VK_OEM_PLUS
    {KEY_BACKSPACE,         0x08,  false},  // VK_BACK
    {KEY_TAB,               0x09,  false},  // VK_TAB
    {KEY_Q,                 'Q',   false},
    {KEY_W,                 'W',   false},
    {KEY_E,                 'E',   false},
    {KEY_R,                 'R',   false},
    {KEY_T,                 'T',   false},
    {KEY_Y,                 'Y',   false},
    {KEY_U,                 'U',   false},
    {KEY_I,                 'I',   false},
    {KEY_O,                 'O',   false},
    {KEY_P,                 'P',   false},
    {KEY_LEFTBRACE,         0xDB,  false},  // VK_OEM_4  [
    {KEY_RIGHTBRACE,        0xDD,  false},  // VK_OEM_6  ]
    {KEY_ENTER,             0x0D,  false},  // VK_RETURN
    {KEY_LEFTCTRL,          0xA2,  false},  // VK_LCONTROL
    {KEY_A,                 'A',   false},
    {KEY_S,                 'S',   false},
    {KEY_D,                 'D',   false},
    {KEY_F,                 'F',   false},
    {KEY_G,                 'G',   false},
    {KEY_H,                 'H',   false},
    {KEY_J,                 'J',   false},
    {KEY_K,                 'K',   false},
    {KEY_L,                 'L',   false},
    {KEY_SEMICOLON,         0xBA,  false},  // VK_OEM_1  ;
    {KEY_APOSTROPHE,        0xDE,  false},  // VK_OEM_7  '
    {KEY_GRAVE,             0xC0,  false},  // VK_OEM_3  `
    {KEY_LEFTSHIFT,         0xA0,  false},  // VK_LSHIFT
    {KEY_BACKSLASH,         0xDC,  false},  // VK_OEM_5  backslash
    {KEY_Z,                 'Z',   false},
    {KEY_X,                 'X',   false},
    {KEY_C,                 'C',   false},
    {KEY_V,                 'V',   false},
    {KEY_B,                 'B',   false},
    {KEY_N,                 'N',   false},
    {KEY_M,                 'M',   false},
    {KEY_COMMA,             0xBC,  false},  // VK_OEM_COMMA
    {KEY_DOT,               0xBE,  false},  // VK_OEM_PERIOD
    {KEY_SLASH,             0xBF,  false},  // VK_OEM_2  /
    {KEY_RIGHTSHIFT,        0xA1,  false},  // VK_RSHIFT (no E0 prefix)
    {KEY_KPASTERISK,        0x6A,  false},  // VK_MULTIPLY
    {KEY_LEFTALT,           0xA4,  false},  // VK_LMENU
    {KEY_SPACE,             0x20,  false},  // VK_SPACE
    {KEY_CAPSLOCK,          0x14,  false},  // VK_CAPITAL
    {KEY_F1,                0x70,  false},  // VK_F1..VK_F10
    {KEY_F2,                0x71,  false},
    {KEY_F3,                0x72,  false},
    {KEY_F4,                0x73,  false},
    {KEY_F5,                0x74,  false},
    {KEY_F6,                0x75,  false},
    {KEY_F7,                0x76,  false},
    {KEY_F8,                0x77,  false},
    {KEY_F9,                0x78,  false},
    {KEY_F10,               0x79,  false},
    {KEY_NUMLOCK,           0x90,  true},   // VK_NUMLOCK
    {KEY_SCROLLLOCK,        0x91,  false},  // VK_SCROLL
    {KEY_KP7,               0x67,  false},  // VK_NUMPAD7
    {KEY_KP8,               0x68,  false},
    {KEY_KP9,               0x69,  false},
    {KEY_KPMINUS,           0x6D,  false},  // VK_SUBTRACT
    {KEY_KP4,               0x64,  false},
    {KEY_KP5,               0x65,  false},
    {KEY_KP6,               0x66,  false},
    {KEY_KPPLUS,            0x6B,  false},  // VK_ADD
    {KEY_KP1,               0x61,  false},
    {KEY_KP2,               0x62,  false},
    {KEY_KP3,               0x63,  false},
    {KEY_KP0,               0x60,  false},  // VK_NUMPAD0
    {KEY_KPDOT,             0x6E,  false},  // VK_DECIMAL
    {KEY_102ND,             0xE2,  false},  // VK_OEM_102  <>|
    {KEY_F11,               0x7A,  false},
    {KEY_F12,               0x7B,  false},
    {KEY_HENKAN,            0x1C,  false},  // VK_CONVERT
    {KEY_MUHENKAN,          0x1D,  false},  // VK_NONCONVERT
    {KEY_KPENTER,           0x0D,  true},   // VK_RETURN, told apart by the flag
    {KEY_RIGHTCTRL,         0xA3,  true},   // VK_RCONTROL
    {KEY_KPSLASH,           0x6F,  true},   // VK_DIVIDE
    {KEY_SYSRQ,             0x2C,  true},   // VK_SNAPSHOT (Print Screen)
    {KEY_RIGHTALT,          0xA5,  true},   // VK_RMENU
    {KEY_HOME,              0x24,  true},   // VK_HOME
    {KEY_UP,                0x26,  true},   // VK_UP
    {KEY_PAGEUP,            0x21,  true},   // VK_PRIOR
    {KEY_LEFT,              0x25,  true},   // VK_LEFT
    {KEY_RIGHT,             0x27,  true},   // VK_RIGHT
    {KEY_END,               0x23,  true},   // VK_END
    {KEY_DOWN,              0x28,  true},   // VK_DOWN
    {KEY_PAGEDOWN,          0x22,  true},   // VK_NEXT
    {KEY_INSERT,            0x2D,  true},   // VK_INSERT
    {KEY_DELETE,            0x2E,  true},   // VK_DELETE
    {KEY_MUTE,              0xAD,  true},   // VK_VOLUME_MUTE
    {KEY_VOLUMEDOWN,        0xAE,  true},   // VK_VOLUME_DOWN
    {KEY_VOLUMEUP,          0xAF,  true},   // VK_VOLUME_UP
    {KEY_PAUSE,             0x13,  false},  // VK_PAUSE (E1 prefix, not extended)
    {KEY_KPCOMMA,           0x6C,  false},  // VK_SEPARATOR
    {KEY_HANGEUL,           0x15,  false},  // VK_HANGUL
    {KEY_HANJA,             0x19,  false},  // VK_HANJA
    {KEY_LEFTMETA,          0x5B,  true},   // VK_LWIN
    {KEY_RIGHTMETA,         0x5C,  true},   // VK_RWIN
    {KEY_COMPOSE,           0x5D,  true},   // VK_APPS (the menu key)
    {KEY_STOP,              0xA9,  true},   // VK_BROWSER_STOP
    {KEY_HELP,              0x2F,  false},  // VK_HELP
    {KEY_CALC,              0xB7,  true},   // VK_LAUNCH_APP2 (the calculator key)
    {KEY_SLEEP,             0x5F,  true},   // VK_SLEEP
    {KEY_MAIL,              0xB4,  true},   // VK_LAUNCH_MAIL
    {KEY_BOOKMARKS,         0xAB,  true},   // VK_BROWSER_FAVORITES
    {KEY_COMPUTER,          0xB6,  true},   // VK_LAUNCH_APP1 ("My computer")
    {KEY_BACK,              0xA6,  true},   // VK_BROWSER_BACK
    {KEY_FORWARD,           0xA7,  true},   // VK_BROWSER_FORWARD
    {KEY_NEXTSONG,          0xB0,  true},   // VK_MEDIA_NEXT_TRACK
    {KEY_PLAYPAUSE,         0xB3,  true},   // VK_MEDIA_PLAY_PAUSE
    {KEY_PREVIOUSSONG,      0xB1,  true},   // VK_MEDIA_PREV_TRACK
    {KEY_STOPCD,            0xB2,  true},   // VK_MEDIA_STOP
    {KEY_CONFIG,            0xB5,  true},   // VK_LAUNCH_MEDIA_SELECT (HID "media select")
    {KEY_HOMEPAGE,          0xAC,  true},   // VK_BROWSER_HOME
    {KEY_REFRESH,           0xA8,  true},   // VK_BROWSER_REFRESH
    {KEY_F13,               0x7C,  false},  // VK_F13..VK_F24
    {KEY_F14,               0x7D,  false},
    {KEY_F15,               0x7E,  false},
    {KEY_F16,               0x7F,  false},
    {KEY_F17,               0x80,  false},
    {KEY_F18,               0x81,  false},
    {KEY_F19,               0x82,  false},
    {KEY_F20,               0x83,  false},
    {KEY_F21,               0x84,  false},
    {KEY_F22,               0x85,  false},
    {KEY_F23,               0x86,  false},
    {KEY_F24,               0x87,  false},
    {KEY_SEARCH,            0xAA,  true},   // VK_BROWSER_SEARCH
    {KEY_MEDIA,             0xB5,  true},   // VK_LAUNCH_MEDIA_SELECT
});
// clang-format on

// X keycodes are one byte, so the lookup is a flat array built at compile time.
constexpr unsigned kKeycodeOffset = 8;
constexpr unsigned kKeycodeCount = 256;

constexpr std::array<HookKey, kKeycodeCount> buildLookup() {
    std::array<HookKey, kKeycodeCount> lookup{};
    for (const KeyTableRow& row : kRows) {
        lookup[row.evdevCode + kKeycodeOffset] = HookKey{row.vkCode, row.extended};
    }
    return lookup;
}

constexpr bool ascendingAndUnique() {
    for (std::size_t i = 1; i < kRows.size(); ++i) {
        if (kRows[i - 1].evdevCode >= kRows[i].evdevCode) {
            return false;
        }
    }
    return kRows.back().evdevCode + kKeycodeOffset < kKeycodeCount;
}
static_assert(ascendingAndUnique(), "the key table must be sorted, unique and fit X keycodes");

constexpr std::array<HookKey, kKeycodeCount> kLookup = buildLookup();

} // namespace

std::span<const KeyTableRow> keyTable() {
    return kRows;
}

HookKey translateKeycode(unsigned keycode) {
    if (keycode >= kKeycodeCount) {
        return HookKey{0, false};
    }
    return kLookup[keycode];
}

} // namespace talvik::hwi
