#pragma once

// A keyboard played by the test on the far end of a SOCK_SEQPACKET pair: it
// answers with replies queued in advance and keeps every report the library
// writes, so transfers run through the real descriptor transport.

#include "Frames.h"
#include "KeyboardUtil.h"

#include "talvik/hwi/WindowHandle.h"

#include <cstdint>
#include <future>
#include <mutex>
#include <poll.h>
#include <sys/socket.h>
#include <vector>

namespace talvik::hwi::test {

class CScriptedKeyboard {
public:
    CScriptedKeyboard() {
        int fds[2] = {-1, -1};
        if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, fds) == 0) {
            m_keyboard.reset(fds[1]);
        }
        m_util =
            std::make_unique<COrsaUtil>(std::make_unique<CHidrawChannel>(CFileDescriptor(fds[0])));
    }

    COrsaUtil& util() { return *m_util; }

    // A reply the library will read, as the 64 payload bytes hidraw delivers.
    void reply(const Payload& payload) {
        ::send(m_keyboard.get(), payload.data(), payload.size(), 0);
    }

    // The keyboard goes away: queued replies can still be read, then reads fail.
    void unplug() { m_keyboard.reset(); }
    // The same, once `reports` reports have come in during run().
    void unplugAfter(std::size_t reports) { m_unplugAfter = reports; }

    // Runs `operation` on a thread of its own while this thread takes in what it
    // writes, so that a long transfer never fills the socket.
    template <typename Operation> auto run(Operation operation) {
        auto result = std::async(std::launch::async, operation);
        while (result.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
            pollfd p{m_keyboard.get(), POLLIN, 0};
            if (::poll(&p, 1, 5) > 0) {
                drain();
            }
            if (m_received.size() >= m_unplugAfter) {
                unplug();
            }
        }
        drain();
        return result.get();
    }

    // Every report written so far, whole (report ID first).
    const std::vector<std::vector<std::uint8_t>>& received() const { return m_received; }

private:
    void drain() {
        std::vector<std::uint8_t> buffer(256);
        for (;;) {
            ssize_t n = ::recv(m_keyboard.get(), buffer.data(), buffer.size(), MSG_DONTWAIT);
            if (n <= 0 || !m_keyboard.valid()) {
                return;
            }
            m_received.emplace_back(buffer.begin(), buffer.begin() + n);
        }
    }

    CFileDescriptor m_keyboard;
    std::size_t m_unplugAfter = SIZE_MAX;
    std::unique_ptr<COrsaUtil> m_util;
    std::vector<std::vector<std::uint8_t>> m_received;
};

// A window whose posted messages are kept in order.
class CMessageLog {
public:
    CMessageLog()
        : m_window(RegisterMessageWindow([this](UINT message, WPARAM wParam, LPARAM lParam) {
              std::lock_guard lock(m_mutex);
              m_messages.push_back({message, wParam, lParam});
          })) {}
    ~CMessageLog() { UnregisterMessageWindow(m_window); }
    CMessageLog(const CMessageLog&) = delete;
    CMessageLog& operator=(const CMessageLog&) = delete;

    HWND window() const { return m_window; }

    // The wParam of every progress message, in order.
    std::vector<WPARAM> progress() const {
        std::lock_guard lock(m_mutex);
        std::vector<WPARAM> values;
        for (const auto& m : m_messages) {
            if (m.message == WM_TALVIK_PROGRESS && m.lParam == 0) {
                values.push_back(m.wParam);
            }
        }
        return values;
    }

private:
    struct CMessage {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    HWND m_window;
    mutable std::mutex m_mutex;
    std::vector<CMessage> m_messages;
};

inline Payload payloadOf(std::initializer_list<std::uint8_t> head) {
    Payload payload{};
    std::copy(head.begin(), head.end(), payload.begin());
    return payload;
}

} // namespace talvik::hwi::test
