#pragma once

// The keyboard captures of one skinned window: a single key, a combination, a
// macro or an emulation recording. It starts and stops the keyboard hook on
// the window's handle and keeps it safe for the desktop.
//
// Use, in a window derived from CSkinWindow:
//
//   CKeyCapture m_capture{*this, [this](HookStatus why) { onCaptureEndedByHook(why); }};
//
//   - Start a capture with m_capture.start() where the window would call
//     InstallHook(handle()), and stop it with m_capture.stop() where it would
//     call UninstallHook() (the click that ends the capture); do not call
//     those two yourself. stop() is harmless when nothing runs; the
//     destructor stops a running capture.
//   - Keystrokes arrive as before, as WM_TALVIK_HOOKKEY in onWindowMessage.
//     Nothing else is needed for them: CSkinWindow takes delivery of each one
//     and keystrokes of a capture that is over never get there.
//   - The callback runs when the hook has ended the capture by itself, with
//     `why` HookStatus::DeliveryStalled (the window's thread did not handle
//     the keys for 3 s, so the desktop got its keyboard back) or
//     HookStatus::IdleEnded (no key and no pointer activity for 2 minutes).
//     The hook is already uninstalled and running() is false when it runs.
//     End the capture there as a click would (clear the capture flag, reset
//     the Record button, write back what was recorded; the stop() in that
//     path does nothing now) and tell the user noticeText(why,
//     language()), for example in a message box. It runs from a timer of
//     the window's thread, so a modal message box is fine.
//   - Where no grab is possible (Wayland, another program holds the keyboard,
//     the X server went away) the keys typed into the program's own windows
//     are the capture: while a capture runs, every key event of the program
//     goes to the hook instead of to its widget (Escape does not close the
//     dialog) and comes back as WM_TALVIK_HOOKKEY like a grabbed key.
//     GetHookStatus() says whether the desktop keyboard is grabbed.
//   - Pointer events in the program's windows during a capture count as use,
//     so a user working with the mouse is not cut off after 2 minutes.

#include "talvik/hwi/KeyboardHook.h"
#include "talvik/shell/CShortcutInhibitor.h"
#include "talvik/text/Language.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <chrono>
#include <functional>
#include <string_view>

class QKeyEvent;

namespace talvik::shell {

class CSkinWindow;

class CKeyCapture : public QObject {
public:
    using EndedByHook = std::function<void(HookStatus why)>;

    // How often a running capture looks whether the hook has ended it.
    static constexpr std::chrono::milliseconds kPollInterval{200};

    CKeyCapture(CSkinWindow& window, EndedByHook onEndedByHook);
    ~CKeyCapture() override;
    CKeyCapture(const CKeyCapture&) = delete;
    CKeyCapture& operator=(const CKeyCapture&) = delete;

    // Installs the hook for the window; a running capture starts over.
    void start();
    // Uninstalls the hook if this capture runs.
    void stop();
    bool running() const { return m_running; }
    // On Wayland, whether the compositor passes its own shortcuts to the
    // capturing window while the capture runs (Unavailable elsewhere).
    CShortcutInhibitor::EState desktopShortcuts() { return m_inhibitor.state(); }

    // What to tell the user after the hook ended a capture, in `language`;
    // empty for any other status.
    static QString noticeText(HookStatus why, text::Language language);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void checkHook();
    void notePointer();
    static void forwardKey(const QKeyEvent& event);

    CSkinWindow& m_window;
    EndedByHook m_onEndedByHook;
    QTimer m_poll;
    QElapsedTimer m_sincePointerNoted;
    bool m_running = false;
    CShortcutInhibitor m_inhibitor;
};

} // namespace talvik::shell
