#pragma once

// The one place where the program starts a thread that talks to the keyboard.
//
// The library serves one transfer at a time, and a job's worker may outlive
// the dialog that started it: Cancel closes the dialog at once, but the
// library call in progress runs to its end. So every device worker of the
// program - the progress dialog's jobs, the firmware download - starts here,
// and a second one cannot start while an earlier one still runs.
//
// How a dialog uses it, on the user-interface thread:
//
//     const bool started = slot.start(
//         [job] { job->run(); },                  // on the worker thread
//         [&] { job->takeFromModel(state); });    // here, first
//     if (!started) {
//         // tell the user, keep the window responsive, and ask to hear:
//         slot.notifyWhenFree(handle());  // WM_TALVIK_WORKERFREE arrives later
//     }
//
// `prepare` runs only when no worker runs, and no worker can start while it
// does, so it may use the device object (fill the library's key table, say).
// The work itself must not touch the configuration model: a worker left
// running after its dialog closed would race the user's edits (see
// CDeviceJob for the split between work on the model and work on the device).

#include "talvik/hwi/WindowHandle.h"

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace talvik::jobs {

// Posted to each window that asked with notifyWhenFree once no worker runs.
inline constexpr UINT WM_TALVIK_WORKERFREE = WM_USER + 105;

class CDeviceWorkerSlot {
public:
    // The program has one, made by main() after the application state (whose
    // device object its workers use) and ended before it; every dialog that
    // starts a worker is handed that one.
    CDeviceWorkerSlot() = default;
    // Waits for a worker that still runs: it may be using the device object,
    // which must outlive it.
    ~CDeviceWorkerSlot();
    CDeviceWorkerSlot(const CDeviceWorkerSlot&) = delete;
    CDeviceWorkerSlot& operator=(const CDeviceWorkerSlot&) = delete;

    // True while a worker runs, also one whose window has closed.
    bool busy() const;

    // When no worker runs: calls `prepare` on this thread, then runs `work`
    // on a new thread at normal priority, and returns true. While a worker
    // runs: does neither and returns false.
    bool start(std::function<void()> work, const std::function<void()>& prepare = {});

    // When no worker runs: calls `step` on this thread, during which no worker
    // can start, and returns true. While a worker runs: false, `step` not
    // called. For what uses the device object outside a job: closing and
    // opening the connection again after the keyboard went away.
    bool runIfFree(const std::function<void()>& step);

    // Posts WM_TALVIK_WORKERFREE to `window` once no worker runs, at once if
    // none does. A window that closes first is simply not reached.
    void notifyWhenFree(HWND window);

    // Blocks until no worker runs.
    void waitUntilFree();

private:
    void workerEnded();

    mutable std::mutex m_mutex;
    std::condition_variable m_freed;
    bool m_running = false;
    std::vector<HWND> m_waiting;
    std::thread m_thread;
};

} // namespace talvik::jobs
