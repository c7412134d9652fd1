#pragma once

// What every connection to the simulated keyboards shares: the options, the
// memory of each model with the lock that guards it, the state file and the
// traffic log.

#include "sim/SimulatedKeyboard.h"
#include "sim/StateFile.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <span>

namespace talvik::hwi::sim {

class CSimulatorCore {
public:
    explicit CSimulatorCore(CSimulatorOptions options);
    ~CSimulatorCore();
    CSimulatorCore(const CSimulatorCore&) = delete;
    CSimulatorCore& operator=(const CSimulatorCore&) = delete;

    const CSimulatorOptions& options() const { return m_options; }

    // The memory of `model`, loaded from the state file on the first call.
    // Read and change it only while holding mutex().
    CKeyboardMemory& memoryOf(int model);
    std::mutex& mutex() { return m_mutex; }

    // Writes every model's memory to the state file, if there is one.
    // Call while holding mutex().
    void saveLocked();

    bool pluggedIn() const;
    // Whether a connection that has taken `received` reports is to take no more for now.
    bool holds(std::uint64_t received) const;
    void setUnplugged(bool unplugged) { m_unplugged = unplugged; }
    // The replug fault: true for the first caller only, which then keeps the
    // keyboard away for `away`.
    bool replugOnce(std::chrono::milliseconds away);

    // One line of the traffic log: `direction` 'W' or 'R', then the payload.
    void log(char direction, std::span<const std::uint8_t> payload);

private:
    void loadLocked();

    CSimulatorOptions m_options;
    std::mutex m_mutex;
    CMemoryMap m_memories;
    bool m_loaded = false;
    bool m_saveFailed = false; // said once on stderr, not after every write
    std::atomic<bool> m_unplugged{false};
    std::atomic<bool> m_replugged{false};
    std::atomic<std::chrono::steady_clock::rep> m_awayUntil{0}; // steady clock ticks
    std::mutex m_logMutex;
    std::FILE* m_log = nullptr;
};

// Problems the user should hear about go to stderr with this prefix.
void warn(const std::string& message);

} // namespace talvik::hwi::sim
