#include "talvik/hwi/KeyboardHook.h"

#include "hook/CaptureWatch.h"
#include "hook/HookClock.h"
#include "hook/KeyState.h"
#include "hook/KeyTable.h"
#include "hook/X11KeyboardGrab.h"

#include <chrono>
#include <memory>
#include <mutex>
#include <optional>

namespace talvik::hwi {
namespace {

// The hook's state for the whole process: which hook is installed, where its
// keystrokes go and what keys it has seen held down. One capture at a time
// exists on a desktop, so one record serves every window of the program.
class CHookData {
public:
    CHookData() {
        // The reader thread posts through the window registry until
        // uninstall() joins it, and uninstall() also runs when this record is
        // destroyed at exit: the registry must be created first so that it is
        // destroyed last. Registering a window creates it.
        UnregisterMessageWindow(RegisterMessageWindow(nullptr));
    }
    ~CHookData() { uninstall(); }
    CHookData(const CHookData&) = delete;
    CHookData& operator=(const CHookData&) = delete;

    void install(HWND target) {
        std::lock_guard lock(m_mutex);
        // The caller should have uninstalled; if not, the earlier grab ends
        // here instead of staying in force with nobody left to release it.
        m_hook.reset();
        m_capturing = true;
        m_watch.begin(target, hookNow());
        CX11KeyboardGrab::Opened opened = CX11KeyboardGrab::open();
        m_outcome = opened.outcome;
        if (!opened.grab) {
            m_keys.clear();
            return;
        }
        m_keys.reset(opened.grab->keysDownAtGrab());
        m_hook = std::move(opened.grab);
        m_hook->startReading([this](unsigned keycode, bool pressed,
                                    DWORD time) { return grabbedKey(keycode, pressed, time); },
                             [this] { return watchGrab(); });
    }

    void uninstall() {
        std::lock_guard lock(m_mutex);
        m_hook.reset(); // joins the reader: nothing is posted after this
        m_watch.finish();
        m_capturing = false;
        m_keys.clear();
    }

    bool forward(unsigned keycode, bool pressed) {
        std::lock_guard lock(m_mutex);
        if (!m_capturing) {
            return false;
        }
        auto now = hookNow();
        if (!m_watch.check(now, grabbedLocked())) {
            return false;
        }
        m_watch.noteActivity(now);
        auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch());
        return deliver(keycode, pressed, static_cast<DWORD>(ms.count()));
    }

    HookStatus status() {
        std::lock_guard lock(m_mutex);
        if (!m_capturing) {
            return HookStatus::NotInstalled;
        }
        // The reader keeps the limits of a grab itself; this catches the idle
        // end where there is no reader, and a clock that was moved on.
        if (!m_watch.check(hookNow(), grabbedLocked()) && m_hook) {
            m_hook->recheck();
        }
        if (std::optional<HookStatus> endedBy = m_watch.endedBy()) {
            return *endedBy;
        }
        if (m_hook) {
            return m_hook->lost() ? HookStatus::ConnectionLost : HookStatus::Active;
        }
        return m_outcome == CX11KeyboardGrab::Outcome::NoDisplay ? HookStatus::NoDisplay
                                                                 : HookStatus::KeyboardBusy;
    }

    bool post(WPARAM value, LPARAM extended) {
        return m_watch.post(hookNow(), [&](HWND target) {
            return PostMessageW(target, WM_TALVIK_HOOKKEY, value, extended);
        });
    }

    bool take(HWND window) { return m_watch.take(window, hookNow()); }
    void notePointer() { m_watch.noteActivity(hookNow()); }
    bool keyIsDown(int virtualKey) const { return m_keys.isDown(virtualKey); }

private:
    // The reader thread runs these two without m_mutex, which uninstall()
    // holds while joining that thread.
    bool grabbedKey(unsigned keycode, bool pressed, DWORD time) {
        auto now = hookNow();
        if (!m_watch.check(now, true)) {
            return false;
        }
        m_watch.noteActivity(now);
        deliver(keycode, pressed, time);
        return m_watch.live();
    }

    std::optional<std::chrono::milliseconds> watchGrab() {
        std::optional<CCaptureWatch::Duration> next = m_watch.check(hookNow(), true);
        if (!next) {
            return std::nullopt;
        }
        return std::chrono::ceil<std::chrono::milliseconds>(*next);
    }

    bool grabbedLocked() const { return m_hook && !m_hook->lost() && !m_hook->released(); }

    bool deliver(unsigned keycode, bool pressed, DWORD time) {
        HookKey key = translateKeycode(keycode);
        if (key.vkCode == 0) {
            // Still swallowed by the grab, but a code the dialog cannot name
            // would only be taken for a real key.
            return false;
        }
        HookEvent hookEvent = m_keys.apply(key, keycode, pressed, time);
        KeyBoardProc(HC_ACTION, hookEvent.message, reinterpret_cast<LPARAM>(&hookEvent.event));
        return true;
    }

    mutable std::mutex m_mutex;               // serialises install, uninstall and forwarding
    std::unique_ptr<CX11KeyboardGrab> m_hook; // the hook handle; null when none
    bool m_capturing = false;
    CX11KeyboardGrab::Outcome m_outcome = CX11KeyboardGrab::Outcome::NoDisplay;
    CCaptureWatch m_watch; // the target, what is on its way to it, and the safety ends
    CHookKeyState m_keys;
};

CHookData& hookData() {
    static CHookData data;
    return data;
}

WPARAM messageBits(WPARAM message) {
    switch (message) {
    case WM_KEYUP:
        return HOOKKEY_RELEASED;
    case WM_SYSKEYDOWN:
        return HOOKKEY_SYSTEM;
    case WM_SYSKEYUP:
        return HOOKKEY_RELEASED | HOOKKEY_SYSTEM;
    default:
        return 0;
    }
}

} // namespace
} // namespace talvik::hwi

using talvik::hwi::hookData;

void InstallHook(HWND target) {
    hookData().install(target);
}

void UninstallHook() {
    hookData().uninstall();
}

LRESULT KeyBoardProc(int /*code: every event is forwarded, whatever it says*/, WPARAM message,
                     LPARAM event) {
    const auto* keyEvent = reinterpret_cast<const KBDLLHOOKSTRUCT*>(event);
    if (keyEvent == nullptr) {
        return 0;
    }
    WPARAM value = keyEvent->vkCode | talvik::hwi::messageBits(message);
    LPARAM extended = (keyEvent->flags & LLKHF_EXTENDED) != 0 ? HOOKKEY_EXTENDED : 0;
    hookData().post(value, extended);
    return 1;
}

bool IsHookActive() {
    return hookData().status() == HookStatus::Active;
}

HookStatus GetHookStatus() {
    return hookData().status();
}

HookKey TranslateKeycode(unsigned keycode) {
    return talvik::hwi::translateKeycode(keycode);
}

bool ForwardWindowKey(unsigned keycode, bool pressed) {
    return hookData().forward(keycode, pressed);
}

bool TakeHookKey(HWND window) {
    return hookData().take(window);
}

void NoteHookPointerActivity() {
    hookData().notePointer();
}

bool HookKeyIsDown(int virtualKey) {
    return hookData().keyIsDown(virtualKey);
}
