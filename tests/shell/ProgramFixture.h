#pragma once

// The main window as the program puts it together: its commands open the
// real key settings dialog and the real device dialogs; on no keyboard, or on
// a simulated keyboard of its own.

#include "shell/MainWindowFixture.h"

#include "talvik/jobs/CDeviceWorkerSlot.h"
#include "talvik/program/ProgramDialogs.h"
#include "talvik/shell/COrsaApp.h"
#include "talvik/shell/COrsaDlg.h"

#include <QStringList>

namespace talvik::test {

struct CProgramFixture : CMainWindowFixture {
    explicit CProgramFixture(int model) : CMainWindowFixture(model) {
        program::installDialogs(dlg(), app, state, worker);
    }
    jobs::CDeviceWorkerSlot worker; // ends before the window and the state
};

// The main window of a simulated keyboard with the program's real dialogs; the notices it
// gives are kept as "caption|text".
struct CProgramWindow {
    explicit CProgramWindow(int model, const CSimulatorSetup& simulator = {})
        : state(CDeviceEnvironment::withSimulator(model, simulator)), app(state), window(app, state) {
        state.modelNumber = model;
        QString error;
        loaded = app.loadSkin(model, error, talvik::test::builtSkinPath());
        state.buildNameTables();
        talvik::program::installDialogs(window, app, state, worker);
        window.setNoticeSink([this](QMessageBox::Icon, const QString& caption, const QString& text) {
            notices << caption + QLatin1Char('|') + text;
        });
        loaded = loaded && window.initialise(QSize(1920, 1080));
        window.show();
    }

    bool qtReady = (talvik::test::qtApp(), true); // before any widget
    model::CAppState state;
    talvik::shell::COrsaApp app;
    talvik::jobs::CDeviceWorkerSlot worker;
    talvik::shell::COrsaDlg window;
    QStringList notices;
    bool loaded = false;
};

} // namespace talvik::test
