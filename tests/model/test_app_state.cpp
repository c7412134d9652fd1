// The application state as the program starts it, the factory configuration
// of each model, and what the main window shows for a key.

#include "ModelTestSupport.h"
#include "talvik/model/CAppState.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace talvik::model;

namespace {

struct Assignment {
    KeyMode mode;
    int code;
};

Assignment assignmentOf(const CAppState& state, int key, int level) {
    return {state.keyConfig.Mode[key][level], state.keyConfig.HWCode[key][level]};
}

void expectAssignment(const CAppState& state, int key, int level, KeyMode mode, int code) {
    const Assignment actual = assignmentOf(state, key, level);
    EXPECT_EQ(actual.mode, mode) << "key " << key << " layer " << level;
    EXPECT_EQ(actual.code, code) << "key " << key << " layer " << level;
}

} // namespace

TEST(AppState, Construction_EmptyModelUnreadStatistics) {
    const CAppState state(talvik::test::keyboardless());
    EXPECT_EQ(state.language, talvik::text::Language::Chinese);
    EXPECT_EQ(state.modelNumber, 0);
    EXPECT_TRUE(state.keyNames.empty());
    EXPECT_EQ(state.hwCodeToVk[0], 0);
    EXPECT_EQ(state.editKey, 0);
    EXPECT_EQ(state.mostPressedKey, -1);
    EXPECT_EQ(state.leastPressedKey, -1);
    for (int count : state.pressCount) {
        unsigned char bytes[sizeof count];
        std::memcpy(bytes, &count, sizeof count);
        for (unsigned char byte : bytes)
            EXPECT_EQ(byte, 200);
        EXPECT_LT(count, 0);
    }
    EXPECT_EQ(state.keyConfig.Mode[1][0], KeyMode::NotSet);
    EXPECT_EQ(state.keyConfig.ComboKey[5][1].SizeOfView, 0);
    EXPECT_EQ(state.keyConfig.ComboKey[5][1].Delay, 30);
    EXPECT_EQ(state.keyConfig.PredefinedCombo.SizeOfView, 0);
    EXPECT_FALSE(state.device.isConnected());
    EXPECT_EQ(state.progressWindow, 0u);
}

TEST(AppState, BuildNameTables_StartsInChinese) {
    CAppState state(talvik::test::keyboardless());
    state.language = talvik::text::Language::English;
    state.buildNameTables();
    EXPECT_EQ(state.language, talvik::text::Language::Chinese);
    EXPECT_EQ(state.keyNames.size(), 252u);
    EXPECT_EQ(state.hwCodeToVk[77], 999);
    EXPECT_EQ(state.modeNames[1][2], "Combo");
    EXPECT_EQ(state.keyEventName(577, true), "A UP");
}

TEST(AppState, ModeForHWCode_RangeBoundaries) {
    const std::pair<int, KeyMode> cases[] = {
        {1, KeyMode::Single},       {74, KeyMode::Single},      {75, KeyMode::Power},
        {77, KeyMode::Power},       {78, KeyMode::Single},      {107, KeyMode::Single},
        {108, KeyMode::Multimedia}, {125, KeyMode::Multimedia}, {126, KeyMode::Mouse},
        {134, KeyMode::Mouse},      {135, KeyMode::Function},   {156, KeyMode::Function},
        {157, KeyMode::Mouse},      {158, KeyMode::Mouse},      {159, KeyMode::Function},
        {173, KeyMode::Mouse},      {198, KeyMode::Function},   {199, KeyMode::Single},
        {204, KeyMode::Single},     {0, KeyMode::Single},
    };
    for (const auto& [code, mode] : cases)
        EXPECT_EQ(CAppState::modeForHWCode(code), mode) << code;
}

TEST(AppState, ResetModel3_TopLayerSendsItselfFnLayerMostlyEmpty) {
    CAppState state(talvik::test::keyboardless());
    state.buildNameTables();
    state.modelNumber = 3;
    state.resetToDefaults();
    expectAssignment(state, 1, 0, KeyMode::Single, 1);
    expectAssignment(state, 1, 1, KeyMode::NotSet, 0);
    expectAssignment(state, 72, 0, KeyMode::Function, 156);
    expectAssignment(state, 72, 1, KeyMode::Function, 156);
    expectAssignment(state, 74, 0, KeyMode::Single, 74);
    expectAssignment(state, 75, 0, KeyMode::Single, 78);
    expectAssignment(state, 87, 0, KeyMode::Single, 90);
    expectAssignment(state, 11, 1, KeyMode::NotSet, 0);
    expectAssignment(state, 10, 1, KeyMode::Function, 151);
    expectAssignment(state, 0, 0, KeyMode::NotSet, 0);
    int assignedFn = 0;
    for (int key = 1; key <= kKeyCount; ++key)
        assignedFn += state.keyConfig.Mode[key][1] != KeyMode::NotSet;
    EXPECT_EQ(assignedFn, 8);
}

TEST(AppState, ResetOtherModels_FnLayerTables) {
    CAppState state(talvik::test::keyboardless());
    const struct {
        int model;
        int assignedFn;
        int key11;
        int key85;
    } models[] = {
        {0, 23, 135, 146}, {1, 23, 135, 146}, {2, 13, 0, 0}, {4, 18, 135, 146}, {7, 23, 135, 146}};
    for (const auto& m : models) {
        state.modelNumber = m.model;
        state.resetToDefaults();
        int assigned = 0;
        for (int key = 1; key <= kKeyCount; ++key)
            assigned += state.keyConfig.Mode[key][1] != KeyMode::NotSet;
        EXPECT_EQ(assigned, m.assignedFn) << "model " << m.model;
        EXPECT_EQ(state.defaultHWCode(11, 1), m.key11) << "model " << m.model;
        EXPECT_EQ(state.defaultHWCode(85, 1), m.key85) << "model " << m.model;
        EXPECT_EQ(state.defaultHWCode(77, 1), 159) << "model " << m.model;
    }
    state.modelNumber = 1;
    state.resetToDefaults();
    expectAssignment(state, 82, 1, KeyMode::Function, 169);
    expectAssignment(state, 86, 1, KeyMode::Function, 144);
    EXPECT_EQ(state.defaultHWCode(0, 0), 0);
    EXPECT_EQ(state.defaultHWCode(5, 2), 0);
}

TEST(AppState, Reset_ClearsListsAndLightsOnly) {
    CAppState state(talvik::test::keyboardless());
    state.editKey = 12;
    state.editLevel = 1;
    state.modified = 1;
    state.mostPressedKey = 4;
    state.keyConfig.PredefinedCombo.append("mine");
    state.keyConfig.PredefinedCombo.Delay = 99;
    state.keyConfig.LightAreas[87] = {1, 2, 3};
    CActionList& list = state.keyConfig.ComboKey[3][0];
    list.SizeOfView = 6;
    list.append("A");
    list.PlayMode = 1;
    state.resetToDefaults();
    EXPECT_TRUE(state.keyConfig.PredefinedCombo.empty());
    EXPECT_EQ(state.keyConfig.PredefinedCombo.Delay, 30);
    EXPECT_EQ(state.keyConfig.PredefinedCombo.SizeOfView, 6);
    EXPECT_EQ(state.keyConfig.PredefinedMacro.SizeOfView, 9);
    EXPECT_EQ(state.keyConfig.PredefinedEmu.SizeOfView, 9);
    EXPECT_EQ(state.keyConfig.LightAreas[87].Blue, 0);
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(list.PlayMode, 0);
    EXPECT_EQ(list.SizeOfView, 6) << "a key's list keeps its view size";
    EXPECT_EQ(state.editKey, 12);
    EXPECT_EQ(state.editLevel, 1);
    EXPECT_EQ(state.modified, 1);
    EXPECT_EQ(state.mostPressedKey, 4);
}

TEST(AppState, AssignmentSummary_ByMode) {
    CAppState state(talvik::test::keyboardless());
    state.buildNameTables();
    auto& config = state.keyConfig;
    CActionList& list = config.ComboKey[5][1];
    list.append("LCTRL");
    list.append("C");
    config.Mode[5][1] = KeyMode::Combo;
    EXPECT_EQ(state.assignmentSummary(5, 1), "LCTRL | C");
    config.Mode[5][1] = KeyMode::Emulation;
    EXPECT_EQ(state.assignmentSummary(5, 1), "LCTRL | C");
    config.Mode[5][1] = KeyMode::Macro;
    EXPECT_EQ(state.assignmentSummary(5, 1), "LCTRL,C");
    config.Mode[5][1] = KeyMode::Multimedia;
    config.HWCode[5][1] = 112;
    EXPECT_EQ(state.assignmentSummary(5, 1), "Mute");
    config.Mode[5][1] = KeyMode::Power;
    config.HWCode[5][1] = 77;
    EXPECT_EQ(state.assignmentSummary(5, 1), "-- --");
    config.Mode[5][1] = KeyMode::NotSet;
    EXPECT_EQ(state.assignmentSummary(5, 1), "");
    config.Mode[5][1] = static_cast<KeyMode>(12); // from a damaged profile
    EXPECT_EQ(state.assignmentSummary(5, 1), "");
    config.Mode[6][0] = KeyMode::Combo;
    EXPECT_EQ(state.assignmentSummary(6, 0), "") << "an empty combo shows nothing";
    EXPECT_EQ(state.assignmentSummary(88, 0), "");
    EXPECT_EQ(state.assignmentSummary(1, 2), "");
}

TEST(AppState, LightAreas_ThreeIntsPerKeyFromKey1) {
    CAppState state(talvik::test::keyboardless());
    state.keyConfig.LightAreas[0] = {9, 9, 9}; // row 0 is no key and never travels
    for (int area = 1; area <= kKeyCount; ++area)
        state.keyConfig.LightAreas[area] = {area, area + 100, 255 - area};
    std::array<int, kLightArrayInts> lights{};
    state.lightAreasToArray(lights);
    EXPECT_EQ(lights[0], 1);
    EXPECT_EQ(lights[1], 101);
    EXPECT_EQ(lights[2], 254);
    EXPECT_EQ(lights[258], 87);
    EXPECT_EQ(lights[260], 168);

    CAppState other(talvik::test::keyboardless());
    other.lightAreasFromArray(lights);
    for (int area = 1; area <= kKeyCount; ++area) {
        EXPECT_EQ(other.keyConfig.LightAreas[area].Red, area);
        EXPECT_EQ(other.keyConfig.LightAreas[area].Green, area + 100);
        EXPECT_EQ(other.keyConfig.LightAreas[area].Blue, 255 - area);
    }
    EXPECT_EQ(other.keyConfig.LightAreas[0].Red, 0);
}
