#pragma once

// While a key capture runs on Wayland, asks the compositor to hand its own
// keyboard shortcuts (Alt+Tab, Super, the workspace keys) to the capturing
// window, so that they are recorded rather than acted on: the
// keyboard-shortcuts-inhibit protocol, where the compositor offers it. The
// compositor decides, and may take the inhibition back at any time (the
// window lost the keyboard focus, the user refused).
//
// Qt 6.4 has no public access to the Wayland objects this needs; the
// display, the seat and the window's surface come from Qt's platform native
// interface. The inhibitor uses an event queue of its own, so that Qt's
// queue never sees its objects.

struct wl_display;
struct wl_event_queue;
struct wl_registry;
struct zwp_keyboard_shortcuts_inhibit_manager_v1;
struct zwp_keyboard_shortcuts_inhibitor_v1;

class QWindow;

namespace talvik::shell {

class CShortcutInhibitor {
public:
    enum class EState {
        Unavailable, // not on Wayland, or the compositor does not offer the protocol
        Released,    // nothing asked for
        Inactive,    // asked for; the compositor does not grant it (now)
        Active,      // the compositor passes its shortcuts to the window
    };

    CShortcutInhibitor() = default;
    ~CShortcutInhibitor();
    CShortcutInhibitor(const CShortcutInhibitor&) = delete;
    CShortcutInhibitor& operator=(const CShortcutInhibitor&) = delete;

    // Asks for the shortcuts of the desktop to go to `window`, and waits for
    // the compositor's first answer.
    EState inhibit(QWindow* window);
    // Gives the shortcuts back to the desktop.
    void release();
    // The state after the compositor's latest answer that has arrived.
    EState state();

    // The protocol's events.
    void onActive() { m_active = true; }
    void onInactive() { m_active = false; }
    void onGlobal(wl_registry* registry, unsigned name, const char* interface);

private:
    bool connect();

    wl_display* m_display = nullptr;
    wl_event_queue* m_queue = nullptr;
    wl_registry* m_registry = nullptr;
    zwp_keyboard_shortcuts_inhibit_manager_v1* m_manager = nullptr;
    zwp_keyboard_shortcuts_inhibitor_v1* m_inhibitor = nullptr;
    bool m_tried = false;
    bool m_active = false;
};

} // namespace talvik::shell
