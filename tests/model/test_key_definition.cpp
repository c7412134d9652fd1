// Turning one key's assignment into the library's key definition array and
// back, including lists longer than a keyboard record can carry.

#include "ModelTestSupport.h"
#include "talvik/model/CAppState.h"
#include "talvik/text/KeyTables.h"

#include <gtest/gtest.h>

#include <vector>

using namespace talvik::model;

using talvik::text::delayText;

namespace {

class KeyDefinition : public ::testing::Test {
protected:
    KeyDefinition() : state(talvik::test::keyboardless()) {
        state.buildNameTables();
        state.modelNumber = 1;
        state.resetToDefaults();
    }

    CActionList& setList(int key, int level, KeyMode mode, std::vector<std::string> items) {
        CActionList& list = state.keyConfig.ComboKey[key][level];
        list.clear();
        for (const auto& item : items)
            list.append(item);
        state.keyConfig.Mode[key][level] = mode;
        state.keyConfig.HWCode[key][level] = 0;
        return list;
    }

    void apply(int key, int level, std::vector<int> def) {
        state.applyKeyDefinition(level, key, def);
    }

    CAppState state;
    const int codeA = 43;
    const int codeB = 60;
};

} // namespace

TEST_F(KeyDefinition, CodeModes_OneCode_DoubleClickAsTwoLeftButtons) {
    EXPECT_EQ(state.buildKeyDefinition(0, 1), (std::vector<int>{0, 1, 1}));
    state.keyConfig.Mode[2][1] = KeyMode::Mouse;
    state.keyConfig.HWCode[2][1] = 199;
    EXPECT_EQ(state.buildKeyDefinition(1, 2), (std::vector<int>{0, 2, 130, 130}));
    EXPECT_TRUE(state.buildKeyDefinition(1, 3).empty()) << "NotSet sends nothing";
    EXPECT_TRUE(state.buildKeyDefinition(0, 0).empty());
    EXPECT_TRUE(state.buildKeyDefinition(2, 1).empty());
}

TEST_F(KeyDefinition, ComboAndEmulation_CodesOfTheItems) {
    setList(4, 0, KeyMode::Combo, {"LCTRL", "A", "no such key"});
    EXPECT_EQ(state.buildKeyDefinition(0, 4), (std::vector<int>{0, 3, 67, codeA, 0}));
    CActionList& emu = setList(5, 1, KeyMode::Emulation, {"A", "B"});
    emu.Delay = 300;
    EXPECT_EQ(state.buildKeyDefinition(1, 5), (std::vector<int>{1, 300, 2, codeA, codeB}));
}

TEST_F(KeyDefinition, MacroWithDelays_EventsAlternateWithTheirDelays) {
    CActionList& macro =
        setList(6, 0, KeyMode::Macro, {"A Down", delayText(30), "A UP", delayText(50), "B"});
    macro.Cycles = 4;
    EXPECT_EQ(state.buildKeyDefinition(0, 6),
              (std::vector<int>{2, 0, 4, 1, 0, 3, codeA, 30, codeA, 50, codeB}));
    macro.PlayMode = 1;
    EXPECT_EQ(state.buildKeyDefinition(0, 6)[2], 0) << "cycles only travel for play mode 0";
    macro.PlayMode = 2;
    EXPECT_EQ(state.buildKeyDefinition(0, 6)[2], 0);

    setList(7, 0, KeyMode::Macro, {"A", delayText(20)});
    EXPECT_EQ(state.buildKeyDefinition(0, 7), (std::vector<int>{2, 0, 1, 1, 0, 1, codeA, 20}));
}

TEST_F(KeyDefinition, MacroWithAutomaticInterval_EveryItemIsAnEvent) {
    CActionList& macro = setList(8, 1, KeyMode::Macro, {"A Down", "A UP", "B Down"});
    macro.IsAutoInterval = true;
    macro.Delay = 45;
    macro.PlayMode = 2;
    EXPECT_EQ(state.buildKeyDefinition(1, 8),
              (std::vector<int>{2, 2, 0, 0, 45, 3, codeA, codeA, codeB}));
}

TEST_F(KeyDefinition, Apply_CodesBecomeModesOrLists) {
    apply(1, 1, {0, 1, 112});
    EXPECT_EQ(state.keyConfig.Mode[1][1], KeyMode::Multimedia);
    EXPECT_EQ(state.keyConfig.HWCode[1][1], 112);
    apply(2, 1, {0, 1, 0});
    EXPECT_EQ(state.keyConfig.Mode[2][1], KeyMode::Single) << "a code 0 that came back";
    apply(3, 0, {0, 2, 130, 130});
    EXPECT_EQ(state.keyConfig.Mode[3][0], KeyMode::Mouse);
    EXPECT_EQ(state.keyConfig.HWCode[3][0], 199);

    apply(4, 0, {0, 3, 67, codeA, 200});
    EXPECT_EQ(state.keyConfig.Mode[4][0], KeyMode::Combo);
    EXPECT_EQ(state.keyConfig.HWCode[4][0], 4) << "the code stays for the editor";
    const CActionList& combo = state.keyConfig.ComboKey[4][0];
    EXPECT_EQ(combo.SizeOfView, 6);
    EXPECT_EQ(combo.items(), (std::vector<std::string>{"LCTRL", "A", "-- --"}));
    EXPECT_EQ(combo.ViewStartAt + combo.CursorPos, 2);

    apply(5, 0, {1, 250, 2, codeA, codeB});
    EXPECT_EQ(state.keyConfig.Mode[5][0], KeyMode::Emulation);
    EXPECT_EQ(state.keyConfig.ComboKey[5][0].Delay, 250);
    EXPECT_EQ(state.keyConfig.ComboKey[5][0].SizeOfView, 9);
    EXPECT_EQ(state.keyConfig.ComboKey[5][0].items(), (std::vector<std::string>{"A", "B"}));
}

TEST_F(KeyDefinition, Apply_MacrosGetDelayTextsBetweenEvents) {
    // The keyboard never returns the delay after the last event.
    apply(6, 0, {2, 1, 0, 1, 0, 3, codeA, 30, codeA, 50, codeB});
    const CActionList& macro = state.keyConfig.ComboKey[6][0];
    EXPECT_EQ(state.keyConfig.Mode[6][0], KeyMode::Macro);
    EXPECT_EQ(macro.items(), (std::vector<std::string>{"A", "<30 ms>", "A", "<50 ms>", "B"}));
    EXPECT_EQ(macro.PlayMode, 1);
    EXPECT_FALSE(macro.IsAutoInterval);

    apply(7, 0, {2, 0, 9, 0, 45, 2, codeA, codeB});
    const CActionList& automatic = state.keyConfig.ComboKey[7][0];
    EXPECT_EQ(automatic.items(), (std::vector<std::string>{"A", "B"}));
    EXPECT_TRUE(automatic.IsAutoInterval);
    EXPECT_EQ(automatic.Cycles, 9);
    EXPECT_EQ(automatic.Delay, 45);
}

TEST_F(KeyDefinition, Apply_EmptyOrUnknownDefinitions_KeepCodeAndList) {
    setList(9, 0, KeyMode::Combo, {"A"});
    state.keyConfig.HWCode[9][0] = 17;
    const std::vector<std::vector<int>> empties = {{0, 0},    {1, 30, 0}, {2, 0, 1, 0, 30, 0},
                                                   {3, 1, 5}, {-1},       {}};
    for (const auto& def : empties) {
        state.keyConfig.Mode[9][0] = KeyMode::Combo;
        apply(9, 0, def);
        EXPECT_EQ(state.keyConfig.Mode[9][0], KeyMode::NotSet) << def.size();
        EXPECT_EQ(state.keyConfig.HWCode[9][0], 17);
        EXPECT_EQ(state.keyConfig.ComboKey[9][0].items(), (std::vector<std::string>{"A"}));
    }
}

TEST_F(KeyDefinition, Apply_CountsBeyondTheArray_ReadOnlyWhatIsThere) {
    apply(10, 0, {0, 1000000, 1, 2, 3});
    EXPECT_EQ(state.keyConfig.ComboKey[10][0].count(), 3);
    apply(11, 0, {2, 0, 1, 1, 0, 2000000000, codeA, 30, codeB});
    EXPECT_EQ(state.keyConfig.ComboKey[11][0].count(), 3) << "two events and one delay";
    apply(0, 0, {0, 1, 5});
    EXPECT_EQ(state.keyConfig.Mode[0][0], KeyMode::NotSet) << "row 0 carries no key";
}

TEST_F(KeyDefinition, ListsLongerThanARecord_AreCutToWhatFits) {
    setList(12, 0, KeyMode::Combo, std::vector<std::string>(58, "A"));
    EXPECT_TRUE(state.fitsRecord(0, 12));
    setList(12, 0, KeyMode::Combo, std::vector<std::string>(59, "A"));
    EXPECT_FALSE(state.fitsRecord(0, 12));
    std::vector<int> def = state.buildKeyDefinition(0, 12);
    EXPECT_EQ(def[1], 58);
    EXPECT_EQ(def.size(), 60u);

    setList(13, 0, KeyMode::Emulation, std::vector<std::string>(57, "B"));
    EXPECT_FALSE(state.fitsRecord(0, 13));
    def = state.buildKeyDefinition(0, 13);
    EXPECT_EQ(def[2], 56);
    EXPECT_EQ(def.size(), 59u);

    // Four data bytes per event with delays: at most 16383 events.
    std::vector<std::string> items;
    for (int i = 0; i < 16384; ++i) {
        items.push_back("A");
        items.push_back(delayText(10));
    }
    setList(14, 1, KeyMode::Macro, items);
    EXPECT_FALSE(state.fitsRecord(1, 14));
    def = state.buildKeyDefinition(1, 14);
    EXPECT_EQ(def[5], 16383);
    EXPECT_EQ(def.size(), 6u + 2 * 16383);
    items.resize(2 * 16383);
    setList(14, 1, KeyMode::Macro, items);
    EXPECT_TRUE(state.fitsRecord(1, 14));

    CActionList& automatic = setList(15, 1, KeyMode::Macro, std::vector<std::string>(65536, "A"));
    automatic.IsAutoInterval = true;
    EXPECT_FALSE(state.fitsRecord(1, 15));
    EXPECT_EQ(state.buildKeyDefinition(1, 15)[5], 65535);
    EXPECT_FALSE(CAppState::fitsRecord(KeyMode::Macro, automatic))
        << "an editor asks before the list reaches the model";

    EXPECT_TRUE(state.fitsRecord(0, 1)) << "code modes always fit";
}
