#pragma once

// The main window: the picture of the keyboard with its 87 keys, the command
// buttons, the layer switch, the legend of assignment kinds and the
// information box about the keyboard and the key under the pointer.

#include "talvik/shell/CInfoBox.h"
#include "talvik/shell/CKeyboardLink.h"
#include "talvik/shell/CSkinWindow.h"

#include <QColor>
#include <QFileSystemWatcher>
#include <QIcon>
#include <QSystemTrayIcon>
#include <QTimer>

#include <array>
#include <functional>

class CAppState;

namespace talvik::shell {

class COrsaApp;

class COrsaDlg : public CSkinWindow {
public:
    static constexpr int kElementCount = 124;
    // How often the window checks that the keyboard is still there.
    static constexpr int kDevicePollMs = 1000;

    COrsaDlg(COrsaApp& app, CAppState& state, QWidget* parent = nullptr);
    ~COrsaDlg() override;

    // Replaces how the window reaches the keyboard and how it shows messages.
    void setKeyboardLink(CKeyboardLink link) { m_link = std::move(link); }
    void setMessageSink(std::function<void(const QString&)> sink) { m_message = std::move(sink); }
    // Yes/No questions: true for Yes.
    void setQuestionSink(std::function<bool(const QString& caption, const QString& text)> sink) {
        m_question = std::move(sink);
    }

    // The initialisation steps: connect, check the version, shape, scale and
    // place the window, fill and scale the table, reset the configuration.
    // False (after telling the user) when the keyboard cannot be used; the
    // window must not run then. An empty `screen` means the primary screen.
    bool initialise(QSize screen = {});

    // The information header for the current language and statistics.
    QString infoHeader();
    // The details appended for the key with number `key`.
    QString keyDetails(int key) const;
    const CInfoBox& infoBox() const { return m_info; }
    const std::array<QColor, 9>& modeColors() const { return m_modeColors; }

    // Runs the command of element id `id` as a click would.
    void runCommand(int id, int index);
    // Checks that the keyboard is still there; when not, says so and ends the window.
    void checkDevice();

protected:
    std::string languageTag() const override;
    void beforeElements() override;
    void afterElements() override;
    void paintElement(QPainter& p, SkinElement& e, const SkinRect& r) override;
    void onElementClicked(int index) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void fillElements();
    void refreshActive();
    void drawMarker(QPainter& p, const SkinElement& e, const SkinRect& r);
    int modeOf(int key, int level) const;
    void switchLanguage(int index);
    void switchLayer(int index);
    void exitProgram();
    void watchDevices();
    // Why the found keyboard does not answer, for the user.
    QString unusableKeyboardMessage() const;

    COrsaApp& m_app;
    CAppState& m_state;
    std::array<QColor, 9> m_modeColors;
    QSystemTrayIcon m_trayIcon;
    CInfoBox m_info;
    QIcon m_hIcon;
    CKeyboardLink m_link;
    std::function<void(const QString&)> m_message;
    std::function<bool(const QString&, const QString&)> m_question;
    QString m_infoText; // built while painting, shown when the paint ends
    QTimer m_devicePoll;
    QFileSystemWatcher m_devWatch;
    bool m_keyboardGone = false;
};

} // namespace talvik::shell
