#pragma once

// The windows the main window's commands open that belong to libraries
// standing on this one: the key settings dialog of the editor and the device
// dialogs. The program hands them in (app/program), so the shell links
// neither; tests hand in their own.

#include "talvik/jobs/CDeviceJob.h"

#include <functional>

namespace talvik::shell {

struct CMainWindowDialogs {
    // The key settings dialog for the application state's editKey and
    // editLevel, modally; true when it ended with OK.
    std::function<bool()> keySettings;
    // The progress dialog running `job`, modally.
    std::function<jobs::CJobReport(jobs::EJob job)> runJob;
    std::function<void()> backlight; // the backlight settings, modally
    std::function<void()> firmware;  // the firmware update, modally
};

} // namespace talvik::shell
