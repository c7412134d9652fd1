// Minimising to the notification area and coming back from it.

#include "talvik/shell/COrsaDlg.h"

#include "talvik/model/CAppState.h"
#include "talvik/text/Language.h"

namespace talvik::shell {

void COrsaDlg::setUpTray() {
    m_trayExit = m_trayMenu.addAction(QString());
    // Like Cancel: the window ends without the exit button's questions.
    connect(m_trayExit, &QAction::triggered, this, [this] {
        m_trayIcon.hide();
        reject();
    });
    m_trayIcon.setContextMenu(&m_trayMenu);
    connect(&m_trayIcon, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) { trayActivated(reason); });
}

void COrsaDlg::minimise() {
    if (!m_trayAvailable()) {
        // Hiding the window with no icon to bring it back would strand the
        // user: without a notification area it goes to the task bar instead.
        showMinimized();
        return;
    }
    // The menu speaks the language of the moment the window was hidden; it
    // cannot change while the window is away.
    const QString exitText =
        QString::fromUtf8(text::explicitText(m_state.languageTag, "关闭", "Exit"));
    m_trayExit->setText(exitText);
    m_trayExit->setVisible(!exitText.isEmpty());
    m_trayIcon.show();
    hide();
}

void COrsaDlg::trayActivated(QSystemTrayIcon::ActivationReason reason) {
    // Some notification areas report a plain click and never a double-click;
    // both bring the window back.
    if (reason != QSystemTrayIcon::DoubleClick && reason != QSystemTrayIcon::Trigger) {
        return;
    }
    if (!m_trayIcon.isVisible()) {
        return;
    }
    showNormal();
    raise();
    activateWindow();
    m_trayIcon.hide();
}

} // namespace talvik::shell
