#pragma once

// Window handles and posted messages.
//
// A window handle is an opaque number handed out by a small process-wide
// registry. A window registers a delivery function and gets its handle; posting
// to the handle queues the message through that function. Posting to a handle
// that was never issued or whose window has gone is a harmless no-op that
// returns false, so a worker thread can never reach a destroyed window.

#include "talvik/hwi/Export.h"

#include <cstdint>
#include <functional>

using HWND = std::uintptr_t; // 0 is the null handle
using UINT = unsigned int;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;

inline constexpr UINT WM_USER = 0x0400;
// The messages that travel between the library, the worker threads and the windows.
inline constexpr UINT WM_TALVIK_NOTIFYICON = WM_USER + 101; // notification-area icon callback
inline constexpr UINT WM_TALVIK_HOOKKEY = WM_USER + 102;    // a keystroke from the keyboard hook
inline constexpr UINT WM_TALVIK_PROGRESS = WM_USER + 103;   // progress of a transfer
inline constexpr UINT WM_TALVIK_JOBDONE = WM_USER + 104;    // a device job has ended

// Receives the messages posted to one window. It runs on the posting thread
// while the registry is locked: it must only queue the message (for example
// with QCoreApplication::postEvent) and must not call back into the registry.
using MessageSink = std::function<void(UINT message, WPARAM wParam, LPARAM lParam)>;

// Issues a new handle (never 0, never reused during the process) for `sink`.
TALVIK_HWI_EXPORT HWND RegisterMessageWindow(MessageSink sink);

// Withdraws the handle. When this returns no delivery to it is running and none
// will start; later posts to it return false. Unknown handles are ignored.
TALVIK_HWI_EXPORT void UnregisterMessageWindow(HWND window);

// Queues a message for the window; returns false for the null handle and for a
// handle that is not registered. Safe from any thread.
TALVIK_HWI_EXPORT bool PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
