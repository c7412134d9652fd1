#include "talvik/jobs/CDeviceWorkerSlot.h"

namespace talvik::jobs {

CDeviceWorkerSlot::~CDeviceWorkerSlot() {
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

bool CDeviceWorkerSlot::busy() const {
    std::lock_guard lock(m_mutex);
    return m_running;
}

bool CDeviceWorkerSlot::start(std::function<void()> work, const std::function<void()>& prepare) {
    std::lock_guard lock(m_mutex);
    if (m_running) {
        return false;
    }
    if (prepare) {
        prepare();
    }
    // The previous worker has done everything but return.
    if (m_thread.joinable()) {
        m_thread.join();
    }
    m_running = true;
    m_thread = std::thread([this, work = std::move(work)] {
        work();
        workerEnded();
    });
    return true;
}

bool CDeviceWorkerSlot::runIfFree(const std::function<void()>& step) {
    std::lock_guard lock(m_mutex);
    if (m_running) {
        return false;
    }
    step();
    return true;
}

void CDeviceWorkerSlot::workerEnded() {
    std::vector<HWND> waiting;
    {
        std::lock_guard lock(m_mutex);
        m_running = false;
        waiting.swap(m_waiting);
    }
    m_freed.notify_all();
    for (const HWND window : waiting) {
        PostMessageW(window, WM_TALVIK_WORKERFREE, 0, 0);
    }
}

void CDeviceWorkerSlot::notifyWhenFree(HWND window) {
    {
        std::lock_guard lock(m_mutex);
        if (m_running) {
            m_waiting.push_back(window);
            return;
        }
    }
    PostMessageW(window, WM_TALVIK_WORKERFREE, 0, 0);
}

void CDeviceWorkerSlot::waitUntilFree() {
    std::unique_lock lock(m_mutex);
    m_freed.wait(lock, [this] { return !m_running; });
}

} // namespace talvik::jobs
