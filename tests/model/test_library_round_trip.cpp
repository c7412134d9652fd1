// A configuration with every kind of assignment on both layers goes into the
// library's key table, to the simulated keyboard and back. Only key codes and
// the play fields travel, so what comes back is named here exactly: names
// without their direction suffix, the delay after a macro's last event, the
// cycles of a macro not played a number of times, the interval of a macro
// with individual delays, and the view fields of the lists.

#include "ModelTestSupport.h"
#include "talvik/model/CAppState.h"
#include "talvik/text/KeyTables.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace talvik::model;

using talvik::text::delayText;

namespace {

using Items = std::vector<std::string>;

struct ListKey {
    int key;
    int level;
    KeyMode mode;
    Items sent;
    int playMode = 0;
    int cycles = 1;
    bool autoInterval = false;
    int delay = 30;
    Items received; // what the list holds after the trip
    int receivedCycles = 1;
    int receivedDelay = 30;
};

struct CodeKey {
    int key;
    int level;
    KeyMode mode;
    int code;
};

const std::vector<CodeKey> kCodeKeys = {
    {2, 0, KeyMode::Single, 30},   {8, 0, KeyMode::Multimedia, 112},  {9, 0, KeyMode::Mouse, 199},
    {10, 0, KeyMode::Mouse, 133},  {11, 0, KeyMode::Function, 151},   {12, 0, KeyMode::Power, 75},
    {40, 1, KeyMode::Single, 90},  {41, 1, KeyMode::Multimedia, 125}, {42, 1, KeyMode::Mouse, 199},
    {43, 1, KeyMode::Mouse, 157},  {44, 1, KeyMode::Function, 156},   {45, 1, KeyMode::Power, 77},
    {46, 1, KeyMode::Single, 204},
};

const std::vector<ListKey> kListKeys = {
    {3,
     0,
     KeyMode::Combo,
     {"LCTRL", "LALT", "DEL"},
     0,
     1,
     false,
     30,
     {"LCTRL", "LALT", "DEL"},
     1,
     30},
    {4,
     0,
     KeyMode::Macro,
     {"A Down", delayText(30), "A UP", delayText(50), "B Down", delayText(20)},
     0,
     3,
     false,
     30,
     {"A", "<30 ms>", "A", "<50 ms>", "B"},
     3,
     0},
    {5, 0, KeyMode::Macro, {"Q Down", "Q UP"}, 1, 7, true, 45, {"Q", "Q"}, 0, 45},
    {6,
     0,
     KeyMode::Macro,
     {"F1 Down", delayText(1000), "F1 UP"},
     2,
     5,
     false,
     30,
     {"F1", "<1000 ms>", "F1"},
     0,
     0},
    {7,
     0,
     KeyMode::Emulation,
     {"H", "E", "L", "L", "O"},
     0,
     1,
     false,
     120,
     {"H", "E", "L", "L", "O"},
     1,
     120},
    // "Left CTRL" is the generic Ctrl key, which the keyboard has no code for.
    {14,
     0,
     KeyMode::Combo,
     {"Left CTRL", "Mouse Key Left", "(Enter)"},
     0,
     1,
     false,
     30,
     {"-- --", "Mouse Key Left", "(Enter)"},
     1,
     30},
    {50, 1, KeyMode::Combo, {"LSHIFT", "RSHIFT"}, 0, 1, false, 30, {"LSHIFT", "RSHIFT"}, 1, 30},
    {51,
     1,
     KeyMode::Macro,
     {"VolumeUp Down", delayText(65535), "Mute UP"},
     0,
     255,
     false,
     30,
     {"VolumeUp", "<65535 ms>", "Mute"},
     255,
     0},
    {52, 1, KeyMode::Macro, {"Z"}, 0, 1, true, 6000, {"Z"}, 1, 6000},
    {53,
     1,
     KeyMode::Emulation,
     {"Mouse Wheel Up", "Next track"},
     0,
     1,
     false,
     6000,
     {"Mouse Wheel Up", "Next track"},
     1,
     6000},
};

void fillEveryKind(CAppState& state) {
    for (const CodeKey& k : kCodeKeys) {
        state.keyConfig.Mode[k.key][k.level] = k.mode;
        state.keyConfig.HWCode[k.key][k.level] = k.code;
    }
    for (const ListKey& k : kListKeys) {
        CActionList& list = state.keyConfig.ComboKey[k.key][k.level];
        list.clear();
        list.SizeOfView = 9;
        for (const std::string& item : k.sent)
            list.append(item);
        list.PlayMode = k.playMode;
        list.Cycles = k.cycles;
        list.IsAutoInterval = k.autoInterval;
        list.Delay = k.delay;
        state.keyConfig.Mode[k.key][k.level] = k.mode;
        state.keyConfig.HWCode[k.key][k.level] = 0;
    }
}

void expectEveryKind(const CAppState& state) {
    for (const CodeKey& k : kCodeKeys) {
        const KeyMode expected = k.code == 199 ? KeyMode::Mouse : CAppState::modeForHWCode(k.code);
        EXPECT_EQ(state.keyConfig.Mode[k.key][k.level], expected) << "key " << k.key;
        EXPECT_EQ(state.keyConfig.HWCode[k.key][k.level], k.code) << "key " << k.key;
    }
    for (const ListKey& k : kListKeys) {
        const CActionList& list = state.keyConfig.ComboKey[k.key][k.level];
        EXPECT_EQ(state.keyConfig.Mode[k.key][k.level], k.mode) << "key " << k.key;
        EXPECT_EQ(list.items(), k.received) << "key " << k.key;
        EXPECT_EQ(list.Cycles, k.receivedCycles) << "key " << k.key;
        EXPECT_EQ(list.Delay, k.receivedDelay) << "key " << k.key;
        if (k.mode == KeyMode::Macro) {
            EXPECT_EQ(list.PlayMode, k.playMode) << "key " << k.key;
            EXPECT_EQ(list.IsAutoInterval, k.autoInterval) << "key " << k.key;
        }
    }
}

class LibraryRoundTrip : public ::testing::Test {
protected:
    LibraryRoundTrip()
        : source(talvik::test::keyboardless(1)), target(talvik::test::keyboardless(1)) {
        for (CAppState* state : {&source, &target}) {
            state->buildNameTables();
            state->modelNumber = 1;
            state->resetToDefaults();
        }
        fillEveryKind(source);
    }

    COrsaHWI& device() { return source.device; }

    CAppState source;
    CAppState target;
};

} // namespace

TEST_F(LibraryRoundTrip, EveryKind_ThroughTheLibraryTable) {
    ASSERT_TRUE(device().__createDev());
    int stale[] = {0, 1, 5};
    device().setKeyConfiguration(0, 30, stale, 3);
    source.keyConfig.Mode[30][0] = KeyMode::NotSet;
    source.writeKeysToLibrary(device());
    target.readKeysFromLibrary(device());
    expectEveryKind(target);
    EXPECT_EQ(target.keyConfig.Mode[30][0], KeyMode::NotSet) << "unassigned keys go empty";
    EXPECT_EQ(target.keyConfig.Mode[1][0], KeyMode::Single) << "untouched defaults travel too";
    EXPECT_EQ(target.keyConfig.Mode[72][1], KeyMode::Function);
    EXPECT_EQ(target.keyConfig.HWCode[72][1], 156);
}

TEST_F(LibraryRoundTrip, EveryKind_ThroughTheSimulatedKeyboard) {
    ASSERT_TRUE(device().__createDev());
    source.writeKeysToLibrary(device());
    ASSERT_TRUE(device().writeKeyConfigurationToDev(0));
    // Empty the library's own table, so that only the keyboard can answer.
    device().prepare();
    ASSERT_TRUE(device().readKeyDefinationFromDev(0));
    target.readKeysFromLibrary(device());
    expectEveryKind(target);
    for (int level = 0; level < kLayerCount; ++level)
        for (int key = 1; key <= kKeyCount; ++key)
            if (source.keyConfig.Mode[key][level] == KeyMode::NotSet) {
                EXPECT_EQ(target.keyConfig.Mode[key][level], KeyMode::NotSet) << key;
            }
}

TEST_F(LibraryRoundTrip, EmptyMacro_ClearsWhatTheKeyboardHeldForTheKey) {
    ASSERT_TRUE(device().__createDev());
    source.writeKeysToLibrary(device());
    ASSERT_TRUE(device().writeKeyConfigurationToDev(0));

    source.keyConfig.ComboKey[4][0].clear(); // the macro of key 4 loses all events
    source.writeKeysToLibrary(device());
    ASSERT_TRUE(device().writeKeyConfigurationToDev(0));
    device().prepare();
    ASSERT_TRUE(device().readKeyDefinationFromDev(0));
    target.readKeysFromLibrary(device());
    EXPECT_EQ(target.keyConfig.Mode[4][0], KeyMode::NotSet);
    EXPECT_EQ(target.keyConfig.Mode[5][0], KeyMode::Macro) << "the other keys stay intact";
}

TEST_F(LibraryRoundTrip, OverlongLists_ArriveCut_NeighboursIntact) {
    ASSERT_TRUE(device().__createDev());
    CActionList& combo = source.keyConfig.ComboKey[20][0];
    CActionList& emulation = source.keyConfig.ComboKey[21][0];
    combo.clear();
    emulation.clear();
    for (int i = 0; i < 70; ++i) {
        combo.append(i % 2 ? "A" : "B");
        emulation.append(i % 2 ? "C" : "D");
    }
    source.keyConfig.Mode[20][0] = KeyMode::Combo;
    source.keyConfig.Mode[21][0] = KeyMode::Emulation;
    source.writeKeysToLibrary(device());
    ASSERT_TRUE(device().writeKeyConfigurationToDev(0));
    device().prepare();
    ASSERT_TRUE(device().readKeyDefinationFromDev(0));
    target.readKeysFromLibrary(device());
    EXPECT_EQ(target.keyConfig.ComboKey[20][0].count(), 58);
    EXPECT_EQ(target.keyConfig.ComboKey[21][0].count(), 56);
    EXPECT_EQ(target.keyConfig.ComboKey[21][0].items().back(), "C");
    expectEveryKind(target);
}
