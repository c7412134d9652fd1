#pragma once

// The simulated keyboard: the firmware side of the report protocol, reached
// through a socket pair so that the library's real read/write/poll code runs.
//
// The process's simulator reads its environment once, when it is first used;
// a simulator of a caller's own (CDeviceEnvironment::withSimulator) is set up
// from the same settings given as values and never reads them:
//   TALVIK_SIMULATOR_STATE=<file>        keep the memory between runs (StateFile.h)
//   TALVIK_SIMULATOR_LOG=<file>          append every report, "W " or "R " + 128 hex digits
//   TALVIK_SIMULATOR_FAULT=<faults>      misbehave (Faults.h)
//   TALVIK_SIMULATOR_UNPLUG_FILE=<path>  unplugged while that file exists
//   TALVIK_SIMULATOR_HOLD_FILE=<path>    held after N reports while that file names N

#include "HidChannel.h"
#include "sim/Faults.h"
#include "sim/KeyboardMemory.h"

#include <memory>
#include <string>

namespace talvik::hwi::sim {

struct CSimulatorOptions {
    std::string stateFile;  // empty: the memory lives as long as the hub
    std::string logFile;    // empty: no traffic log
    std::string unplugFile; // empty: only unplug() unplugs
    std::string holdFile;   // empty: never held (CSimulatorSetup::holdFile)
    CFaultPlan faults;

    // From a setup; a fault not understood goes to stderr after `faultsName`.
    static CSimulatorOptions fromSetup(const CSimulatorSetup& setup, const std::string& faultsName);
    // From the TALVIK_SIMULATOR_* variables; problems go to stderr.
    static CSimulatorOptions fromEnvironment();
};

class CSimulatorCore;

// The simulated keyboards of the process or of one environment: one memory
// per model, shared by all connections to that model, loaded from the state
// file on first use and saved after each completed write, when a connection
// closes and at the end.
class CSimulatorHub {
public:
    explicit CSimulatorHub(CSimulatorOptions options);
    ~CSimulatorHub();
    CSimulatorHub(const CSimulatorHub&) = delete;
    CSimulatorHub& operator=(const CSimulatorHub&) = delete;

    // Opens a connection to the simulated keyboard of `model` (1..4): a
    // channel whose descriptor is one end of a SOCK_SEQPACKET pair; the
    // keyboard answers on the other end from a thread of its own, which ends
    // with the channel. While unplugged the open fails: the descriptor is -1.
    std::unique_ptr<CHidChannel> open(int model);
    // False while unplugged, by unplug() or by the unplug file.
    bool isPluggedIn() const;
    // Pull the keyboard out and put it back. Unplugging also drops every open
    // connection, as a real removal would.
    void unplug();
    void plugIn();

    // A copy of a model's memory as it is now.
    CKeyboardMemory memory(int model) const;

private:
    // Connections keep the core alive: a channel may outlive the hub.
    std::shared_ptr<CSimulatorCore> m_core;
};

// The hub of the process, built from the environment on first use.
CSimulatorHub& processHub();

// processHub().open(model).
std::unique_ptr<CHidChannel> openSimulatedKeyboard(int model);

// The hub that plays the simulated keyboard of `environment`: its own, or
// else the process's.
CSimulatorHub& hubFor(const CDeviceEnvironment& environment);

} // namespace talvik::hwi::sim
