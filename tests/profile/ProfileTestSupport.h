#pragma once

#include "talvik/model/CAppState.h"
#include "talvik/model/CKeyConfig.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace talvik::test {

// Same texts, children and every field, view fields included.
inline void expectSameList(const model::CActionList& a, const model::CActionList& b,
                           const std::string& where) {
    EXPECT_EQ(a.SizeOfView, b.SizeOfView) << where;
    EXPECT_EQ(a.ViewStartAt, b.ViewStartAt) << where;
    EXPECT_EQ(a.CursorPos, b.CursorPos) << where;
    EXPECT_EQ(a.Cycles, b.Cycles) << where;
    EXPECT_EQ(a.IsAutoInterval, b.IsAutoInterval) << where;
    EXPECT_EQ(a.Delay, b.Delay) << where;
    EXPECT_EQ(a.PlayMode, b.PlayMode) << where;
    ASSERT_EQ(a.items(), b.items()) << where;
    for (std::size_t i = 0; i < a.children().size(); ++i) {
        expectSameList(a.children()[i], b.children()[i], where + "/" + std::to_string(i));
    }
}

// Keys and areas 1..87 and the three collections.
inline void expectSameConfig(const model::CKeyConfig& a, const model::CKeyConfig& b) {
    expectSameList(a.PredefinedCombo, b.PredefinedCombo, "combos");
    expectSameList(a.PredefinedMacro, b.PredefinedMacro, "macros");
    expectSameList(a.PredefinedEmu, b.PredefinedEmu, "emulations");
    for (int key = 1; key <= model::kKeyCount; ++key) {
        const model::LightArea &la = a.LightAreas[key], &lb = b.LightAreas[key];
        EXPECT_TRUE(la.Red == lb.Red && la.Green == lb.Green && la.Blue == lb.Blue)
            << "area " << key;
        for (int level = 0; level < model::kLayerCount; ++level) {
            std::string where = "key " + std::to_string(key) + "/" + std::to_string(level);
            EXPECT_EQ(a.Mode[key][level], b.Mode[key][level]) << where;
            EXPECT_EQ(a.HWCode[key][level], b.HWCode[key][level]) << where;
            expectSameList(a.ComboKey[key][level], b.ComboKey[key][level], where);
        }
    }
}

inline std::unique_ptr<model::CAppState> resetState(int model) {
    auto state = std::make_unique<model::CAppState>(CDeviceEnvironment::withoutDevices());
    state->buildNameTables();
    state->modelNumber = model;
    state->resetToDefaults();
    return state;
}

} // namespace talvik::test
