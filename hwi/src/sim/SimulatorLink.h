#pragma once

// One connection to a simulated keyboard: the program's end of a socket
// pair, and a thread that plays the keyboard on the other end.

#include "FileDescriptor.h"
#include "HidChannel.h"
#include "sim/KeyboardEngine.h"

#include <memory>
#include <thread>

namespace talvik::hwi::sim {

class CSimulatorCore;

class CSimulatorLink {
public:
    CSimulatorLink(std::shared_ptr<CSimulatorCore> core, int model, CFileDescriptor keyboardEnd);
    // Stops the thread, even in the middle of an answer, and waits for it.
    ~CSimulatorLink();
    CSimulatorLink(const CSimulatorLink&) = delete;
    CSimulatorLink& operator=(const CSimulatorLink&) = delete;

private:
    enum class Wait { Ready, Idle, Stop };

    void run();
    Wait waitFor(short events);
    // True when the link is to stop; otherwise returns after ms.
    bool waitForStop(int ms);
    // False when the connection is to be closed.
    bool serve(std::span<const std::uint8_t> report);
    // Serves what the program wrote before its end closed.
    void drainPending();
    bool send(const Payload& reply);

    std::shared_ptr<CSimulatorCore> m_core;
    CFileDescriptor m_fd;
    CFileDescriptor m_stop; // an eventfd: readable once the link is to stop
    CSimulatedKeyboard m_engine;
    std::uint64_t m_received = 0;
    std::thread m_thread;
};

// The channel the program talks through; closing it ends the link.
class CSimulatedChannel final : public CHidChannel {
public:
    CSimulatedChannel(std::shared_ptr<CSimulatorCore> core, int model);
    int fd() const override { return m_programEnd.get(); }

private:
    CFileDescriptor m_programEnd;
    std::unique_ptr<CSimulatorLink> m_link; // declared last: stops before the descriptor closes
};

} // namespace talvik::hwi::sim
