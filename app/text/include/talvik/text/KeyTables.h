#pragma once

// The tables that connect key and function names, the program's virtual-key
// codes and the keyboard's hardware codes, and the conversions built on them.
//
// A virtual-key code (0..1023) is the index of the tables: 1..254 are the
// platform's virtual keys, the program adds 269 (keypad Enter), 331..333 (power
// functions), 364..437 (multimedia, mouse and keyboard functions) and 455
// (double click). A recorded key event carries the release direction in bit 9,
// so names are always looked up with the low 9 bits. A hardware code is what
// the keyboard stores for a key (1..204, 0 for none).

#include <array>
#include <map>
#include <string>
#include <string_view>

namespace talvik::text {

inline constexpr int kCodeTableSize = 1024;
inline constexpr int kModeCount = 9;

using KeyNameMap = std::map<int, std::string>; // ascending by virtual-key code
using CodeTable = std::array<int, kCodeTableSize>;
using ModeNameTable =
    std::array<std::array<std::string, kModeCount>, 2>; // [0] Chinese, [1] English

// Shown for a code that has no name.
inline constexpr std::string_view kNoName = "-- --";
// Direction suffixes of recorded key events.
inline constexpr std::string_view kDownSuffix = " Down";
inline constexpr std::string_view kUpSuffix = " UP";
// Bit 9 of a recorded event: the key was released.
inline constexpr int kKeyReleased = 0x200;

// Replaces the content of each table with the program's fixed data.
void fillKeyNames(KeyNameMap& names);
void fillVkToHWCode(CodeTable& vkToHWCode);
void fillModeNames(ModeNameTable& names);
// The reverse of vkToHWCode, filled in ascending virtual-key order so that the
// larger virtual-key code wins where two share a hardware code.
void buildHWCodeToVk(const CodeTable& vkToHWCode, CodeTable& hwCodeToVk);

// The name of a recorded key event or a single key: the name of code & 0x1FF,
// with " Down" or " UP" when withDirection is set; "-- --" for a code without
// a name.
std::string keyEventName(const KeyNameMap& names, int code, bool withDirection);

// "<%d ms>": the delay item that stands between two macro events.
std::string delayText(int milliseconds);
// A delay item: one "<" in front and its only ">" at the end.
bool isDelayText(std::string_view item);

// Reads a number the way the C library's atoi does (blanks, sign, leading
// digits; nothing readable gives 0), but saturates instead of overflowing.
int leadingNumber(std::string_view text);

// The hardware code of an item text: a delay text gives its milliseconds; a
// key name, with or without a direction suffix, gives the hardware code of the
// lowest virtual-key code carrying that name; anything else gives 0.
int itemToCode(const KeyNameMap& names, const CodeTable& vkToHWCode, std::string_view text);

// The item text of a hardware code: the name of its virtual-key code, or
// "-- --" when there is none (also for codes outside the table).
std::string codeToItem(const KeyNameMap& names, const CodeTable& hwCodeToVk, int code);

} // namespace talvik::text
