#pragma once

// The global keyboard hook: while a key, a combination or a macro is being
// captured, every keystroke of the desktop goes to one window as
// WM_TALVIK_HOOKKEY and to no other application.
//
// On X11 the hook is a keyboard grab on the root window, taken through the
// library's own display connection and read by the library's own thread. A
// Wayland compositor lets no client grab the desktop keyboard; there the
// capturing window forwards the key events it receives while it has the focus
// (ForwardWindowKey), and they arrive as the very same messages.
//
// Message posted to the target window for every key event:
//   wParam  virtual-key code; bit 31 set for a release, bit 30 set for a system
//           key (pressed or released while Alt is held and Ctrl is not)
//   lParam  the extended-key flag in bit 24, all other bits 0
//
// The target window takes delivery of each message with TakeHookKey, on the
// thread that handles it. The hook ends a capture by itself, releases the
// grab and posts nothing more when
//   - keys are grabbed and posted, but the target has taken none of them for
//     3 s (its thread hangs: the desktop would be left without a keyboard);
//   - neither a key nor pointer activity (NoteHookPointerActivity) has come
//     for 2 minutes (an unattended grab would keep screen lockers out).
// GetHookStatus() then says which, until UninstallHook or the next
// InstallHook; the caller should end its capture as if the user had. Without
// a grab no keyboard is held: the idle end is found at the next
// GetHookStatus or ForwardWindowKey.

#include "talvik/hwi/Export.h"
#include "talvik/hwi/WindowHandle.h"

#include <cstdint>

using LRESULT = std::intptr_t;
using DWORD = std::uint32_t;
using ULONG_PTR = std::uintptr_t;

inline constexpr UINT WM_KEYDOWN = 0x0100;
inline constexpr UINT WM_KEYUP = 0x0101;
inline constexpr UINT WM_SYSKEYDOWN = 0x0104;
inline constexpr UINT WM_SYSKEYUP = 0x0105;

inline constexpr int HC_ACTION = 0;

inline constexpr DWORD LLKHF_EXTENDED = 0x01;
inline constexpr DWORD LLKHF_ALTDOWN = 0x20;
inline constexpr DWORD LLKHF_UP = 0x80;

inline constexpr WPARAM HOOKKEY_RELEASED = 0x80000000u; // wParam bit 31
inline constexpr WPARAM HOOKKEY_SYSTEM = 0x40000000u;   // wParam bit 30
inline constexpr LPARAM HOOKKEY_EXTENDED = 0x01000000;  // lParam bit 24

// One keyboard event as the hook procedure receives it. scanCode carries the
// X keycode of the physical key (its evdev code + 8).
struct KBDLLHOOKSTRUCT {
    DWORD vkCode;
    DWORD scanCode;
    DWORD flags;
    DWORD time;
    ULONG_PTR dwExtraInfo;
};

// Starts forwarding every keystroke of the desktop to `target` and swallowing
// it. Nothing is returned: when the keyboard cannot be grabbed (no X display,
// or another client holds the keyboard) no hook is installed, IsHookActive()
// stays false and GetHookStatus() says why; the capture is still open for
// ForwardWindowKey. A second call without UninstallHook first ends the earlier
// hook, so a grab is never left behind.
TALVIK_HWI_EXPORT void InstallHook(HWND target);

// Ends the hook: releases the grab, stops the reader thread and closes the
// display connection before returning, so no message arrives afterwards. The
// stored hook and target are cleared. Harmless when no hook is installed.
TALVIK_HWI_EXPORT void UninstallHook();

// The hook procedure. `event` points to a KBDLLHOOKSTRUCT and `message` is
// WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN or WM_SYSKEYUP. Posts the event to the
// stored target and returns 1 (the keystroke is consumed); a null event posts
// nothing and returns 0. Once the capture has ended nothing is posted.
TALVIK_HWI_EXPORT LRESULT KeyBoardProc(int code, WPARAM message, LPARAM event);

enum class HookStatus {
    NotInstalled,    // no InstallHook since load or since the last UninstallHook
    Active,          // the desktop keyboard is grabbed
    NoDisplay,       // no X server reachable (no DISPLAY, as in a Wayland session without XWayland)
    KeyboardBusy,    // another client holds the keyboard
    ConnectionLost,  // the X server went away while the hook was installed
    DeliveryStalled, // ended by the hook: the target took no message for 3 s, or is gone
    IdleEnded,       // ended by the hook: no key and no pointer activity for 2 minutes
};

// Takes delivery of the oldest WM_TALVIK_HOOKKEY message posted to `window`
// and not yet taken. Call it once for each such message, on the thread that
// handles the window's messages, when it handles it (not where it is
// queued). Returns true when the message belongs to the capture in force on
// `window`; false when it is stale: posted before that capture ended (by
// UninstallHook or by the hook itself) or to an earlier capture. A stale
// keystroke must not be recorded. A message the hook did not post counts as
// one of the capture in force.
TALVIK_HWI_EXPORT bool TakeHookKey(HWND window);

// The capturing program has seen the pointer move, a button or the wheel:
// the capture is not idle. Harmless with no capture.
TALVIK_HWI_EXPORT void NoteHookPointerActivity();

// True while a grab delivers every keystroke of the desktop.
TALVIK_HWI_EXPORT bool IsHookActive();
TALVIK_HWI_EXPORT HookStatus GetHookStatus();

struct HookKey {
    DWORD vkCode; // 0 for a key without a virtual-key code
    bool extended;
};

// The virtual-key code and extended flag of a physical key given by its X
// keycode (evdev code + 8), as Qt reports it in QKeyEvent::nativeScanCode()
// on both X11 and Wayland.
TALVIK_HWI_EXPORT HookKey TranslateKeycode(unsigned keycode);

// For the capturing window's own key events: hands one of them to the hook,
// which tracks it and posts it to the target exactly like a grabbed keystroke.
// The window may forward every key event it gets while capturing: a keystroke
// reaches either the grab or the focused window, never both. This is what
// captures on Wayland, and under X11 when the grab failed. A held key should
// arrive as repeated presses only, as it does from the grab: Qt reports each
// repeat as a release and a press, so leave out releases marked as
// auto-repeat. Returns false when no capture is open, the capture has ended
// or the key has no virtual-key code.
TALVIK_HWI_EXPORT bool ForwardWindowKey(unsigned keycode, bool pressed);

// Whether the hook has seen this key pressed and not yet released (including
// keys held down when the capture started). VK_SHIFT, VK_CONTROL and VK_MENU
// (16, 17, 18) are down while either side is. Always false with no capture.
TALVIK_HWI_EXPORT bool HookKeyIsDown(int virtualKey);
