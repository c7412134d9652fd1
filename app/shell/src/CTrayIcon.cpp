#include "talvik/shell/CTrayIcon.h"

namespace talvik::shell {

CTrayIcon::CTrayIcon(std::function<void()> restore, std::function<void()> exit)
    : m_restore(std::move(restore)), m_exit(std::move(exit)) {}

void CTrayIcon::create() {
    m_menu = std::make_unique<QMenu>();
    m_icon = std::make_unique<QSystemTrayIcon>();
    m_exitAction = m_menu->addAction(QString());
    QObject::connect(m_exitAction, &QAction::triggered, m_menu.get(), [this] {
        hide();
        m_exit();
    });
    m_icon->setContextMenu(m_menu.get());
    QObject::connect(m_icon.get(), &QSystemTrayIcon::activated, m_icon.get(),
                     [this](QSystemTrayIcon::ActivationReason reason) { activated(reason); });
}

void CTrayIcon::show(const QIcon& icon, const QString& tip, const QString& exitText) {
    if (!m_icon) {
        create();
    }
    m_icon->setIcon(icon);
    m_icon->setToolTip(tip);
    m_exitAction->setText(exitText);
    m_exitAction->setVisible(!exitText.isEmpty());
    m_icon->show();
}

void CTrayIcon::hide() {
    if (m_icon) {
        m_icon->hide();
    }
}

void CTrayIcon::activated(QSystemTrayIcon::ActivationReason reason) {
    if (reason != QSystemTrayIcon::DoubleClick && reason != QSystemTrayIcon::Trigger) {
        return;
    }
    if (!m_icon || !m_icon->isVisible()) {
        return;
    }
    m_restore();
    hide();
}

} // namespace talvik::shell
