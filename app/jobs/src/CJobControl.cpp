#include "talvik/jobs/CJobControl.h"

namespace talvik::jobs {

void CJobControl::cancel() {
    {
        std::lock_guard lock(m_mutex);
        m_cancelled.store(true, std::memory_order_release);
    }
    m_woken.notify_all();
}

bool CJobControl::wait(std::chrono::milliseconds duration) {
    if (cancelled()) {
        return false;
    }
    if (m_sleep) {
        m_sleep(duration);
        return !cancelled();
    }
    std::unique_lock lock(m_mutex);
    return !m_woken.wait_for(lock, duration, [this] { return cancelled(); });
}

} // namespace talvik::jobs
