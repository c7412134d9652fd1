// The main window's device commands with the real progress dialog on a
// simulated keyboard that fails: no "OK!!", and the changes stay unwritten.

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

TEST(MainJobs, AWriteTheKeyboardDropsShowsNoOkAndKeepsTheChangesUnwritten) {
    // Enough reports for connecting and the version, then the keyboard goes
    // away in the middle of the key table.
    qputenv("TALVIK_SIMULATOR_FAULT", "disconnect:60");
    talvik::test::qtApp();
    CAppState state(CDeviceEnvironment::withoutDevices(2));
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

    state.modified = 1;
    window.runCommand(id::WriteKeys, 8);
    EXPECT_EQ(state.modified, 1);
    ASSERT_EQ(notices.size(), 1);
    EXPECT_TRUE(notices[0].startsWith(QStringLiteral("Talvik(S)Ble|"))) << notices[0].toStdString();
    EXPECT_FALSE(notices[0].contains(QStringLiteral("OK!!"))) << notices[0].toStdString();
    qunsetenv("TALVIK_SIMULATOR_FAULT");
}
