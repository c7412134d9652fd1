#include "KeyboardUtil.h"

#include "Protocol.h"

#include <array>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace talvik::hwi;

CKeyboardUtil::CKeyboardUtil(std::unique_ptr<CHidChannel> channel)
    : m_channel(std::move(channel)) {}

CKeyboardUtil::~CKeyboardUtil() = default;

bool CKeyboardUtil::isOpen() const {
    return m_channel && m_channel->fd() >= 0;
}

int CKeyboardUtil::openError() const {
    return m_channel ? m_channel->openError() : ENODEV;
}

bool CKeyboardUtil::writeReport(const unsigned char* report, unsigned length) {
    if (!isOpen() || report == nullptr) {
        return false;
    }
    // A socket (the simulated keyboard) whose peer has gone must fail the
    // write like an unplugged hidraw node does, not raise SIGPIPE.
    ssize_t written;
    do {
        written = ::send(m_channel->fd(), report, length, MSG_NOSIGNAL);
        if (written < 0 && errno == ENOTSOCK) {
            written = ::write(m_channel->fd(), report, length);
        }
    } while (written < 0 && errno == EINTR);
    return written >= 0;
}

namespace {

// Waits until the descriptor is readable or the deadline passes. POLLHUP and
// POLLERR mean the device went away.
bool waitReadable(int fd, std::chrono::steady_clock::time_point deadline) {
    for (;;) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        // Round up, so a wait of a few microseconds still polls once.
        int waitMs = left.count() < 0 ? 0 : static_cast<int>(left.count()) + 1;
        pollfd p{fd, POLLIN, 0};
        int ready = ::poll(&p, 1, waitMs);
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready <= 0) {
            return false;
        }
        return (p.revents & POLLIN) != 0;
    }
}

} // namespace

bool CKeyboardUtil::readReport(unsigned char* payload, unsigned* length, int timeout) {
    if (!isOpen() || payload == nullptr || length == nullptr) {
        return false;
    }
    auto deadline = std::chrono::steady_clock::now() +
                    std::chrono::microseconds(static_cast<long long>(timeout < 0 ? 0 : timeout) *
                                              kTimeoutUnitMicroseconds);
    if (!waitReadable(m_channel->fd(), deadline)) {
        return false;
    }

    // hidraw hands back unnumbered input reports without their ID byte; a
    // whole 65-byte frame is kept as it is. Either way we rebuild the frame the
    // callers expect: report ID first, then 64 payload bytes.
    std::array<unsigned char, kReportSize + 1> raw{};
    ssize_t got;
    do {
        got = ::read(m_channel->fd(), raw.data(), raw.size());
    } while (got < 0 && errno == EINTR);
    if (got <= 0) {
        return false;
    }
    std::array<unsigned char, kReportSize> frame{};
    if (static_cast<std::size_t>(got) >= kReportSize) {
        std::memcpy(frame.data(), raw.data(), kReportSize);
    } else {
        std::memcpy(frame.data() + 1, raw.data(), static_cast<std::size_t>(got));
    }
    unsigned wanted = *length < kPayloadSize ? *length : static_cast<unsigned>(kPayloadSize);
    std::memcpy(payload, frame.data() + 1, wanted);
    *length = wanted;
    return true;
}
