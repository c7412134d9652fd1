#pragma once

// Where the program is put together: the main window's commands open the
// editor's key settings dialog and the device dialogs. Only the program (and
// tests that run the whole main window) link the shell, the editor and the
// device dialogs together.

#include "talvik/model/Forward.h"

namespace talvik::jobs {
class CDeviceWorkerSlot;
}

namespace talvik::shell {
class COrsaApp;
class COrsaDlg;
} // namespace talvik::shell

namespace talvik::program {

// Hands `window` the dialogs its commands open. Every device job runs in
// `worker`, which must outlive the window.
void installDialogs(shell::COrsaDlg& window, shell::COrsaApp& app, model::CAppState& state,
                    jobs::CDeviceWorkerSlot& worker);

} // namespace talvik::program
