// The main window's device commands with the real progress dialog on the simulated
// keyboard: what they tell the program of the keyboard, and, on a keyboard that fails, no
// "OK!!" and the changes stay unwritten; Enter on a focused command runs it the same way.

#include "ProgramFixture.h"
#include "QtTestApp.h"

#include "talvik/jobs/CDeviceWorkerSlot.h"
#include "talvik/model/CAppState.h"
#include "talvik/program/ProgramDialogs.h"
#include "talvik/shell/COrsaApp.h"
#include "talvik/shell/COrsaDlg.h"

#include "talvik/layout/SkinLayout.h"

#include <QTest>
#include <gtest/gtest.h>

using namespace talvik::model;

namespace id = talvik::layout::main_id;

using talvik::test::CProgramWindow;

TEST(MainJobs, ReadAllMakesTheKeyboardKnownAndAWriteTakesTheMarksAway) {
    CProgramWindow w(1);
    ASSERT_TRUE(w.loaded);
    CAppState& state = w.state;
    w.window.runCommand(id::ReadAll, 9);
    ASSERT_EQ(w.notices, QStringList{QStringLiteral("Talvik(RGB)BLe|OK!!")});
    ASSERT_TRUE(state.keyboard.keys);
    const int code = state.keyConfig.HWCode[5][0] == 4 ? 5 : 4;
    state.keyConfig.Mode[5][0] = KeyMode::Single;
    state.keyConfig.HWCode[5][0] = code;
    EXPECT_TRUE(state.keyboard.unwritten(state.keyConfig, 5, 0));
    w.window.runCommand(id::WriteKeys, 8);
    EXPECT_EQ(w.notices.size(), 2);
    EXPECT_FALSE(state.keyboard.unwritten(state.keyConfig, 5, 0));
    EXPECT_FALSE(w.window.keyDetails(5).contains(QStringLiteral("（尚未写入）")));
}

TEST(MainJobs, AWriteTheKeyboardDropsShowsNoOkAndKeepsTheChangesUnwritten) {
    // Enough reports for connecting and the version, then the keyboard goes
    // away in the middle of the key table.
    CProgramWindow w(2, {.faults = "disconnect:60"});
    ASSERT_TRUE(w.loaded);
    CAppState& state = w.state;
    state.keyboard.keys = state.keyConfig; // as a read before would have left it
    state.keyConfig.Mode[5][0] = KeyMode::NotSet;
    state.modified = 1;
    w.window.runCommand(id::WriteKeys, 8);
    EXPECT_EQ(state.modified, 1);
    EXPECT_TRUE(w.window.keyDetails(5).contains(QStringLiteral("（尚未写入）")))
        << "the key's change is still not on the keyboard";
    ASSERT_EQ(w.notices.size(), 1);
    EXPECT_TRUE(w.notices[0].startsWith(QStringLiteral("Talvik(S)Ble|")))
        << w.notices[0].toStdString();
    EXPECT_FALSE(w.notices[0].contains(QStringLiteral("OK!!"))) << w.notices[0].toStdString();
}

TEST(MainJobs, EnterOnTheFocusedWriteButtonWritesAsAClickDoes) {
    CProgramWindow w(1);
    ASSERT_TRUE(w.loaded);
    CAppState& state = w.state;
    w.window.runCommand(id::ReadAll, 9);
    ASSERT_EQ(w.notices.size(), 1);
    state.keyConfig.Mode[5][0] = KeyMode::Single;
    state.keyConfig.HWCode[5][0] = state.keyConfig.HWCode[5][0] == 4 ? 5 : 4;
    ASSERT_TRUE(state.keyboard.unwritten(state.keyConfig, 5, 0));
    const auto focusedId = [&] {
        const int index = w.window.focusedElement();
        return index < 0 ? -1 : w.window.elements()[static_cast<std::size_t>(index)].id;
    };
    for (int i = 0; i < 20 && focusedId() != id::WriteKeys; ++i) {
        QTest::keyClick(&w.window, Qt::Key_Tab);
    }
    ASSERT_EQ(focusedId(), id::WriteKeys);
    QStringList questions; // the exit button's, were Enter to leave
    w.window.setQuestionSink([&](const QString&, const QString& text) {
        questions << text;
        return false;
    });
    QTest::keyClick(&w.window, Qt::Key_Return);
    EXPECT_TRUE(questions.isEmpty());
    ASSERT_EQ(w.notices.size(), 2);
    EXPECT_EQ(w.notices[1], QStringLiteral("Talvik(RGB)BLe|OK!!"));
    EXPECT_FALSE(state.keyboard.unwritten(state.keyConfig, 5, 0)) << "the keyboard has the key";
    EXPECT_TRUE(w.window.isVisible()) << "Enter wrote; it did not leave";
}
