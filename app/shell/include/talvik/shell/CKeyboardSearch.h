#pragma once

// Start-up's search for the keyboard: the detection and its retries, with a
// small window that says what is going on from the first failed attempt and
// lets the user quit. The retries keep their timing; the waits between them
// keep the window alive.

#include "talvik/shell/COrsaApp.h"

#include <QEventLoop>

#include <memory>

namespace talvik::shell {

class COrsaDialogWaitKeyboard;

class CKeyboardSearch {
public:
    CKeyboardSearch(COrsaApp& app, const CStartupHooks& hooks);
    ~CKeyboardSearch();
    CKeyboardSearch(const CKeyboardSearch&) = delete;
    CKeyboardSearch& operator=(const CKeyboardSearch&) = delete;

    // The model number found, 0 for none. The window is gone when this returns.
    int run();
    // The user chose to quit instead of waiting.
    bool quitRequested() const { return m_quit; }

private:
    bool beforeRetry(int retry);
    void openWindow();
    void wait(int ms);

    COrsaApp& m_app;
    const CStartupHooks& m_hooks;
    std::unique_ptr<COrsaDialogWaitKeyboard> m_window;
    bool m_windowTried = false;
    bool m_quit = false;
    QEventLoop* m_waiting = nullptr; // the wait in progress, ended early by Quit
};

} // namespace talvik::shell
