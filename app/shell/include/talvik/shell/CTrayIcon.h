#pragma once

// The main window's icon in the notification area while the window is hidden
// there, and its menu's one item. Neither exists before the window first
// hides there: most sessions never do, and making them costs start-up a
// connection to the desktop's notification area.

#include <QAction>
#include <QIcon>
#include <QMenu>
#include <QSystemTrayIcon>

#include <functional>
#include <memory>

namespace talvik::shell {

class CTrayIcon {
public:
    // `restore` brings the window back, `exit` ends it from the menu; the
    // icon has gone before either runs.
    CTrayIcon(std::function<void()> restore, std::function<void()> exit);

    // Shows the icon with `tip`; the menu's item reads `exitText`, and a menu
    // with an empty text shows nothing.
    void show(const QIcon& icon, const QString& tip, const QString& exitText);
    void hide();
    // A click on the icon. Some notification areas report a plain click and
    // never a double-click: both bring the window back.
    void activated(QSystemTrayIcon::ActivationReason reason);

    const QSystemTrayIcon* icon() const { return m_icon.get(); }
    QAction* exitAction() const { return m_exitAction; }

private:
    void create();

    std::function<void()> m_restore;
    std::function<void()> m_exit;
    // The menu outlives the icon that shows it.
    std::unique_ptr<QMenu> m_menu;
    std::unique_ptr<QSystemTrayIcon> m_icon;
    QAction* m_exitAction = nullptr;
};

} // namespace talvik::shell
