// The event rows' pop-up menu: mouse actions inserted before a row, Delete,
// and the item limit after every command.

#include "talvik/recorder/MacroMenu.h"

#include "talvik/recorder/CActionRecorder.h"

#include "RecorderTestSupport.h"

#include <gtest/gtest.h>

using namespace talvik::model;

namespace {

using namespace talvik::recorder;
using talvik::test::itemsOf;
using talvik::test::macroOf;

constexpr int kLeftPress = 1135;
constexpr int kLeftClick = 1137;
constexpr int kWheelDown = 1145;

TEST(EventRowMenu, BuiltInTheUsersLanguage) {
    const auto english = eventRowMenu(talvik::text::Language::English);
    ASSERT_EQ(english.size(), 5u);
    EXPECT_EQ(english[0].text, "Left Click");
    EXPECT_EQ(english[0].submenu.size(), 3u);
    EXPECT_EQ(english[0].submenu[2].text, "Click");
    EXPECT_EQ(english[0].submenu[2].command, kLeftClick);
    EXPECT_EQ(english[3].text, "Wheel");
    EXPECT_EQ(english[3].submenu[1].command, kWheelDown);
    EXPECT_EQ(english[4].text, "Delete");
    EXPECT_EQ(english[4].command, kDeleteItemCommand);

    const auto chinese = eventRowMenu(talvik::text::Language::Chinese);
    ASSERT_EQ(chinese.size(), 5u);
    EXPECT_EQ(chinese[1].text, "鼠标右键");
    EXPECT_EQ(chinese[1].submenu[0].text, "按下");
    EXPECT_EQ(chinese[4].text, "删除");
}

TEST(EventRowMenu, MouseActionNames_ComeFromTheKeyTables) {
    talvik::text::CodeTable vkToHW{};
    talvik::text::CodeTable hwToVk{};
    talvik::text::fillVkToHWCode(vkToHW);
    talvik::text::buildHWCodeToVk(vkToHW, hwToVk);
    const auto& names = talvik::test::keyNames();
    EXPECT_EQ(mouseActionName(names, hwToVk, mouseActionOf(kLeftClick)->hwCode), "Mouse Key Left");
    EXPECT_EQ(mouseActionName(names, hwToVk, mouseActionOf(kWheelDown)->hwCode), "Mouse Wheel Dn");
    EXPECT_EQ(mouseActionOf(kLeftClick)->events, 2);
    EXPECT_EQ(mouseActionOf(1146), std::nullopt);
}

TEST(EventRowMenu, PressOverADelay_InsertsDelayThenAction) {
    CActionList macro = macroOf({"E1", "<10 ms>", "E2"});
    ASSERT_TRUE(applyEventRowCommand(macro, 1, kLeftPress, "N"));
    EXPECT_EQ(macro.items(), itemsOf({"E1", "<0 ms>", "N", "<10 ms>", "E2"}));
}

TEST(EventRowMenu, AutoDelay_InsertsActionsOnly_AtTheRowOfTheView) {
    CActionList macro(9);
    for (int i = 0; i < 12; ++i)
        macro.append("E" + std::to_string(i));
    macro.IsAutoInterval = true;
    ASSERT_EQ(macro.ViewStartAt, 3);
    const int cursor = macro.CursorPos;
    ASSERT_TRUE(applyEventRowCommand(macro, 1, kLeftClick, "N"));
    EXPECT_EQ(macro.items()[4], "N");
    EXPECT_EQ(macro.items()[5], "N");
    EXPECT_EQ(macro.items()[6], "E4");
    EXPECT_EQ(macro.CursorPos, cursor) << "inserting leaves the selection where it was";
}

TEST(EventRowMenu, Delete_TakesTheDelayThatFollowsAlong) {
    CActionList macro = macroOf({"E1", "<1 ms>", "E2", "<2 ms>", "E3"});
    macro.CursorPos = 2;
    ASSERT_TRUE(applyEventRowCommand(macro, 2, kDeleteItemCommand, ""));
    EXPECT_EQ(macro.items(), itemsOf({"E1", "<1 ms>", "E3"}));

    ASSERT_TRUE(applyEventRowCommand(macro, 2, kDeleteItemCommand, ""));
    EXPECT_EQ(macro.items(), itemsOf({"E1"})) << "the last event goes with the delay before it";

    CActionList events = macroOf({"E1", "E2", "E3"}, true);
    ASSERT_TRUE(applyEventRowCommand(events, 1, kDeleteItemCommand, ""));
    EXPECT_EQ(events.items(), itemsOf({"E1", "E3"}));
}

TEST(EventRowMenu, Delete_NeverRemovesTheSelectedItemOfAnotherRow) {
    CActionList macro = macroOf({"E1", "<1 ms>", "E2", "<2 ms>", "E3"});
    macro.CursorPos = 0; // E1 selected, E3 right-clicked
    ASSERT_TRUE(applyEventRowCommand(macro, 4, kDeleteItemCommand, ""));
    EXPECT_EQ(macro.items(), itemsOf({"E1", "<1 ms>", "E2"}));
}

TEST(EventRowMenu, EveryCommandCutsTheMacroBackToItsLimit) {
    CActionList macro(9);
    for (int i = 0; i < kMacroItemsWithDelays; ++i)
        macro.append(i % 2 == 0 ? "E" : "<1 ms>");
    macro.setCursor(0);
    ASSERT_TRUE(applyEventRowCommand(macro, 0, kLeftClick, "N"));
    EXPECT_EQ(macro.count(), kMacroItemsWithDelays);
    EXPECT_EQ(macro.items()[0], "N") << "the inserted items stay, the end goes";

    CActionList events(9);
    events.IsAutoInterval = true;
    for (int i = 0; i < 1700; ++i) // longer than the editor allows, as a profile may hold
        events.append("E");
    events.ViewStartAt = -40;
    ASSERT_TRUE(applyEventRowCommand(events, 45, kDeleteItemCommand, ""));
    EXPECT_EQ(events.count(), kMacroItemsAutoInterval);
}

TEST(EventRowMenu, OtherCommands_LeaveTheMacroAlone) {
    CActionList macro = macroOf({"E1", "<1 ms>", "E2"});
    EXPECT_FALSE(applyEventRowCommand(macro, 0, 1146, "N"));
    EXPECT_FALSE(applyEventRowCommand(macro, 0, 88, "N"));
    EXPECT_EQ(macro.count(), 3);
}

} // namespace
