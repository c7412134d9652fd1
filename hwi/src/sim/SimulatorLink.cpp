#include "sim/SimulatorLink.h"

#include "sim/SimulatorCore.h"

#include <array>
#include <cerrno>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>

namespace talvik::hwi::sim {

namespace {

// How often an idle keyboard looks whether it has been unplugged.
constexpr int kIdlePollMs = 100;

CKeyboardMemory& memoryOf(CSimulatorCore& core, int model) {
    std::lock_guard lock(core.mutex());
    return core.memoryOf(model);
}

} // namespace

CSimulatorLink::CSimulatorLink(std::shared_ptr<CSimulatorCore> core, int model,
                               CFileDescriptor keyboardEnd)
    : m_core(std::move(core)), m_fd(std::move(keyboardEnd)),
      m_stop(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)), m_engine(model, memoryOf(*m_core, model)) {
    m_thread = std::thread([this] { run(); });
}

CSimulatorLink::~CSimulatorLink() {
    std::uint64_t one = 1;
    if (::write(m_stop.get(), &one, sizeof one) < 0) {
        // Without the eventfd the thread still ends: shutting the socket down
        // wakes it with an error.
        ::shutdown(m_fd.get(), SHUT_RDWR);
    }
    m_thread.join();
}

CSimulatorLink::Wait CSimulatorLink::waitFor(short events) {
    for (;;) {
        std::array<pollfd, 2> fds{{{m_fd.get(), events, 0}, {m_stop.get(), POLLIN, 0}}};
        int ready = ::poll(fds.data(), fds.size(), kIdlePollMs);
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready < 0 || fds[1].revents != 0) {
            return Wait::Stop;
        }
        return ready == 0 ? Wait::Idle : Wait::Ready;
    }
}

bool CSimulatorLink::waitForStop(int ms) {
    pollfd stop{m_stop.get(), POLLIN, 0};
    int ready = ::poll(&stop, 1, ms);
    return ready > 0 || (ready < 0 && errno != EINTR);
}

void CSimulatorLink::run() {
    const CFaultPlan& faults = m_core->options().faults;
    std::array<std::uint8_t, 2 * kReportSize> buffer{};
    for (;;) {
        if (faults.disconnectAfter && m_received >= *faults.disconnectAfter) {
            break;
        }
        if (faults.replugAfter && m_received >= *faults.replugAfter &&
            m_core->replugOnce(std::chrono::milliseconds(kReplugAwayMs))) {
            break;
        }
        Wait wait = waitFor(POLLIN);
        if (wait == Wait::Stop) {
            drainPending();
            break;
        }
        if (!m_core->pluggedIn()) {
            break;
        }
        if (wait == Wait::Idle) {
            continue;
        }
        if (m_core->holds(m_received)) {
            // The report stays unread, so the program's writes block behind it.
            if (waitForStop(kIdlePollMs)) {
                break;
            }
            continue;
        }
        ssize_t got = ::recv(m_fd.get(), buffer.data(), buffer.size(), MSG_DONTWAIT);
        if (got < 0 && (errno == EAGAIN || errno == EINTR)) {
            continue;
        }
        if (got <= 0 || !serve({buffer.data(), static_cast<std::size_t>(got)})) {
            break;
        }
    }
    // The program's reads now end at once, as with a keyboard that went away.
    ::shutdown(m_fd.get(), SHUT_RDWR);
    std::lock_guard lock(m_core->mutex());
    m_core->saveLocked();
}

void CSimulatorLink::drainPending() {
    // Reports the program wrote before closing its end were sent as far as it
    // knows: a keyboard would act on them, so the simulated one does too.
    std::array<std::uint8_t, 2 * kReportSize> buffer{};
    for (;;) {
        ssize_t got = ::recv(m_fd.get(), buffer.data(), buffer.size(), MSG_DONTWAIT);
        if (got <= 0 || !serve({buffer.data(), static_cast<std::size_t>(got)})) {
            return;
        }
    }
}

bool CSimulatorLink::serve(std::span<const std::uint8_t> report) {
    ++m_received;
    m_core->log('W', report.size() > 1 ? report.subspan(1) : report.subspan(0, 0));
    if (!m_core->pluggedIn()) {
        return false;
    }
    const CFaultPlan& faults = m_core->options().faults;
    if (faults.silentAfter && m_received > *faults.silentAfter) {
        return true;
    }
    CEngineResult result;
    {
        std::lock_guard lock(m_core->mutex());
        result = m_engine.receive(report);
        if (result.committed) {
            m_core->saveLocked();
        }
    }
    std::uint8_t request = report.size() > 2 ? report[2] : 0;
    for (const Payload& reply : applyReplyFaults(faults, request, std::move(result.replies))) {
        if (!send(reply)) {
            return false;
        }
    }
    return true;
}

bool CSimulatorLink::send(const Payload& reply) {
    for (;;) {
        // Never blocks: a program that stops reading must not keep the link
        // from stopping when its channel closes.
        ssize_t sent = ::send(m_fd.get(), reply.data(), reply.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent >= 0) {
            m_core->log('R', reply);
            return true;
        }
        if (errno != EAGAIN && errno != EINTR) {
            return false;
        }
        if (waitFor(POLLOUT) == Wait::Stop) {
            return false;
        }
    }
}

CSimulatedChannel::CSimulatedChannel(std::shared_ptr<CSimulatorCore> core, int model) {
    int fds[2];
    if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, fds) != 0) {
        return; // fd() stays -1: every transfer fails, as with a failed open
    }
    // A keyboard takes its reports one USB transfer at a time, so a writer
    // never gets far ahead of it: the smallest send buffer keeps the program
    // a few reports ahead at most, and a keyboard that goes away in the
    // middle of a long write fails that write, not a later one. (Refused, the
    // writes merely run further ahead.)
    const int smallest = 1;
    ::setsockopt(fds[0], SOL_SOCKET, SO_SNDBUF, &smallest, sizeof smallest);
    m_programEnd.reset(fds[0]);
    m_link = std::make_unique<CSimulatorLink>(std::move(core), model, CFileDescriptor(fds[1]));
}

} // namespace talvik::hwi::sim
