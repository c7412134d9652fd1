// Changes of the configuration as the edit history keeps them: only what differs, back and
// forth exactly, and lists shared between the steps that hold the same content.

#include "ModelTestSupport.h"

#include "talvik/model/CAppState.h"
#include "talvik/model/CConfigChange.h"

#include <gtest/gtest.h>

#include <string>

using namespace talvik::model;
using namespace talvik::test;

namespace {

struct ChangeTest : ::testing::Test {
    ChangeTest() : state(keyboardless()) {
        state.modelNumber = 1;
        state.buildNameTables();
        state.resetToDefaults();
    }

    // Every key a long macro, as a heavy profile has it.
    CKeyConfig heavy(const std::string& tag) const {
        CKeyConfig config = state.keyConfig;
        for (int key = 1; key <= kKeyCount; ++key) {
            for (int level = 0; level < kLayerCount; ++level) {
                config.Mode[key][level] = KeyMode::Macro;
                CActionList& list = config.ComboKey[key][level];
                for (int event = 0; event < 200; ++event) {
                    list.append(tag + " event " + std::to_string(event));
                }
                list.PlayMode = 2;
            }
        }
        config.PredefinedMacro.append("entry");
        config.PredefinedMacro.setChildAtRow(0, config.ComboKey[1][0]);
        return config;
    }

    CAppState state;
    CListPool pool;
};

bool sameConfig(const CKeyConfig& a, const CKeyConfig& b) {
    CListPool pool;
    return CConfigChange::between(a, b, pool).empty();
}

} // namespace

TEST_F(ChangeTest, HoldsOnlyWhatDiffersAndPutsBothSidesBackExactly) {
    const CKeyConfig before = state.keyConfig;
    EXPECT_TRUE(CConfigChange::between(before, before, pool).empty());

    CKeyConfig after = before;
    after.Mode[17][1] = KeyMode::Combo;
    after.ComboKey[17][1].append("L-Ctrl");
    after.ComboKey[17][1].append("C");
    after.ComboKey[17][1].CursorPos = 1; // a view field alone is a difference too
    after.PredefinedCombo.append("New Combo 1");
    const CConfigChange change = CConfigChange::between(before, after, pool);
    EXPECT_EQ(change.changedSlots(), (std::vector<std::pair<int, int>>{{17, 1}}));
    EXPECT_TRUE(change.touchesKeys());
    EXPECT_FALSE(change.touchesLights());

    CKeyConfig config = after;
    change.undo(config);
    EXPECT_TRUE(sameConfig(config, before));
    change.redo(config);
    EXPECT_TRUE(sameConfig(config, after));
    EXPECT_EQ(config.ComboKey[17][1].CursorPos, 1);
}

TEST_F(ChangeTest, ColoursAloneDoNotTouchTheKeys) {
    CKeyConfig after = state.keyConfig;
    after.LightAreas[5] = {10, 20, 30};
    const CConfigChange change = CConfigChange::between(state.keyConfig, after, pool);
    EXPECT_FALSE(change.touchesKeys());
    EXPECT_TRUE(change.touchesLights());
    CKeyConfig config = after;
    change.undo(config);
    EXPECT_EQ(config.LightAreas[5].Blue, state.keyConfig.LightAreas[5].Blue);
}

// Opening one heavy profile and clearing it again and again, and opening another one, keeps
// one copy of each distinct list however many steps refer to them; the copies go with the
// last step that holds them.
TEST_F(ChangeTest, StepsOfTheSameContentShareOneCopyOfIt) {
    const CKeyConfig cleared = state.keyConfig;
    const CKeyConfig opened = heavy("a");
    std::vector<CConfigChange> steps;
    for (int i = 0; i < 20; ++i) {
        steps.push_back(CConfigChange::between(cleared, opened, pool));
        steps.push_back(CConfigChange::between(opened, cleared, pool));
    }
    const std::size_t lists = pool.size();
    EXPECT_LE(lists, 4u) << "the macro, the collection, the empty list and the factory lists";
    steps.push_back(CConfigChange::between(cleared, heavy("b"), pool));
    EXPECT_EQ(pool.size(), lists + 2) << "the other profile's macro and its collection";

    CKeyConfig config = cleared;
    steps[0].redo(config);
    EXPECT_TRUE(sameConfig(config, opened));
    steps.clear();
    EXPECT_EQ(pool.size(), 0u);
}
