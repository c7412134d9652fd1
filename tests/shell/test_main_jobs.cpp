// The main window's device commands with the real progress dialog on the simulated
// keyboard: what they tell the program of the keyboard, and, on a keyboard that fails, no
// "OK!!" and the changes stay unwritten.

#include "QtTestApp.h"

#include "talvik/jobs/CDeviceWorkerSlot.h"
#include "talvik/model/CAppState.h"
#include "talvik/program/ProgramDialogs.h"
#include "talvik/shell/COrsaApp.h"
#include "talvik/shell/COrsaDlg.h"

#include "talvik/layout/SkinLayout.h"

#include <gtest/gtest.h>

using namespace talvik::model;

namespace id = talvik::layout::main_id;

TEST(MainJobs, ReadAllMakesTheKeyboardKnownAndAWriteTakesTheMarksAway) {
    talvik::test::qtApp();
    CAppState state(CDeviceEnvironment::withSimulator(1));
    talvik::shell::COrsaApp app(state);
    state.modelNumber = 1;
    QString error;
    ASSERT_TRUE(app.loadSkin(1, error, talvik::test::builtSkinPath()));
    state.buildNameTables();
    talvik::jobs::CDeviceWorkerSlot worker;
    talvik::shell::COrsaDlg window(app, state);
    talvik::program::installDialogs(window, app, state, worker);
    QStringList notices;
    window.setNoticeSink([&](QMessageBox::Icon, const QString&, const QString& text) {
        notices << text;
    });
    ASSERT_TRUE(window.initialise(QSize(1920, 1080)));
    window.show();

    window.runCommand(id::ReadAll, 9);
    ASSERT_EQ(notices, QStringList{QStringLiteral("OK!!")});
    ASSERT_TRUE(state.keyboard.keys);
    const int code = state.keyConfig.HWCode[5][0] == 4 ? 5 : 4;
    state.keyConfig.Mode[5][0] = KeyMode::Single;
    state.keyConfig.HWCode[5][0] = code;
    EXPECT_TRUE(state.keyboard.unwritten(state.keyConfig, 5, 0));
    window.runCommand(id::WriteKeys, 8);
    EXPECT_EQ(notices.join(QLatin1Char('|')).toStdString(), "OK!!|OK!!");
    EXPECT_FALSE(state.keyboard.unwritten(state.keyConfig, 5, 0));
    EXPECT_FALSE(window.keyDetails(5).contains(QStringLiteral("（尚未写入）")));
}

TEST(MainJobs, AWriteTheKeyboardDropsShowsNoOkAndKeepsTheChangesUnwritten) {
    // Enough reports for connecting and the version, then the keyboard goes
    // away in the middle of the key table.
    talvik::test::qtApp();
    CAppState state(CDeviceEnvironment::withSimulator(2, {.faults = "disconnect:60"}));
    talvik::shell::COrsaApp app(state);
    state.modelNumber = 2;
    QString error;
    ASSERT_TRUE(app.loadSkin(2, error, talvik::test::builtSkinPath()));
    state.buildNameTables();
    talvik::jobs::CDeviceWorkerSlot worker;
    talvik::shell::COrsaDlg window(app, state);
    talvik::program::installDialogs(window, app, state, worker);
    QStringList notices;
    window.setNoticeSink([&](QMessageBox::Icon, const QString& caption, const QString& text) {
        notices << caption + QLatin1Char('|') + text;
    });
    ASSERT_TRUE(window.initialise(QSize(1920, 1080)));
    window.show();

    state.keyboard.keys = state.keyConfig; // as a read before would have left it
    state.keyConfig.Mode[5][0] = KeyMode::NotSet;
    state.modified = 1;
    window.runCommand(id::WriteKeys, 8);
    EXPECT_EQ(state.modified, 1);
    EXPECT_TRUE(window.keyDetails(5).contains(QStringLiteral("（尚未写入）")))
        << "the key's change is still not on the keyboard";
    ASSERT_EQ(notices.size(), 1);
    EXPECT_TRUE(notices[0].startsWith(QStringLiteral("Talvik(S)Ble|"))) << notices[0].toStdString();
    EXPECT_FALSE(notices[0].contains(QStringLiteral("OK!!"))) << notices[0].toStdString();
}
