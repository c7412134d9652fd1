#pragma once

// Collects what is posted to one registered window, for the hook tests. The
// thread that calls next() plays the window's own thread: it takes delivery.

#include "support/TestSupport.h"
#include "talvik/hwi/KeyboardHook.h"
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

    // The next message, or nothing when none arrives within `wait`. A hook
    // message is taken (TakeHookKey); lastWasStale() says what the hook
    // answered.
    std::optional<PostedMessage> next(std::chrono::milliseconds wait = kPatience) {
        PostedMessage front{};
        {
            std::unique_lock lock(m_mutex);
            if (!m_arrived.wait_for(lock, wait, [this] { return !m_messages.empty(); })) {
                return std::nullopt;
            }
            front = m_messages.front();
            m_messages.pop_front();
        }
        m_lastWasStale = front.message == WM_TALVIK_HOOKKEY && !TakeHookKey(m_window);
        return front;
    }

    bool lastWasStale() const { return m_lastWasStale; }

    // Messages that have arrived and were not taken yet.
    std::size_t waiting() {
        std::lock_guard lock(m_mutex);
        return m_messages.size();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_arrived;
    std::deque<PostedMessage> m_messages;
    bool m_lastWasStale = false;
    HWND m_window;
};

} // namespace talvik::test
