#pragma once

// What the thread that started a device job keeps in hand: it can cancel the
// job, and it decides how the job's waits pass.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>

namespace talvik::jobs {

class CJobControl {
public:
    // Replaces a wait; it need not return early on cancel().
    using Sleep = std::function<void(std::chrono::milliseconds)>;

    // Real waits that cancel() cuts short.
    CJobControl() = default;
    // Waits through `sleep` instead: tests, and tools with no one to show a wait to.
    explicit CJobControl(Sleep sleep) : m_sleep(std::move(sleep)) {}
    CJobControl(const CJobControl&) = delete;
    CJobControl& operator=(const CJobControl&) = delete;

    // From any thread. The job makes no further library call after the one
    // in progress, and a wait in progress ends.
    void cancel();
    bool cancelled() const { return m_cancelled.load(std::memory_order_acquire); }

    // Lets `duration` pass; false (at once, or when cut short) once cancelled.
    bool wait(std::chrono::milliseconds duration);

private:
    Sleep m_sleep;
    std::atomic<bool> m_cancelled{false};
    std::mutex m_mutex;
    std::condition_variable m_woken;
};

} // namespace talvik::jobs
