// The physical key → virtual-key table, checked against the virtual-key
// constants of the Windows headers shipped by mingw-w64, read at test time.

#include "hook/KeyTable.h"

#include <gtest/gtest.h>
#include <linux/input-event-codes.h>

#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <variant>

using talvik::hwi::keyTable;
using talvik::hwi::KeyTableRow;
using talvik::hwi::translateKeycode;

namespace {

const char* const kWinUser = "/usr/share/mingw-w64/include/winuser.h";

std::map<std::string, DWORD> readVirtualKeyConstants() {
    std::map<std::string, DWORD> constants;
    std::ifstream in(kWinUser);
    std::regex define(R"(^\s*#\s*define\s+(VK_\w+)\s+(0x[0-9A-Fa-f]+)\b)");
    std::string line;
    std::smatch match;
    while (std::getline(in, line)) {
        if (std::regex_search(line, match, define)) {
            constants[match[1]] = static_cast<DWORD>(std::stoul(match[2], nullptr, 16));
        }
    }
    return constants;
}

// What each physical key must produce: a Windows constant by name, or the
// character for letters and digits (whose codes are their ASCII capitals).
struct Expected {
    unsigned evdevCode;
    std::variant<const char*, char> vk;
    bool extended;
};

// clang-format off
const Expected kExpected[] = {
    // the 87 keys of the keyboard
    {KEY_ESC, "VK_ESCAPE", false}, {KEY_F1, "VK_F1", false}, {KEY_F2, "VK_F2", false},
    {KEY_F3, "VK_F3", false}, {KEY_F4, "VK_F4", false}, {KEY_F5, "VK_F5", false},
    {KEY_F6, "VK_F6", false}, {KEY_F7, "VK_F7", false}, {KEY_F8, "VK_F8", false},
    {KEY_F9, "VK_F9", false}, {KEY_F10, "VK_F10", false}, {KEY_F11, "VK_F11", false},
    {KEY_F12, "VK_F12", false}, {KEY_SYSRQ, "VK_SNAPSHOT", true},
    {KEY_SCROLLLOCK, "VK_SCROLL", false}, {KEY_PAUSE, "VK_PAUSE", false},
    {KEY_GRAVE, "VK_OEM_3", false}, {KEY_1, '1', false}, {KEY_2, '2', false},
    {KEY_3, '3', false}, {KEY_4, '4', false}, {KEY_5, '5', false}, {KEY_6, '6', false},
    {KEY_7, '7', false}, {KEY_8, '8', false}, {KEY_9, '9', false}, {KEY_0, '0', false},
    {KEY_MINUS, "VK_OEM_MINUS", false}, {KEY_EQUAL, "VK_OEM_PLUS", false},
    {KEY_BACKSPACE, "VK_BACK", false}, {KEY_INSERT, "VK_INSERT", true},
    {KEY_HOME, "VK_HOME", true}, {KEY_PAGEUP, "VK_PRIOR", true},
    {KEY_TAB, "VK_TAB", false}, {KEY_Q, 'Q', false}, {KEY_W, 'W', false},
    {KEY_E, 'E', false}, {KEY_R, 'R', false}, {KEY_T, 'T', false}, {KEY_Y, 'Y', false},
    {KEY_U, 'U', false}, {KEY_I, 'I', false}, {KEY_O, 'O', false}, {KEY_P, 'P', false},
    {KEY_LEFTBRACE, "VK_OEM_4", false}, {KEY_RIGHTBRACE, "VK_OEM_6", false},
    {KEY_BACKSLASH, "VK_OEM_5", false}, {KEY_DELETE, "VK_DELETE", true},
    {KEY_END, "VK_END", true}, {KEY_PAGEDOWN, "VK_NEXT", true},
    {KEY_CAPSLOCK, "VK_CAPITAL", false}, {KEY_A, 'A', false}, {KEY_S, 'S', false},
    {KEY_D, 'D', false}, {KEY_F, 'F', false}, {KEY_G, 'G', false}, {KEY_H, 'H', false},
    {KEY_J, 'J', false}, {KEY_K, 'K', false}, {KEY_L, 'L', false},
    {KEY_SEMICOLON, "VK_OEM_1", false}, {KEY_APOSTROPHE, "VK_OEM_7", false},
    {KEY_ENTER, "VK_RETURN", false}, {KEY_LEFTSHIFT, "VK_LSHIFT", false},
    {KEY_Z, 'Z', false}, {KEY_X, 'X', false}, {KEY_C, 'C', false}, {KEY_V, 'V', false},
    {KEY_B, 'B', false}, {KEY_N, 'N', false}, {KEY_M, 'M', false},
    {KEY_COMMA, "VK_OEM_COMMA", false}, {KEY_DOT, "VK_OEM_PERIOD", false},
    {KEY_SLASH, "VK_OEM_2", false}, {KEY_RIGHTSHIFT, "VK_RSHIFT", false},
    {KEY_UP, "VK_UP", true}, {KEY_LEFTCTRL, "VK_LCONTROL", false},
    {KEY_LEFTMETA, "VK_LWIN", true}, {KEY_LEFTALT, "VK_LMENU", false},
    {KEY_SPACE, "VK_SPACE", false}, {KEY_RIGHTALT, "VK_RMENU", true},
    {KEY_RIGHTMETA, "VK_RWIN", true}, {KEY_COMPOSE, "VK_APPS", true},
    {KEY_RIGHTCTRL, "VK_RCONTROL", true}, {KEY_LEFT, "VK_LEFT", true},
    {KEY_DOWN, "VK_DOWN", true}, {KEY_RIGHT, "VK_RIGHT", true},
    // the numeric keypad
    {KEY_NUMLOCK, "VK_NUMLOCK", true}, {KEY_KPSLASH, "VK_DIVIDE", true},
    {KEY_KPASTERISK, "VK_MULTIPLY", false}, {KEY_KPMINUS, "VK_SUBTRACT", false},
    {KEY_KPPLUS, "VK_ADD", false}, {KEY_KPENTER, "VK_RETURN", true},
    {KEY_KPDOT, "VK_DECIMAL", false}, {KEY_KPCOMMA, "VK_SEPARATOR", false},
    {KEY_KP0, "VK_NUMPAD0", false}, {KEY_KP1, "VK_NUMPAD1", false},
    {KEY_KP2, "VK_NUMPAD2", false}, {KEY_KP3, "VK_NUMPAD3", false},
    {KEY_KP4, "VK_NUMPAD4", false}, {KEY_KP5, "VK_NUMPAD5", false},
    {KEY_KP6, "VK_NUMPAD6", false}, {KEY_KP7, "VK_NUMPAD7", false},
    {KEY_KP8, "VK_NUMPAD8", false}, {KEY_KP9, "VK_NUMPAD9", false},
    // F13 to F24
    {KEY_F13, "VK_F13", false}, {KEY_F14, "VK_F14", false}, {KEY_F15, "VK_F15", false},
    {KEY_F16, "VK_F16", false}, {KEY_F17, "VK_F17", false}, {KEY_F18, "VK_F18", false},
    {KEY_F19, "VK_F19", false}, {KEY_F20, "VK_F20", false}, {KEY_F21, "VK_F21", false},
    {KEY_F22, "VK_F22", false}, {KEY_F23, "VK_F23", false}, {KEY_F24, "VK_F24", false},
    // multimedia, browser and launch keys
    {KEY_BACK, "VK_BROWSER_BACK", true}, {KEY_FORWARD, "VK_BROWSER_FORWARD", true},
    {KEY_REFRESH, "VK_BROWSER_REFRESH", true}, {KEY_STOP, "VK_BROWSER_STOP", true},
    {KEY_SEARCH, "VK_BROWSER_SEARCH", true}, {KEY_BOOKMARKS, "VK_BROWSER_FAVORITES", true},
    {KEY_HOMEPAGE, "VK_BROWSER_HOME", true}, {KEY_MUTE, "VK_VOLUME_MUTE", true},
    {KEY_VOLUMEDOWN, "VK_VOLUME_DOWN", true}, {KEY_VOLUMEUP, "VK_VOLUME_UP", true},
    {KEY_NEXTSONG, "VK_MEDIA_NEXT_TRACK", true}, {KEY_PREVIOUSSONG, "VK_MEDIA_PREV_TRACK", true},
    {KEY_STOPCD, "VK_MEDIA_STOP", true}, {KEY_PLAYPAUSE, "VK_MEDIA_PLAY_PAUSE", true},
    {KEY_MAIL, "VK_LAUNCH_MAIL", true}, {KEY_MEDIA, "VK_LAUNCH_MEDIA_SELECT", true},
    {KEY_CONFIG, "VK_LAUNCH_MEDIA_SELECT", true}, {KEY_COMPUTER, "VK_LAUNCH_APP1", true},
    {KEY_CALC, "VK_LAUNCH_APP2", true}, {KEY_SLEEP, "VK_SLEEP", true},
    // national keys
    {KEY_102ND, "VK_OEM_102", false}, {KEY_HENKAN, "VK_CONVERT", false},
    {KEY_MUHENKAN, "VK_NONCONVERT", false}, {KEY_HANGEUL, "VK_HANGUL", false},
    {KEY_HANJA, "VK_HANJA", false}, {KEY_HELP, "VK_HELP", false},
};
// clang-format on

constexpr unsigned kKeycodeOffset = 8;

} // namespace

TEST(HookKeyTable, EveryKeyMapsToTheWindowsVirtualKeyAndExtendedFlag) {
    std::map<std::string, DWORD> constants = readVirtualKeyConstants();
    ASSERT_GT(constants.size(), 100u) << "cannot read " << kWinUser;

    for (const Expected& expected : kExpected) {
        DWORD vk = 0;
        if (const char* const* name = std::get_if<const char*>(&expected.vk)) {
            ASSERT_TRUE(constants.contains(*name)) << *name;
            vk = constants.at(*name);
        } else {
            vk = static_cast<DWORD>(std::get<char>(expected.vk));
        }
        HookKey key = translateKeycode(expected.evdevCode + kKeycodeOffset);
        EXPECT_EQ(key.vkCode, vk) << "evdev code " << expected.evdevCode;
        EXPECT_EQ(key.extended, expected.extended) << "evdev code " << expected.evdevCode;
    }
}

TEST(HookKeyTable, HoldsExactlyTheCheckedKeys) {
    // A row nobody checks is a row whose code nobody has compared with the
    // Windows constants.
    std::set<unsigned> checked;
    for (const Expected& expected : kExpected) {
        EXPECT_TRUE(checked.insert(expected.evdevCode).second) << expected.evdevCode;
    }
    std::set<unsigned> inTable;
    for (const KeyTableRow& row : keyTable()) {
        inTable.insert(row.evdevCode);
    }
    EXPECT_EQ(inTable, checked);
    // 87 keys, 18 keypad keys, 12 more function keys, 20 media keys, 6 national ones
    EXPECT_EQ(checked.size(), 87u + 18u + 12u + 20u + 6u);
}

TEST(HookKeyTable, KeycodesOutsideTheTableHaveNoVirtualKey) {
    for (unsigned keycode : {0u, 1u, 7u, 8u, KEY_POWER + kKeycodeOffset, 255u, 256u, 100000u}) {
        EXPECT_EQ(translateKeycode(keycode).vkCode, 0u) << keycode;
        EXPECT_FALSE(translateKeycode(keycode).extended) << keycode;
    }
    // The exported lookup is the same table.
    EXPECT_EQ(TranslateKeycode(KEY_A + kKeycodeOffset).vkCode, static_cast<DWORD>('A'));
}
