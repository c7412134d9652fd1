#pragma once

// The application state: one per program run, built before any window and
// destroyed at exit. It holds the language, the connected model, the key name
// and code tables, the configuration model, the press statistics and the one
// device object of the run, and turns the model into the library's key
// definition and light arrays and back.

#include "talvik/model/CKeyConfig.h"
#include "talvik/text/KeyTables.h"
#include "talvik/text/Language.h"

#include "talvik/hwi/COrsaHWI.h"
#include "talvik/hwi/WindowHandle.h"

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace talvik::model {

// Every byte of an unread press counter is 200, which makes it negative.
inline constexpr int kUnreadPressCount = static_cast<int>(0xC8C8C8C8u);
// The library's light array: red, green, blue of keys 1..87.
inline constexpr int kLightArrayInts = 3 * kKeyCount;
// The most codes one record carries for a normal key and for an emulation.
inline constexpr int kMaxNormalCodes = 58;
inline constexpr int kMaxEmulationCodes = 56;
// A macro's data length travels in 16 bits: one byte per event with an
// automatic interval, four bytes per event with individual delays.
inline constexpr int kMaxMacroDataBytes = 0xFFFF;
inline constexpr int kMaxMacroEventsAutoInterval = kMaxMacroDataBytes;
inline constexpr int kMaxMacroEventsWithDelays = kMaxMacroDataBytes / 4;

class CAppState {
public:
    // The device object reads TALVIK_SIMULATOR; the second form lets tests
    // choose the keyboard.
    CAppState();
    explicit CAppState(CDeviceEnvironment environment);
    CAppState(const CAppState&) = delete;
    CAppState& operator=(const CAppState&) = delete;

    // Members in the order in which the program has always kept them.
    talvik::text::Language language = talvik::text::Language::Chinese;
    int modelNumber = 0;  // 1..4 of the connected keyboard, 0 for none
    int modified = 0;     // key settings changed but not written yet
    int busy = 0;         // a device job is running
    float uiScale = 0.0f; // scale of the skinned windows
    talvik::text::KeyNameMap keyNames;
    talvik::text::CodeTable vkToHWCode{};
    talvik::text::CodeTable hwCodeToVk{};
    talvik::text::ModeNameTable modeNames;
    int editKey = 0;   // key number being edited, -1 for none
    int editLevel = 0; // layer being edited
    CKeyConfig keyConfig;
    // Set by the reads and writes that succeed, forgotten when the keyboard changes.
    SKeyboardKnowledge keyboard;
    std::array<int, kKeyRows> pressCount;
    int mostPressedKey = -1;
    int leastPressedKey = -1;
    int vkSingleCode = 0;              // the virtual keyboard's choice of a single key
    std::array<int, 6> vkComboCodes{}; // ... or of a combination
    int vkComboCount = 0;
    COrsaHWI device;
    HWND progressWindow = 0;
    std::string firmwarePath;

    // Fills keyNames, vkToHWCode, hwCodeToVk and modeNames and starts the
    // language in Chinese.
    void buildNameTables();
    std::string keyEventName(int code, bool withDirection) const;
    // The one-line text the main window shows for a key on a layer.
    std::string assignmentSummary(int key, int level) const;

    // The factory configuration of the connected model. Leaves the editing
    // position, the statistics and the modified flag alone.
    void resetToDefaults();
    // Forgets what came from the keyboard of a session that has ended: what it
    // holds, its press counters, the firmware file chosen for it. The program
    // then starts again for whatever keyboard is there.
    void forgetKeyboard();
    int defaultHWCode(int key, int level) const;
    static KeyMode modeForHWCode(int code);

    int itemToCode(std::string_view text) const;
    std::string codeToItem(int code) const;

    // The key definition array for the assignment at [key][level]; its size is
    // the count the library expects. Empty for NotSet. A list longer than the
    // keyboard's record can carry is cut to what fits; fitsRecord tells
    // beforehand whether that will happen.
    std::vector<int> buildKeyDefinition(int level, int key) const;
    bool fitsRecord(int level, int key) const;
    // The same for a list that would be given to a key in that mode, so an
    // editor can tell before the list reaches the model.
    static bool fitsRecord(KeyMode mode, const CActionList& list);
    // Sets the assignment at [key][level] from a key definition array.
    void applyKeyDefinition(int level, int key, std::span<const int> def);
    // Empties the library's table and gives it every assigned key.
    void writeKeysToLibrary(COrsaHWI& hwi) const;
    // Takes every key's definition from the library's table.
    void readKeysFromLibrary(COrsaHWI& hwi);

    // Between the light areas of keys 1..87 and the library's light array.
    void lightAreasToArray(std::span<int, kLightArrayInts> out) const;
    void lightAreasFromArray(std::span<const int, kLightArrayInts> in);
};

} // namespace talvik::model
