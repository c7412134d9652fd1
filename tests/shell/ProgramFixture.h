#pragma once

// The main window as the program puts it together: its commands open the
// real key settings dialog and the real device dialogs.

#include "shell/MainWindowFixture.h"

#include "talvik/jobs/CDeviceWorkerSlot.h"
#include "talvik/program/ProgramDialogs.h"

namespace talvik::test {

struct CProgramFixture : CMainWindowFixture {
    explicit CProgramFixture(int model) : CMainWindowFixture(model) {
        program::installDialogs(dlg(), app, state, worker);
    }
    jobs::CDeviceWorkerSlot worker; // ends before the window and the state
};

} // namespace talvik::test
