#pragma once

// The device windows the main window's commands open: the progress dialog
// for the key, read-all and counter jobs, the backlight settings and the
// firmware update. The main window stands below this library, so the
// program hands them to it.

class CAppState;

namespace talvik::shell {
class COrsaApp;
class COrsaDlg;
} // namespace talvik::shell

namespace talvik::device {

void installDeviceCommands(shell::COrsaDlg& window, shell::COrsaApp& app, CAppState& state);

} // namespace talvik::device
