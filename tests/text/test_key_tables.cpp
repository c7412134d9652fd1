// The key tables checked by routes that do not repeat them: their size, the
// rules the code ranges follow, the platform's own virtual-key constants, and
// the physical order of the keyboard's keys.

#include "talvik/text/KeyTables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

using namespace talvik::text;

namespace {

struct Tables {
    KeyNameMap names;
    CodeTable vkToHW{};
    CodeTable hwToVk{};
    Tables() {
        fillKeyNames(names);
        fillVkToHWCode(vkToHW);
        buildHWCodeToVk(vkToHW, hwToVk);
    }
};

const Tables& tables() {
    static const Tables instance;
    return instance;
}

// The virtual-key constants as the Windows headers of the MinGW-w64 project
// define them (Debian package mingw-w64-common).
std::map<std::string, int> windowsVirtualKeys() {
    std::ifstream in("/usr/share/mingw-w64/include/winuser.h");
    std::map<std::string, int> keys;
    const std::regex define(R"(^#define\s+(VK_\w+)\s+(0x[0-9A-Fa-f]+|\d+)\s*$)");
    std::string line;
    std::smatch match;
    while (std::getline(in, line))
        if (std::regex_match(line, match, define))
            keys[match[1]] = std::stoi(match[2], nullptr, 0);
    return keys;
}

int vk(const std::map<std::string, int>& keys, const std::string& name) {
    if (name.size() == 1) // letters and digits are their ASCII codes
        return name[0];
    const auto found = keys.find(name);
    EXPECT_NE(found, keys.end()) << name << " is not a Windows virtual-key constant";
    return found == keys.end() ? -1 : found->second;
}

} // namespace

TEST(KeyTables, Sizes_252Names_180HardwareCodes) {
    EXPECT_EQ(tables().names.size(), 252u);
    EXPECT_EQ(std::count_if(tables().vkToHW.begin(), tables().vkToHW.end(),
                            [](int code) { return code != 0; }),
              180);
    for (const auto& [code, name] : tables().names) {
        EXPECT_GT(code, 0);
        EXPECT_LT(code, 512) << "names are looked up with the low 9 bits only";
        EXPECT_FALSE(name.empty()) << code;
    }
}

TEST(KeyTables, FunctionCodes_FollowTheirVirtualKeysInOrder) {
    const auto& t = tables();
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(t.vkToHW[331 + i], 75 + i) << "power function " << i;
    for (int i = 0; i <= 431 - 364; ++i)
        EXPECT_EQ(t.vkToHW[364 + i], 108 + i) << "function " << 364 + i;
    EXPECT_EQ(t.vkToHW[436], 180);
    EXPECT_EQ(t.vkToHW[437], 181);
    EXPECT_EQ(t.vkToHW[455], 199);
    for (int code = 432; code <= 435; ++code)
        EXPECT_EQ(t.vkToHW[code], 0) << code;
    // Every function the program names has a hardware code.
    for (auto it = t.names.lower_bound(256); it != t.names.end(); ++it)
        EXPECT_NE(t.vkToHW[it->first], 0) << it->second;
}

TEST(KeyTables, KeypadKeys_FillHardwareCodes92To106) {
    std::set<int> codes;
    for (int code = 96; code <= 111; ++code) {
        if (code == 108) // the separator key is not on the keyboard
            continue;
        const int hw = tables().vkToHW[code];
        EXPECT_GE(hw, 92) << code;
        EXPECT_LE(hw, 106) << code;
        codes.insert(hw);
    }
    EXPECT_EQ(codes.size(), 15u) << "two keypad keys share a hardware code";
    EXPECT_EQ(tables().vkToHW[108], 0);
}

TEST(KeyTables, UnusedHardwareCodes_HaveNoVirtualKeyAndNoName) {
    std::vector<int> unused;
    for (int hw = 176; hw <= 203; ++hw)
        if (hw != 180 && hw != 181 && hw != 199)
            unused.push_back(hw);
    for (int hw : unused) {
        EXPECT_EQ(tables().hwToVk[hw], 0) << hw;
        EXPECT_EQ(std::count(tables().vkToHW.begin(), tables().vkToHW.end(), hw), 0) << hw;
        EXPECT_EQ(codeToItem(tables().names, tables().hwToVk, hw), "-- --") << hw;
    }
}

TEST(KeyTables, ReverseTable_LargestVirtualKeyWins) {
    const auto& t = tables();
    EXPECT_EQ(t.hwToVk[77], 999);
    EXPECT_EQ(t.hwToVk[0], 1023);
    EXPECT_EQ(t.hwToVk[75], 331);
    EXPECT_EQ(t.hwToVk[199], 455);
    for (int hw = 1; hw <= 204; ++hw) {
        if (t.hwToVk[hw] != 0) {
            EXPECT_EQ(t.vkToHW[t.hwToVk[hw]], hw) << hw;
        }
    }
}

// The names the tables give a sample of the virtual-key constants.
const std::map<std::string, std::string> kExpectedNames = {
    {"VK_LBUTTON", "Left mouse button"},
    {"VK_CANCEL", "Control-break processing"},
    {"VK_XBUTTON2", "X2 mouse button"},
    {"VK_BACK", "BACKSPACE"},
    {"VK_RETURN", "ENTER"},
    {"VK_CONTROL", "Left CTRL"},
    {"VK_MENU", "Left ALT"},
    {"VK_CAPITAL", "CAPS LOCK"},
    {"VK_HANGUL", "IME Hangul mode"},
    {"VK_KANJI", "IME Kanji mode"},
    {"VK_ESCAPE", "ESC"},
    {"VK_MODECHANGE", "IME mode change request"},
    {"VK_SPACE", "SPACEBAR"},
    {"VK_PRIOR", "PGUP"},
    {"VK_NEXT", "PGDN"},
    {"VK_DOWN", "DOWN ARROW"},
    {"VK_SNAPSHOT", "PRINT SCREEN"},
    {"VK_INSERT", "INS"},
    {"VK_HELP", "HELP"},
    {"VK_APPS", "App"},
    {"VK_SLEEP", "Sleep"},
    {"VK_NUMPAD0", "(0)"},
    {"VK_NUMPAD9", "(9)"},
    {"VK_MULTIPLY", "(*)"},
    {"VK_SEPARATOR", "Separator"},
    {"VK_DIVIDE", "(/)"},
    {"VK_F1", "F1"},
    {"VK_F12", "F12"},
    {"VK_F24", "F24"},
    {"VK_NUMLOCK", "NUM LOCK"},
    {"VK_SCROLL", "SCR LOCK"},
    {"VK_LSHIFT", "LSHIFT"},
    {"VK_RMENU", "RALT"},
    {"VK_BROWSER_BACK", "Browser Back"},
    {"VK_BROWSER_HOME", "Browser Start and Home"},
    {"VK_VOLUME_MUTE", "Volume Mute"},
    {"VK_VOLUME_UP", "Volume Up"},
    {"VK_MEDIA_NEXT_TRACK", "Next Track"},
    {"VK_MEDIA_PLAY_PAUSE", "Play/Pause Media"},
    {"VK_LAUNCH_MAIL", "Start Mail"},
    {"VK_LAUNCH_APP2", "Start Application 2"},
    {"VK_OEM_1", ";"},
    {"VK_OEM_PLUS", "="},
    {"VK_OEM_COMMA", ","},
    {"VK_OEM_MINUS", "-"},
    {"VK_OEM_PERIOD", "."},
    {"VK_OEM_2", "/"},
    {"VK_OEM_3", "`"},
    {"VK_OEM_4", "["},
    {"VK_OEM_5", "\\"},
    {"VK_OEM_6", "]"},
    {"VK_OEM_7", "'"},
    {"VK_OEM_102", "<>|"},
    {"VK_PROCESSKEY", "IME PROCESS"},
    {"VK_ATTN", "Attn"},
    {"VK_EREOF", "Erase EOF"},
    {"VK_ZOOM", "Zoom"},
    {"VK_PA1", "PA1"},
    {"VK_OEM_CLEAR", "Clear"},
};

TEST(KeyTables, Names_MatchTheWindowsVirtualKeyConstants) {
    const auto keys = windowsVirtualKeys();
    ASSERT_GT(keys.size(), 150u) << "winuser.h of mingw-w64-common not found";
    for (const auto& [constant, name] : kExpectedNames) {
        const auto found = tables().names.find(vk(keys, constant));
        ASSERT_NE(found, tables().names.end()) << constant;
        EXPECT_EQ(found->second, name) << constant;
    }
    EXPECT_TRUE(tables().names.at(vk(keys, "VK_PACKET")).starts_with("Used to pass Unicode"));
    for (char c = 'A'; c <= 'Z'; ++c)
        EXPECT_EQ(tables().names.at(c), std::string(1, c));
    for (char c = '0'; c <= '9'; ++c)
        EXPECT_EQ(tables().names.at(c), std::string(1, c));
}

// The keyboard numbers its keys row by row as they lie under the fingers, and
// a key's hardware code is its number, so each run below must be consecutive.
TEST(KeyTables, HardwareCodes_FollowThePhysicalKeyOrder) {
    const auto keys = windowsVirtualKeys();
    ASSERT_GT(keys.size(), 150u) << "winuser.h of mingw-w64-common not found";
    const std::vector<std::pair<int, std::vector<std::string>>> runs = {
        {1,
         {"VK_ESCAPE", "VK_F1", "VK_F2", "VK_F3", "VK_F4", "VK_F5", "VK_F6", "VK_F7", "VK_F8",
          "VK_F9", "VK_F10", "VK_F11", "VK_F12"}},
        {14,
         {"VK_OEM_3", "1", "2", "3", "4", "5", "6", "7", "8", "9", "0", "VK_OEM_MINUS",
          "VK_OEM_PLUS", "VK_BACK"}},
        {28,
         {"VK_TAB", "Q", "W", "E", "R", "T", "Y", "U", "I", "O", "P", "VK_OEM_4", "VK_OEM_6",
          "VK_OEM_5"}},
        {42,
         {"VK_CAPITAL", "A", "S", "D", "F", "G", "H", "J", "K", "L", "VK_OEM_1", "VK_OEM_7",
          "VK_RETURN"}},
        {55,
         {"VK_LSHIFT", "Z", "X", "C", "V", "B", "N", "M", "VK_OEM_COMMA", "VK_OEM_PERIOD",
          "VK_OEM_2", "VK_RSHIFT"}},
        {67, {"VK_LCONTROL", "VK_LWIN", "VK_LMENU", "VK_SPACE", "VK_RMENU"}},
        {73, {"VK_APPS", "VK_RCONTROL"}},
        {78,
         {"VK_SNAPSHOT", "VK_SCROLL", "VK_PAUSE", "VK_INSERT", "VK_HOME", "VK_PRIOR", "VK_DELETE",
          "VK_END", "VK_NEXT", "VK_UP", "VK_LEFT", "VK_DOWN", "VK_RIGHT"}},
        {91,
         {"VK_NUMLOCK", "VK_DIVIDE", "VK_MULTIPLY", "VK_NUMPAD7", "VK_NUMPAD8", "VK_NUMPAD9",
          "VK_NUMPAD4", "VK_NUMPAD5", "VK_NUMPAD6", "VK_NUMPAD1", "VK_NUMPAD2", "VK_NUMPAD3",
          "VK_NUMPAD0", "VK_DECIMAL", "VK_SUBTRACT", "VK_ADD"}},
    };
    for (const auto& [first, names] : runs)
        for (std::size_t i = 0; i < names.size(); ++i)
            EXPECT_EQ(tables().vkToHW[vk(keys, names[i])], first + static_cast<int>(i)) << names[i];
    // The keypad Enter is the main Enter with bit 8 set; the key beside the
    // left Shift on ISO boards has its own code.
    EXPECT_EQ(tables().vkToHW[256 + vk(keys, "VK_RETURN")], 107);
    EXPECT_EQ(tables().vkToHW[vk(keys, "VK_OEM_102")], 204);
}
