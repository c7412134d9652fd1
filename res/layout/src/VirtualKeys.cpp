#include "talvik/layout/VirtualKeys.h"

namespace talvik::layout {
namespace {

struct VirtualKey {
    int code;           // hardware code the key produces
    const char* name;   // its caption in both languages
    const char* legend; // what the keycap prints
    int left;
    int right;
    int top;
    int bottom;
};

// Rows of the keyboard: function row, digits, three letter rows, bottom row.
constexpr int kR1 = 65, kR1b = 98;
constexpr int kR2 = 103, kR2b = 136;
constexpr int kR3 = 141, kR3b = 174;
constexpr int kR4 = 178, kR4b = 211;
constexpr int kR5 = 215, kR5b = 248;
constexpr int kR6 = 252, kR6b = 285;

// In slot order: the main block by rows, then the navigation block, then
// the keypad, each by rows.
// clang-format off
constexpr VirtualKey kKeys[kVirtualKeyCount] = {
    {1, "Esc", "Esc", 30, 63, kR1, kR1b},
    {2, "F1", "F1", 106, 139, kR1, kR1b},
    {3, "F2", "F2", 144, 177, kR1, kR1b},
    {4, "F3", "F3", 182, 215, kR1, kR1b},
    {5, "F4", "F4", 220, 253, kR1, kR1b},
    {6, "F5", "F5", 279, 312, kR1, kR1b},
    {7, "F6", "F6", 317, 350, kR1, kR1b},
    {8, "F7", "F7", 355, 388, kR1, kR1b},
    {9, "F8", "F8", 393, 426, kR1, kR1b},
    {10, "F9", "F9", 451, 484, kR1, kR1b},
    {11, "F10", "F10", 489, 522, kR1, kR1b},
    {12, "F11", "F11", 527, 560, kR1, kR1b},
    {13, "F12", "F12", 565, 598, kR1, kR1b},
    {14, "~", "~", 30, 63, kR2, kR2b},
    {15, "1", "1", 68, 101, kR2, kR2b},
    {16, "2", "2", 106, 139, kR2, kR2b},
    {17, "3", "3", 144, 177, kR2, kR2b},
    {18, "4", "4", 183, 216, kR2, kR2b},
    {19, "5", "5", 221, 254, kR2, kR2b},
    {20, "6", "6", 259, 292, kR2, kR2b},
    {21, "7", "7", 297, 330, kR2, kR2b},
    {22, "8", "8", 335, 368, kR2, kR2b},
    {23, "9", "9", 373, 406, kR2, kR2b},
    {24, "0", "0", 412, 445, kR2, kR2b},
    {25, "-", "-", 450, 483, kR2, kR2b},
    {26, "+", "+", 488, 521, kR2, kR2b},
    {27, "BackSpace", "Backspace", 525, 598, kR2, kR2b},
    {28, "Tab", "Tab", 30, 84, kR3, kR3b},
    {29, "Q", "Q", 89, 122, kR3, kR3b},
    {30, "W", "W", 127, 160, kR3, kR3b},
    {31, "E", "E", 165, 198, kR3, kR3b},
    {32, "R", "R", 203, 236, kR3, kR3b},
    {33, "T", "T", 242, 275, kR3, kR3b},
    {34, "Y", "Y", 280, 313, kR3, kR3b},
    {35, "U", "U", 318, 351, kR3, kR3b},
    {36, "I", "I", 356, 389, kR3, kR3b},
    {37, "O", "O", 394, 427, kR3, kR3b},
    {38, "P", "P", 432, 465, kR3, kR3b},
    {39, "[", "[", 470, 503, kR3, kR3b},
    {40, "]", "]", 508, 541, kR3, kR3b},
    {41, "\\", "\\", 546, 598, kR3, kR3b},
    {42, "Caps Lock", "Caps Lock", 30, 93, 179, kR4b},
    {43, "A", "A", 97, 130, kR4, kR4b},
    {44, "S", "S", 135, 168, kR4, kR4b},
    {45, "D", "D", 173, 207, kR4, kR4b},
    {46, "F", "F", 212, 245, kR4, kR4b},
    {47, "G", "G", 250, 283, kR4, kR4b},
    {48, "H", "H", 288, 321, kR4, kR4b},
    {49, "J", "J", 326, 359, kR4, kR4b},
    {50, "K", "K", 364, 397, kR4, kR4b},
    {51, "L", "L", 402, 435, kR4, kR4b},
    {52, ";", ";", 440, 474, kR4, kR4b},
    {53, "'", "'", 478, 512, kR4, kR4b},
    {54, "Enter", "Enter", 516, 598, kR4, kR4b},
    {55, "Shift", "Shift", 30, 115, kR5, kR5b},
    {56, "Z", "Z", 120, 153, kR5, kR5b},
    {57, "X", "X", 158, 191, kR5, kR5b},
    {58, "C", "C", 196, 230, kR5, kR5b},
    {59, "V", "V", 234, 268, kR5, kR5b},
    {60, "B", "B", 272, 306, kR5, kR5b},
    {61, "N", "N", 310, 344, kR5, kR5b},
    {62, "M", "M", 348, 382, kR5, kR5b},
    {63, "<", "<", 386, 420, kR5, kR5b},
    {64, ">", ">", 425, 459, kR5, kR5b},
    {65, "?", "?", 463, 497, kR5, kR5b},
    {66, "Shift", "Shift", 502, 598, kR5, kR5b},
    {67, "Ctrl", "Ctrl", 30, 75, kR6, kR6b},
    {68, "Win", "Win", 80, 125, kR6, kR6b},
    {69, "Alt", "Alt", 130, 175, kR6, kR6b},
    {70, "Space", "", 180, 398, kR6, kR6b},
    {71, "Alt", "Alt", 403, 448, kR6, kR6b},
    {72, "Win", "Win", 453, 498, kR6, kR6b},
    {73, "Menu", "Menu", 503, 548, kR6, kR6b},
    {74, "Ctrl", "Ctrl", 553, 598, kR6, kR6b},
    // Navigation block
    {78, "PrtScreen", "PrtSc", 622, 656, kR1, kR1b},
    {79, "ScrollLock", "ScrLk", 660, 694, kR1, kR1b},
    {80, "Pause", "Pause", 698, 732, kR1, kR1b},
    {81, "Insert", "Ins", 622, 656, kR2, kR2b},
    {82, "Home", "Home", 660, 694, kR2, kR2b},
    {83, "PgUp", "PgUp", 698, 732, kR2, kR2b},
    {84, "Delete", "Del", 622, 656, kR3, kR3b},
    {85, "End", "End", 660, 694, kR3, kR3b},
    {86, "PgDown", "PgDn", 698, 732, kR3, kR3b},
    {87, "Up", "\xE2\x86\x91", 660, 694, kR5, kR5b},
    {88, "Left", "\xE2\x86\x90", 622, 656, kR6, kR6b},
    {89, "Down", "\xE2\x86\x93", 660, 694, kR6, kR6b},
    {90, "Right", "\xE2\x86\x92", 698, 732, kR6, kR6b},
    // Keypad
    {91, "NumLock", "Num", 756, 790, kR2, kR2b},
    {92, "KP/", "/", 794, 828, kR2, kR2b},
    {93, "KP*", "*", 832, 866, kR2, kR2b},
    {105, "KP-", "-", 870, 904, kR2, kR2b},
    {94, "KP7", "7", 756, 790, kR3, kR3b},
    {95, "KP8", "8", 794, 828, kR3, kR3b},
    {96, "KP9", "9", 832, 866, kR3, kR3b},
    {106, "KP+", "+", 870, 904, kR3, kR4b},
    {97, "KP4", "4", 756, 790, kR4, kR4b},
    {98, "KP5", "5", 794, 828, kR4, kR4b},
    {99, "KP6", "6", 832, 866, kR4, kR4b},
    {100, "KP1", "1", 756, 790, kR5, kR5b},
    {101, "KP2", "2", 794, 828, kR5, kR5b},
    {102, "KP3", "3", 832, 866, kR5, kR5b},
    {107, "KPEnter", "Enter", 870, 904, kR5, kR6b},
    {103, "KP0", "0", 756, 828, kR6, kR6b},
    {104, "KP.", ".", 832, 866, kR6, kR6b},
};
// clang-format on

} // namespace

std::vector<ElementSpec> virtualKeyboardElements() {
    std::vector<ElementSpec> out = {
        makeElementSpec(0, virtual_id::Title, "", "", SkinRect{}),
        makeElementSpec(1, virtual_id::Ok, "确定", "OK", {570, 304, 652, 338}),
        makeElementSpec(2, virtual_id::Cancel, "取消", "Cancel", {667, 304, 752, 338}),
        makeLabelSpec(3, virtual_id::Title, "虚拟键盘", "Virtual Keyboard", {400, 17, 540, 37},
                      kTextCentre, kVirtualTitleFont),
        makeLabelSpec(4, virtual_id::Ok, "确定", "OK", {570, 312, 652, 338}),
        makeLabelSpec(5, virtual_id::Cancel, "取消", "Cancel", {667, 312, 752, 338}),
    };
    int slot = kVirtualFirstKeySlot;
    for (const VirtualKey& k : kKeys) {
        ElementSpec e = makeElementSpec(slot, virtual_id::FirstKey + slot - kVirtualFirstKeySlot,
                                        k.name, k.name, {k.left, k.top, k.right, k.bottom});
        e.keyIndex = k.code;
        e.legend = k.legend;
        out.push_back(e);
        ++slot;
    }
    return out;
}

} // namespace talvik::layout
