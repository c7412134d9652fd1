// Talvik: the program. main() owns what lives for the whole run and hands it
// to the windows: the application state with its keyboard connection, and
// the one slot every device worker starts in.

#include "talvik/jobs/CDeviceWorkerSlot.h"
#include "talvik/model/CAppState.h"
#include "talvik/program/ProgramDialogs.h"
#include "talvik/shell/COrsaApp.h"
#include "talvik/shell/COrsaDlg.h"
#include "talvik/shell/FirstPaintProbe.h"
#include "talvik/shell/SessionBus.h"

#include <QApplication>

int main(int argc, char** argv) {
    // Made first and ended last: the keyboard connection outlives every
    // window, and a worker still running at exit (a cancelled job) is
    // waited for before the device object it uses goes.
    talvik::model::CAppState state;
    talvik::jobs::CDeviceWorkerSlot worker;

    // On a Wayland desktop the windows are the compositor's own (translucent
    // outlines, floating on tiling compositors, dialogs over their owners),
    // through X11 where Qt's Wayland platform is not installed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        if (!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
            qputenv("QT_QPA_PLATFORM", "wayland;xcb");
        } else if (!qEnvironmentVariableIsEmpty("DISPLAY")) {
            qputenv("QT_QPA_PLATFORM", "xcb");
        }
    }
    QApplication application(argc, argv);
    talvik::shell::connectSessionBus();
    // Lets the desktop match the windows to the installed desktop entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(TALVIK_APP_ID));
    // A face that covers Chinese as well as Latin, for every font of the table.
    QFont font(QStringLiteral("Noto Sans CJK SC"));
    QApplication::setFont(font);
    const auto probe = talvik::shell::installFirstPaintProbe(application);
    talvik::shell::COrsaApp app(state);
    talvik::shell::CStartupHooks hooks;
    hooks.prepareWindow = [&app, &state, &worker](talvik::shell::COrsaDlg& window) {
        talvik::program::installDialogs(window, app, state, worker);
    };
    return app.run(std::move(hooks));
}
