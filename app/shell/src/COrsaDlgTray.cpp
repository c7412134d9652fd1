// Minimising to the notification area and coming back from it.

#include "talvik/shell/COrsaDlg.h"

#include "talvik/model/CAppState.h"
#include "talvik/text/Language.h"

namespace talvik::shell {

void COrsaDlg::setUpTray() {
    if (m_trayIcon) {
        return;
    }
    m_trayMenu = std::make_unique<QMenu>();
    m_trayIcon = std::make_unique<QSystemTrayIcon>();
    m_trayExit = m_trayMenu->addAction(QString());
    // Like Cancel: the window ends without the exit button's questions.
    connect(m_trayExit, &QAction::triggered, this, [this] {
        hideTrayIcon();
        reject();
    });
    m_trayIcon->setContextMenu(m_trayMenu.get());
    m_trayIcon->setIcon(m_hIcon);
    m_trayIcon->setToolTip(QString::fromUtf8(text::modelName(m_state.modelNumber)).left(127));
    connect(m_trayIcon.get(), &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) { trayActivated(reason); });
}

void COrsaDlg::hideTrayIcon() {
    if (m_trayIcon) {
        m_trayIcon->hide();
    }
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
    const QString exitText = QString::fromUtf8(text::textIn(m_state.language, "关闭", "Exit"));
    setUpTray();
    m_trayExit->setText(exitText);
    m_trayExit->setVisible(!exitText.isEmpty());
    m_trayIcon->show();
    hide();
}

void COrsaDlg::trayActivated(QSystemTrayIcon::ActivationReason reason) {
    // Some notification areas report a plain click and never a double-click;
    // both bring the window back.
    if (reason != QSystemTrayIcon::DoubleClick && reason != QSystemTrayIcon::Trigger) {
        return;
    }
    if (!m_trayIcon || !m_trayIcon->isVisible()) {
        return;
    }
    showNormal();
    raise();
    activateWindow();
    hideTrayIcon();
}

} // namespace talvik::shell
