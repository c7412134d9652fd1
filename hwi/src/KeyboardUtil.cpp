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
    return m_channel && m_channel->fd() >= 0 && !lost();
}

int CKeyboardUtil::openError() const {
    return m_channel ? m_channel->openError() : ENODEV;
}

namespace {

// The errors a write or read gives once the device has gone: a removed hidraw
// node answers ENODEV or EIO (some drivers ESHUTDOWN), a socket whose far end
// closed EPIPE or ECONNRESET.
bool deviceGone(int error) {
    switch (error) {
    case ENODEV:
    case ENXIO:
    case EIO:
    case ESHUTDOWN:
    case EPIPE:
    case ECONNRESET:
    case ENOTCONN:
        return true;
    default:
        return false;
    }
}

} // namespace

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
    if (written < 0 && deviceGone(errno)) {
        noteLost();
    }
    return written >= 0;
}

namespace {

enum class EReadable { Ready, TimedOut, Gone };

// Waits until the descriptor is readable or the deadline passes. POLLHUP and
// POLLERR without data mean the device went away.
EReadable waitReadable(int fd, std::chrono::steady_clock::time_point deadline) {
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
        if (ready < 0) {
            return deviceGone(errno) ? EReadable::Gone : EReadable::TimedOut;
        }
        if (ready == 0) {
            return EReadable::TimedOut;
        }
        if ((p.revents & POLLIN) != 0) {
            return EReadable::Ready;
        }
        return (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0 ? EReadable::Gone
                                                                 : EReadable::TimedOut;
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
    switch (waitReadable(m_channel->fd(), deadline)) {
    case EReadable::Ready:
        break;
    case EReadable::Gone:
        noteLost();
        return false;
    case EReadable::TimedOut:
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
    // The end of the stream: the simulated keyboard's far end has closed.
    if (got == 0 || (got < 0 && deviceGone(errno))) {
        noteLost();
    }
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
