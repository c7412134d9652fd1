// Editing a macro by hand: the delay modes, the delay editor, the event rows
// and the numeric boxes.

#include "talvik/recorder/MacroEditing.h"

#include "RecorderTestSupport.h"

#include <gtest/gtest.h>

using namespace talvik::model;

namespace {

using namespace talvik::recorder;
using talvik::test::itemsOf;
using talvik::test::macroOf;

TEST(DelayModes, TheModeAlreadyInForce_LeavesTheListAsItIs) {
    CActionList delays = macroOf({"E1", "<12 ms>", "E2"});
    delays.CursorPos = 0;
    const CActionList before = delays;
    useRecordedDelays(delays);
    EXPECT_EQ(delays.items(), before.items());
    EXPECT_EQ(delays.CursorPos, 0);

    CActionList events = macroOf({"E1", "E2", "E3"}, true);
    useAutoInterval(events);
    EXPECT_EQ(events.items(), itemsOf({"E1", "E2", "E3"}));
}

TEST(DelayModes, EmptyOrSingleEventMacros_ConvertWithoutDelays) {
    CActionList empty(9);
    useAutoInterval(empty);
    useRecordedDelays(empty);
    EXPECT_TRUE(empty.empty());

    CActionList one = macroOf({"E1"}, true);
    useRecordedDelays(one);
    EXPECT_EQ(one.items(), itemsOf({"E1"}));
}

TEST(DelayEditor, OpensOnlyOnADelay_WithItsNumber) {
    CActionList macro = macroOf({"A Down", "<120 ms>", "A UP"});
    macro.CursorPos = 1;
    EXPECT_EQ(delayEditorText(macro), "120");
    macro.CursorPos = 2;
    EXPECT_EQ(delayEditorText(macro), std::nullopt);

    CActionList odd = macroOf({"<Fn>x"});
    EXPECT_EQ(delayEditorText(odd), std::nullopt) << "its first '>' is not its last character";
}

TEST(DelayEditor, TypedValues_AreLimitedTo0To65535) {
    CActionList macro = macroOf({"A Down", "<120 ms>", "A UP"});
    macro.CursorPos = 1;
    struct Case {
        const char* typed;
        const char* stored;
    };
    for (const Case& c : {Case{"70000", "<65535 ms>"}, Case{"-5", "<0 ms>"}, Case{"abc", "<0 ms>"},
                          Case{" 250", "<250 ms>"}, Case{"99999999999999", "<65535 ms>"}}) {
        storeEditedDelay(macro, c.typed);
        EXPECT_EQ(macro.itemAtRow(1), c.stored) << c.typed;
    }
    EXPECT_EQ(macro.count(), 3);
}

TEST(EventRows, SelectFirst_ThenTheSelectedDelayOpensTheEditor) {
    CActionList macro = macroOf({"A Down", "<120 ms>", "A UP"});
    EXPECT_EQ(clickEventRow(macro, 3), RowClick::Ignored) << "past the end";
    EXPECT_EQ(clickEventRow(macro, -1), RowClick::Ignored);
    EXPECT_EQ(clickEventRow(macro, 1), RowClick::Selected);
    EXPECT_EQ(macro.CursorPos, 1);
    EXPECT_EQ(clickEventRow(macro, 1), RowClick::EditDelay);
    EXPECT_EQ(clickEventRow(macro, 0), RowClick::Selected);
    EXPECT_EQ(clickEventRow(macro, 0), RowClick::Selected) << "an event opens nothing";
}

TEST(EventRows, RowsCountFromTheViewStart) {
    CActionList macro(9);
    for (int i = 0; i < 12; ++i)
        macro.append(i % 2 == 0 ? "A Down" : "<5 ms>");
    ASSERT_EQ(macro.ViewStartAt, 3);
    EXPECT_EQ(clickEventRow(macro, 9), RowClick::Ignored);
    EXPECT_EQ(clickEventRow(macro, 0), RowClick::Selected);
    EXPECT_EQ(clickEventRow(macro, 0), RowClick::EditDelay) << "item 3 is a delay";
}

TEST(NumericBoxes, OutOfRangeValuesAreReplacedByTheNearestLimit) {
    struct Case {
        const char* typed;
        int min, max, value;
        bool replaced;
    };
    for (const Case& c : {
             Case{"0", kMinCycles, kMaxCycles, 1, true},
             Case{"300", kMinCycles, kMaxCycles, 255, true},
             Case{"42", kMinCycles, kMaxCycles, 42, false},
             Case{"255", kMinCycles, kMaxCycles, 255, false},
             Case{"99999999999", kMinCycles, kMaxCycles, 255, true},
             Case{"7000", 0, kMaxEmulationDelayMs, 6000, true},
             Case{"0", 0, kMaxEmulationDelayMs, 0, false},
             Case{"60001", 0, kMaxAutoDelayMs, 60000, true},
         }) {
        const auto box = limitBoxValue(c.typed, c.min, c.max);
        ASSERT_TRUE(box) << c.typed;
        EXPECT_EQ(box->value, c.value) << c.typed;
        EXPECT_EQ(box->replaceText, c.replaced) << c.typed;
    }
    EXPECT_EQ(limitBoxValue("", kMinCycles, kMaxCycles), std::nullopt)
        << "an emptied box waits for the user's digits";
}

} // namespace
