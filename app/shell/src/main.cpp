#include "talvik/device/MainWindowDevice.h"
#include "talvik/model/CAppState.h"
#include "talvik/shell/COrsaDlg.h"
#include "talvik/shell/COrsaApp.h"
#include "talvik/shell/FirstPaintProbe.h"

#include <QApplication>

namespace {
// Built before start-up and destroyed after it, so the keyboard connection
// outlives every window.
CAppState g_appState;
} // namespace

int main(int argc, char** argv) {
    // The window's shape and system moves behave the same on X11 and, through
    // XWayland, on Wayland desktops.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
    QApplication application(argc, argv);
    // Lets the desktop match the windows to the installed desktop entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(TALVIK_APP_ID));
    // A face that covers Chinese as well as Latin, for every font of the table.
    QFont font(QStringLiteral("Noto Sans CJK SC"));
    QApplication::setFont(font);
    const auto probe = talvik::shell::installFirstPaintProbe(application);
    talvik::shell::COrsaApp app(g_appState);
    talvik::shell::CStartupHooks hooks;
    hooks.prepareWindow = [&app](talvik::shell::COrsaDlg& window) {
        talvik::device::installDeviceCommands(window, app, g_appState);
    };
    return app.run(std::move(hooks));
}
