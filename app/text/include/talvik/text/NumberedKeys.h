#pragma once

// The keyboard's own keys by number: 1..87 row by row as they lie under the
// fingers, the navigation block last. The name is the key's caption in both
// languages: the windows draw it on the key and talvikctl prints it beside the
// key's counter. Both Shift, Ctrl and Alt keys carry the same name; only the
// number tells them apart.

namespace talvik::text {

inline constexpr int kNumberedKeyCount = 87;

namespace detail {
inline constexpr const char* kNumberedKeyNames[kNumberedKeyCount] = {
    // 1..13
    "Esc",
    "F1",
    "F2",
    "F3",
    "F4",
    "F5",
    "F6",
    "F7",
    "F8",
    "F9",
    "F10",
    "F11",
    "F12",
    // 14..27
    "~",
    "1",
    "2",
    "3",
    "4",
    "5",
    "6",
    "7",
    "8",
    "9",
    "0",
    "-",
    "+",
    "BackSpace",
    // 28..41
    "Tab",
    "Q",
    "W",
    "E",
    "R",
    "T",
    "Y",
    "U",
    "I",
    "O",
    "P",
    "[",
    "]",
    "\\",
    // 42..54
    "Caps Lock",
    "A",
    "S",
    "D",
    "F",
    "G",
    "H",
    "J",
    "K",
    "L",
    ";",
    "'",
    "Enter",
    // 55..66
    "Shift",
    "Z",
    "X",
    "C",
    "V",
    "B",
    "N",
    "M",
    "<",
    ">",
    "?",
    "Shift",
    // 67..74
    "Ctrl",
    "Win",
    "Alt",
    "Space",
    "Alt",
    "Fn",
    "LMenu",
    "Ctrl",
    // 75..87
    "PrtScreen",
    "ScrollLock",
    "Pause",
    "Insert",
    "Home",
    "PgUp",
    "Delete",
    "End",
    "PgDown",
    "Up",
    "Left",
    "Down",
    "Right",
};
} // namespace detail

// The name of key number `key`, the empty text for a number outside 1..87.
constexpr const char* numberedKeyName(int key) {
    return key >= 1 && key <= kNumberedKeyCount ? detail::kNumberedKeyNames[key - 1] : "";
}

} // namespace talvik::text
