#pragma once

#include "talvik/hwi/KeyboardHook.h"

#include <bitset>
#include <mutex>

namespace talvik::hwi {

// One key event turned into what the hook procedure receives.
struct HookEvent {
    UINT message; // WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN or WM_SYSKEYUP
    KBDLLHOOKSTRUCT event;
};

// The keys held down, as learnt from the hook's own events: it stands in for
// the system's key state, which a grab does not update for us. Thread-safe: the
// reader thread feeds it while the dialog asks.
class CHookKeyState {
public:
    // Records the event and says how the system would report it: a key is a
    // system key when, after the event, Alt is held and Ctrl is not, so Alt
    // itself presses as a system key and releases as a plain one.
    HookEvent apply(HookKey key, unsigned keycode, bool pressed, DWORD time);

    // Starts over from the keys that are physically down.
    void reset(const std::bitset<256>& keycodesDown);
    void clear();

    bool isDown(int virtualKey) const;

private:
    bool downLocked(DWORD virtualKey) const;

    mutable std::mutex m_mutex;
    std::bitset<256> m_down; // by virtual-key code
};

} // namespace talvik::hwi
