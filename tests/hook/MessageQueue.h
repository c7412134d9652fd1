#pragma once

// Collects what is posted to one registered window, for the hook tests.

#include "talvik/hwi/WindowHandle.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <ostream>

namespace talvik::test {

struct PostedMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool operator==(const PostedMessage&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const PostedMessage& posted) {
    return out << std::hex << "{0x" << posted.message << ", 0x" << posted.wParam << ", 0x"
               << posted.lParam << "}" << std::dec;
}

inline PostedMessage hookKey(WPARAM wParam, LPARAM lParam = 0) {
    return PostedMessage{WM_TALVIK_HOOKKEY, wParam, lParam};
}

class CMessageQueue {
public:
    CMessageQueue()
        : m_window(RegisterMessageWindow([this](UINT message, WPARAM wParam, LPARAM lParam) {
              std::lock_guard lock(m_mutex);
              m_messages.push_back({message, wParam, lParam});
              m_arrived.notify_all();
          })) {}
    ~CMessageQueue() { UnregisterMessageWindow(m_window); }
    CMessageQueue(const CMessageQueue&) = delete;
    CMessageQueue& operator=(const CMessageQueue&) = delete;

    HWND window() const { return m_window; }

    // The next message, or nothing when none arrives within `wait`.
    std::optional<PostedMessage> next(std::chrono::milliseconds wait = std::chrono::seconds(5)) {
        std::unique_lock lock(m_mutex);
        if (!m_arrived.wait_for(lock, wait, [this] { return !m_messages.empty(); })) {
            return std::nullopt;
        }
        PostedMessage front = m_messages.front();
        m_messages.pop_front();
        return front;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_arrived;
    std::deque<PostedMessage> m_messages;
    HWND m_window;
};

} // namespace talvik::test
