#pragma once

// The keyboard's own keys by number: 1..87 row by row as they lie under the
// fingers, the navigation block last. The name is the key's caption in both
// languages: the windows draw it on the key and talvikctl prints it beside the
// key's counter. Both Shift, Ctrl and Alt keys carry the same name; only the
// number tells them apart.

namespace talvik::text {

inline constexpr int kNumberedKeyCount = 87;

namespace detail {
// One row of the keyboard a line.
// clang-format off
inline constexpr const char* kNumberedKeyNames[kNumberedKeyCount] = {
    "Esc", "F1", "F2", "F3", "F4", "F5", "F6", "F7", "F8", "F9", "F10", "F11", "F12", // 1..13
    "~", "1", "2", "3", "4", "5", "6", "7", "8", "9", "0", "-", "+", "BackSpace", // 14..27
    "Tab", "Q", "W", "E", "R", "T", "Y", "U", "I", "O", "P", "[", "]", "\\", // 28..41
    "Caps Lock", "A", "S", "D", "F", "G", "H", "J", "K", "L", ";", "'", "Enter", // 42..54
    "Shift", "Z", "X", "C", "V", "B", "N", "M", "<", ">", "?", "Shift", // 55..66
    "Ctrl", "Win", "Alt", "Space", "Alt", "Fn", "LMenu", "Ctrl", // 67..74
    "PrtScreen", "ScrollLock", "Pause", // 75..77
    "Insert", "Home", "PgUp", // 78..80
    "Delete", "End", "PgDown", // 81..83
    "Up", "Left", "Down", "Right", // 84..87
};
// clang-format on
} // namespace detail

// The name of key number `key`, the empty text for a number outside 1..87.
constexpr const char* numberedKeyName(int key) {
    return key >= 1 && key <= kNumberedKeyCount ? detail::kNumberedKeyNames[key - 1] : "";
}

} // namespace talvik::text
