// The key settings session on its own: what it starts from for a key's
// assignment, what OK writes for each page, what Default and Clear choose, and
// that nothing reaches the model before OK.

#include "KeyMapTestSupport.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace talvik::model;

namespace {

using talvik::keymap::CKeyMapSession;
using talvik::keymap::KeyMapPage;
using talvik::test::configDump;
using talvik::test::listOf;

constexpr int kKey = 43;

class KeyMapSession : public ::testing::Test {
protected:
    KeyMapSession() : state(talvik::test::keyboardless()) {
        state.modelNumber = 1;
        state.buildNameTables();
        state.resetToDefaults();
        state.language = talvik::text::Language::English;
        state.editKey = kKey;
        state.editLevel = 0;
    }

    void assign(KeyMode mode, int hwCode, const CActionList& content = CActionList(6)) {
        state.keyConfig.Mode[kKey][0] = mode;
        state.keyConfig.HWCode[kKey][0] = hwCode;
        state.keyConfig.ComboKey[kKey][0] = content;
    }
    int hwOf(int vk) const { return state.vkToHWCode[static_cast<std::size_t>(vk)]; }
    KeyMode mode(int level = 0) const { return state.keyConfig.Mode[kKey][level]; }
    int code(int level = 0) const { return state.keyConfig.HWCode[kKey][level]; }
    const CActionList& content() const { return state.keyConfig.ComboKey[kKey][0]; }

    // A combo library "Copy" (LCTRL C), "Paste" (LCTRL V), the first selected.
    void fillCombos() {
        CActionList& library = state.keyConfig.PredefinedCombo;
        library.append("Copy");
        library.setChildAtRow(0, listOf({"LCTRL", "C"}, 6));
        library.append("Paste");
        library.setChildAtRow(1, listOf({"LCTRL", "V"}, 6));
        library.setCursor(0);
    }

    CAppState state;
    CKeyMapSession session{state};
};

TEST_F(KeyMapSession, Begin_SingleAssignment_ShowsItsKeyOnTheFirstPage) {
    assign(KeyMode::Single, hwOf('B'));
    session.begin();
    EXPECT_EQ(session.m_page, KeyMapPage::SingleCombo);
    EXPECT_TRUE(session.m_isSingle);
    EXPECT_EQ(session.m_singleCode, 'B');
}

TEST_F(KeyMapSession, Begin_ComboAssignment_SelectsTheLibraryEntryOfThatContent) {
    fillCombos();
    assign(KeyMode::Combo, 0, listOf({"LCTRL", "V"}, 6));
    session.begin();
    EXPECT_EQ(session.m_page, KeyMapPage::SingleCombo);
    EXPECT_FALSE(session.m_isSingle);
    EXPECT_EQ(session.m_comboLibrary.CursorPos, 1);
    EXPECT_EQ(session.m_combo.items(), (std::vector<std::string>{"LCTRL", "V"}));

    // A content the library lacks gets an entry of its own, in the session only.
    assign(KeyMode::Combo, 0, listOf({"LALT", "F4"}, 6));
    session.begin();
    ASSERT_EQ(session.m_comboLibrary.count(), 3);
    EXPECT_EQ(session.m_comboLibrary.itemAtRow(2), "default");
    EXPECT_EQ(session.m_combo.items(), (std::vector<std::string>{"LALT", "F4"}));
    EXPECT_EQ(state.keyConfig.PredefinedCombo.count(), 2);
}

TEST_F(KeyMapSession, Begin_ListAndSelectionModes_OpenTheirPage) {
    assign(KeyMode::Macro, 0, listOf({"A DOWN", "10 ms", "A UP"}, 9));
    session.begin();
    EXPECT_EQ(session.m_page, KeyMapPage::Macro);
    EXPECT_EQ(session.m_macro.items(), (std::vector<std::string>{"A DOWN", "10 ms", "A UP"}));
    EXPECT_EQ(session.m_macro.SizeOfView, 9) << "an entry shows in as many rows as its library";

    assign(KeyMode::Emulation, 0, listOf({"O", "K"}, 9));
    session.begin();
    EXPECT_EQ(session.m_page, KeyMapPage::Emulation);
    EXPECT_EQ(session.m_emu.items(), (std::vector<std::string>{"O", "K"}));

    for (const auto& [mode, hw, page] :
         {std::tuple{KeyMode::Multimedia, 113, KeyMapPage::Multimedia},
          std::tuple{KeyMode::Mouse, 133, KeyMapPage::Mouse},
          std::tuple{KeyMode::Function, 156, KeyMapPage::Function},
          std::tuple{KeyMode::Power, 76, KeyMapPage::Power}}) {
        assign(mode, hw);
        session.begin();
        EXPECT_EQ(session.m_page, page) << static_cast<int>(mode);
        EXPECT_EQ(session.selectionCode(page), hw) << static_cast<int>(mode);
        EXPECT_TRUE(session.m_isSingle);
        EXPECT_EQ(session.m_singleCode, -1);
    }
}

TEST_F(KeyMapSession, Begin_WithoutAKey_StartsEmpty) {
    assign(KeyMode::Macro, 0, listOf({"A DOWN"}, 9));
    for (const auto& [key, level] : {std::pair{-1, 0}, std::pair{0, 0}, std::pair{88, 0},
                                     std::pair{kKey, 2}, std::pair{kKey, -1}}) {
        state.editKey = key;
        state.editLevel = level;
        session.begin();
        EXPECT_EQ(session.m_page, KeyMapPage::SingleCombo) << key << "/" << level;
        EXPECT_EQ(session.m_singleCode, -1) << key << "/" << level;
        EXPECT_TRUE(session.m_macro.empty()) << key << "/" << level;
    }
}

TEST_F(KeyMapSession, Begin_Again_ForgetsTheEditsOfBefore) {
    session.begin();
    session.m_page = KeyMapPage::Power;
    session.m_powerCode = 75;
    session.m_isSingle = false;
    session.m_capturingCombo = true;
    session.m_recordingMacro = true;
    session.m_combo.append("A");
    session.m_keyIsDown[65] = 1;
    session.keystrokeTaken(65, 5000000);
    session.begin();
    EXPECT_EQ(session.m_page, KeyMapPage::SingleCombo);
    EXPECT_EQ(session.m_powerCode, -1);
    EXPECT_TRUE(session.m_isSingle);
    EXPECT_FALSE(session.capturing());
    EXPECT_TRUE(session.m_combo.empty());
    EXPECT_EQ(session.m_keyIsDown[65], 0);
    EXPECT_EQ(session.m_lastCode, -1);
    EXPECT_EQ(session.m_lastEventTime, 0);
}

TEST_F(KeyMapSession, ApplySingle_WritesTheKeysCode_OrNothingWithoutAKey) {
    assign(KeyMode::Macro, 0, listOf({"A DOWN"}, 9));
    session.begin();
    session.m_page = KeyMapPage::SingleCombo;
    session.m_singleCode = 'S';
    ASSERT_TRUE(session.apply());
    EXPECT_EQ(mode(), KeyMode::Single);
    EXPECT_EQ(code(), hwOf('S'));

    session.begin();
    session.m_singleCode = -1;
    ASSERT_TRUE(session.apply());
    EXPECT_EQ(mode(), KeyMode::NotSet) << "no key chosen: the old assignment is gone";
}

TEST_F(KeyMapSession, ApplyCombo_WritesTheContentAndTheLibrary) {
    fillCombos();
    session.begin();
    session.m_isSingle = false;
    session.combos().clickRow(1);
    session.m_combo.clear();
    session.m_combo.append("LCTRL");
    session.m_combo.append("Z");
    ASSERT_TRUE(session.apply());
    EXPECT_EQ(mode(), KeyMode::Combo);
    EXPECT_EQ(code(), 0);
    EXPECT_EQ(content().items(), (std::vector<std::string>{"LCTRL", "Z"}));
    const CActionList& library = state.keyConfig.PredefinedCombo;
    EXPECT_EQ(library.CursorPos, 1);
    EXPECT_EQ(library.childAtRow(1).items(), (std::vector<std::string>{"LCTRL", "Z"}))
        << "the selected entry keeps what was edited in it";
    EXPECT_EQ(library.childAtRow(0).items(), (std::vector<std::string>{"LCTRL", "C"}));

    session.begin();
    session.m_isSingle = false;
    session.m_combo.clear();
    ASSERT_TRUE(session.apply());
    EXPECT_EQ(mode(), KeyMode::NotSet) << "an empty combo is no assignment";
    EXPECT_TRUE(state.keyConfig.PredefinedCombo.childAtRow(1).empty());
}

TEST_F(KeyMapSession, ApplyMacroAndEmulation_WriteTheEntryAndOnlyTheirOwnLibrary) {
    session.begin();
    session.m_page = KeyMapPage::Macro;
    session.library(KeyMapPage::Macro).addEntry(talvik::text::Language::English);
    session.library(KeyMapPage::Macro).rename(0, "Hello");
    session.m_macro.append("H DOWN");
    session.m_macro.Cycles = 3;
    session.library(KeyMapPage::Emulation).addEntry(talvik::text::Language::English);
    session.m_emu.append("X");
    ASSERT_TRUE(session.apply());
    EXPECT_EQ(mode(), KeyMode::Macro);
    EXPECT_EQ(code(), 0);
    EXPECT_EQ(content().items(), std::vector<std::string>{"H DOWN"});
    EXPECT_EQ(content().Cycles, 3);
    ASSERT_EQ(state.keyConfig.PredefinedMacro.count(), 1);
    EXPECT_EQ(state.keyConfig.PredefinedMacro.itemAtRow(0), "Hello");
    EXPECT_EQ(state.keyConfig.PredefinedMacro.childAtRow(0).items(),
              std::vector<std::string>{"H DOWN"});
    EXPECT_TRUE(state.keyConfig.PredefinedEmu.empty()) << "OK on Macro keeps the Emulate library";

    session.begin();
    session.m_page = KeyMapPage::Emulation;
    session.library(KeyMapPage::Emulation).addEntry(talvik::text::Language::English);
    session.m_emu.append("O");
    session.m_emu.append("K");
    ASSERT_TRUE(session.apply());
    EXPECT_EQ(mode(), KeyMode::Emulation);
    EXPECT_EQ(content().items(), (std::vector<std::string>{"O", "K"}));
    ASSERT_EQ(state.keyConfig.PredefinedEmu.count(), 1);
    EXPECT_EQ(state.keyConfig.PredefinedEmu.childAtRow(0).items(),
              (std::vector<std::string>{"O", "K"}));
    EXPECT_EQ(state.keyConfig.PredefinedMacro.count(), 1);
}

TEST_F(KeyMapSession, ApplyEmptyEntry_LeavesTheKeyNotSet) {
    assign(KeyMode::Single, hwOf('B'));
    session.begin();
    session.m_page = KeyMapPage::Emulation;
    ASSERT_TRUE(session.apply());
    EXPECT_EQ(mode(), KeyMode::NotSet);
}

TEST_F(KeyMapSession, ApplySelection_WritesTheChosenCodeWithThePagesMode) {
    for (const auto& [page, hw, expected] :
         {std::tuple{KeyMapPage::Multimedia, 113, KeyMode::Multimedia},
          std::tuple{KeyMapPage::Mouse, 133, KeyMode::Mouse},
          std::tuple{KeyMapPage::Function, 160, KeyMode::Function},
          std::tuple{KeyMapPage::Power, 76, KeyMode::Power}}) {
        session.begin();
        session.m_page = page;
        session.selectionCode(page) = hw;
        ASSERT_TRUE(session.apply());
        EXPECT_EQ(mode(), expected) << hw;
        EXPECT_EQ(code(), hw);
    }
    // A code chosen on another page does not count.
    session.begin();
    session.m_page = KeyMapPage::Mouse;
    session.m_powerCode = 75;
    ASSERT_TRUE(session.apply());
    EXPECT_EQ(mode(), KeyMode::NotSet);
}

TEST_F(KeyMapSession, ApplyFn_MakesTheKeyFnOnBothLayers) {
    for (const int level : {0, 1}) {
        state.resetToDefaults();
        state.editKey = kKey;
        state.editLevel = level;
        session.begin();
        session.m_page = KeyMapPage::Function;
        session.m_functionCode = CKeyMapSession::kFnCode;
        ASSERT_TRUE(session.apply());
        for (const int layer : {0, 1}) {
            EXPECT_EQ(mode(layer), KeyMode::Function) << level << "/" << layer;
            EXPECT_EQ(code(layer), CKeyMapSession::kFnCode) << level << "/" << layer;
        }
    }
}

TEST_F(KeyMapSession, ApplyWithoutAKey_LeavesTheModelAsItWas) {
    const std::string before = configDump(state.keyConfig);
    EXPECT_FALSE(session.apply()) << "nothing begun, no key";
    for (const auto& [key, level] :
         {std::pair{-1, 0}, std::pair{0, 0}, std::pair{88, 0}, std::pair{kKey, 2}}) {
        state.editKey = key;
        state.editLevel = level;
        session.begin();
        session.m_singleCode = 'S';
        session.m_comboLibrary.append("New");
        EXPECT_FALSE(session.apply()) << key << "/" << level;
    }
    EXPECT_EQ(configDump(state.keyConfig), before);
}

TEST_F(KeyMapSession, Apply_GoesToTheKeyAndLayerItBeganFor) {
    state.editLevel = 1;
    session.begin();
    EXPECT_EQ(session.key(), kKey);
    EXPECT_EQ(session.level(), 1);
    state.editKey = 44;
    state.editLevel = 0;
    session.m_singleCode = 'S';
    const KeyMode otherBefore = state.keyConfig.Mode[44][0];
    ASSERT_TRUE(session.apply());
    EXPECT_EQ(mode(1), KeyMode::Single);
    EXPECT_EQ(code(1), hwOf('S'));
    EXPECT_EQ(state.keyConfig.Mode[44][0], otherBefore);
}

TEST_F(KeyMapSession, Default_ChoosesTheCodeOnItsPage_AndAppliesNothing) {
    session.begin();
    const std::string before = configDump(state.keyConfig);
    for (const auto& [d, page] :
         {std::pair{76, KeyMapPage::Power}, std::pair{108, KeyMapPage::Multimedia},
          std::pair{125, KeyMapPage::Multimedia}, std::pair{126, KeyMapPage::Mouse},
          std::pair{134, KeyMapPage::Mouse}, std::pair{135, KeyMapPage::Function},
          std::pair{157, KeyMapPage::Mouse}, std::pair{158, KeyMapPage::Mouse},
          std::pair{173, KeyMapPage::Mouse}, std::pair{198, KeyMapPage::Function}}) {
        EXPECT_EQ(session.presetDefault(d), page) << d;
        EXPECT_EQ(session.selectionCode(page), d) << d;
    }
    for (const int d : {4, 107, 204}) {
        session.m_isSingle = false;
        session.m_capturingSingle = true;
        EXPECT_EQ(session.presetDefault(d), KeyMapPage::SingleCombo) << d;
        EXPECT_TRUE(session.m_isSingle) << d;
        EXPECT_FALSE(session.m_capturingSingle) << d;
        EXPECT_EQ(session.m_singleCode, session.vkOfHWCode(d)) << d;
    }
    EXPECT_EQ(session.presetDefault(-1), KeyMapPage::SingleCombo);
    EXPECT_EQ(session.m_singleCode, -1) << "no key: nothing chosen";

    session.m_mediaCode = 110;
    EXPECT_EQ(session.presetDefault(199), std::nullopt);
    EXPECT_EQ(session.presetDefault(300), std::nullopt);
    EXPECT_EQ(session.m_mediaCode, 110) << "a code no page offers changes nothing";
    EXPECT_EQ(configDump(state.keyConfig), before);
}

TEST_F(KeyMapSession, KeyDefault_IsTheDefaultOfTheKeyAndLayerEdited) {
    session.begin();
    const int d = state.defaultHWCode(kKey, 0);
    ASSERT_LT(d, 108) << "key 43 defaults to an ordinary key";
    session.m_singleCode = -1;
    EXPECT_EQ(session.presetKeyDefault(), KeyMapPage::SingleCombo);
    EXPECT_EQ(session.m_singleCode, session.vkOfHWCode(d));
}

TEST_F(KeyMapSession, Clear_ChoosesSingleWithoutAKey) {
    fillCombos();
    assign(KeyMode::Combo, 0, listOf({"LCTRL", "C"}, 6));
    session.begin();
    session.m_page = KeyMapPage::Macro;
    session.m_singleCode = 'A';
    session.m_capturingCombo = true;
    EXPECT_EQ(session.clear(), KeyMapPage::SingleCombo);
    EXPECT_TRUE(session.m_isSingle);
    EXPECT_EQ(session.m_singleCode, -1);
    EXPECT_FALSE(session.m_capturingCombo);
    session.m_page = KeyMapPage::SingleCombo;
    ASSERT_TRUE(session.apply());
    EXPECT_EQ(mode(), KeyMode::NotSet);
}

TEST_F(KeyMapSession, EditsWithoutOk_LeaveTheModelAsItWas) {
    fillCombos();
    state.keyConfig.PredefinedMacro.append("Old");
    assign(KeyMode::Combo, 0, listOf({"LCTRL", "C"}, 6));
    const std::string before = configDump(state.keyConfig);
    session.begin();
    session.combos().rename(0, "Renamed");
    session.m_combo.append("X");
    session.combos().clickRow(1);
    session.combos().removeSelected();
    session.library(KeyMapPage::Macro).addEntry(talvik::text::Language::English);
    session.m_macro.append("A DOWN");
    session.library(KeyMapPage::Macro).writeBack();
    session.library(KeyMapPage::Emulation).addEntry(talvik::text::Language::English);
    session.presetDefault(113);
    session.clear();
    EXPECT_EQ(configDump(state.keyConfig), before);
}

TEST_F(KeyMapSession, Keystrokes_AreTimedFromTheLastOneTaken) {
    session.begin();
    EXPECT_EQ(session.keystroke(65, 0, 65, 0).elapsedMs, 0);
    session.keystrokeTaken(65, 2000000);
    const auto key = session.keystroke(65, 1, 512 | 65, 9999999);
    EXPECT_EQ(key.vk, 65);
    EXPECT_EQ(key.dir, 1);
    EXPECT_EQ(key.code, 512 | 65);
    EXPECT_EQ(key.elapsedMs, 7) << "whole milliseconds";
    EXPECT_EQ(session.m_lastCode, 65);
    EXPECT_EQ(session.keystroke(65, 0, 65, 2000000 + 70000000000LL).elapsedMs, 65535)
        << "a long pause counts as the longest the keyboard can hold";
    session.forgetKeystrokes();
    EXPECT_EQ(session.m_lastCode, -1);
    EXPECT_EQ(session.m_lastEventTime, 0);
}

TEST(KeyMapPages, NumberedAsTheElementTable_IndexedFromZero) {
    using talvik::keymap::pageIndex;
    using talvik::keymap::pageNumbered;
    EXPECT_EQ(pageNumbered(1), KeyMapPage::SingleCombo);
    EXPECT_EQ(pageNumbered(7), KeyMapPage::Power);
    EXPECT_EQ(pageNumbered(0), std::nullopt) << "0 stands for every page";
    EXPECT_EQ(pageNumbered(8), std::nullopt);
    EXPECT_EQ(pageIndex(KeyMapPage::SingleCombo), 0u);
    EXPECT_EQ(pageIndex(KeyMapPage::Power), 6u);
}

} // namespace
