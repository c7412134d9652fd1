#include "hook/CaptureWatch.h"

#include "WindowRegistry.h"

#include <algorithm>
#include <utility>

namespace talvik::hwi {

void CCaptureWatch::begin(HWND target, TimePoint now) {
    std::lock_guard lock(m_mutex);
    ++m_capture;
    m_target = target;
    m_live = true;
    m_endedBy.reset();
    m_lastActivity = now;
    // A window destroyed with messages on their way never takes them.
    std::erase_if(m_windows, [](const auto& entry) { return !isMessageWindow(entry.first); });
    m_windows[target];
}

void CCaptureWatch::finish() {
    std::lock_guard lock(m_mutex);
    m_live = false;
    m_endedBy.reset();
    HWND target = std::exchange(m_target, 0);
    forgetIfDone(m_windows.find(target));
}

bool CCaptureWatch::live() const {
    std::lock_guard lock(m_mutex);
    return m_live;
}

std::optional<HookStatus> CCaptureWatch::endedBy() const {
    std::lock_guard lock(m_mutex);
    return m_endedBy;
}

bool CCaptureWatch::post(TimePoint now, const std::function<bool(HWND target)>& send) {
    // Sending under the lock keeps the order of m_windows' queues the order of
    // the window's own queue, even with two threads posting.
    std::lock_guard lock(m_mutex);
    if (!m_live) {
        return false;
    }
    if (!send(m_target)) {
        // Handles are never reused: nobody will ever take these keys.
        m_live = false;
        m_endedBy = HookStatus::DeliveryStalled;
        return false;
    }
    m_windows[m_target].onTheirWay.push_back(Posted{m_capture, now});
    return true;
}

bool CCaptureWatch::take(HWND window, TimePoint now) {
    std::lock_guard lock(m_mutex);
    auto it = m_windows.find(window);
    if (it == m_windows.end()) {
        return false;
    }
    Window& w = it->second;
    w.lastTaken = now;
    std::uint64_t capture = m_capture;
    if (!w.onTheirWay.empty()) {
        capture = w.onTheirWay.front().capture;
        w.onTheirWay.pop_front();
    }
    const bool current = m_live && window == m_target && capture == m_capture;
    forgetIfDone(it);
    return current;
}

void CCaptureWatch::noteActivity(TimePoint now) {
    std::lock_guard lock(m_mutex);
    if (m_live) {
        m_lastActivity = std::max(m_lastActivity, now);
    }
}

std::optional<CCaptureWatch::Duration> CCaptureWatch::check(TimePoint now, bool grabbed) {
    std::lock_guard lock(m_mutex);
    if (!m_live) {
        return std::nullopt;
    }
    TimePoint next = m_lastActivity + kIdleLimit;
    const Window& target = m_windows[m_target];
    if (grabbed && !target.onTheirWay.empty()) {
        // A window that takes its messages late but steadily is alive; only
        // one that has taken nothing for the whole limit has stopped.
        TimePoint waitingSince = std::max(target.onTheirWay.front().at, target.lastTaken);
        TimePoint limit = waitingSince + kDeliveryLimit;
        if (now >= limit) {
            m_live = false;
            m_endedBy = HookStatus::DeliveryStalled;
            return std::nullopt;
        }
        next = std::min(next, limit);
    }
    if (now >= m_lastActivity + kIdleLimit) {
        m_live = false;
        m_endedBy = HookStatus::IdleEnded;
        return std::nullopt;
    }
    return next - now;
}

void CCaptureWatch::forgetIfDone(std::map<HWND, Window>::iterator it) {
    if (it != m_windows.end() && it->first != m_target && it->second.onTheirWay.empty()) {
        m_windows.erase(it);
    }
}

} // namespace talvik::hwi
