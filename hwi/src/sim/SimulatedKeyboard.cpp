#include "sim/SimulatedKeyboard.h"

#include "sim/SimulatorCore.h"
#include "sim/SimulatorLink.h"

#include <csignal>
#include <cstdlib>

namespace talvik::hwi::sim {

namespace {

std::string environmentText(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

// The program writes reports with write(); on a socket whose keyboard end has
// gone (an unplug, a disconnect fault) that raises SIGPIPE, which would end
// the program where a real device merely fails the write. Only a default
// disposition is changed: a handler someone installed stays.
void keepWritesFromRaisingSigpipe() {
    struct sigaction current {};
    if (::sigaction(SIGPIPE, nullptr, &current) == 0 && current.sa_handler == SIG_DFL) {
        std::signal(SIGPIPE, SIG_IGN);
    }
}

} // namespace

CSimulatorOptions CSimulatorOptions::fromSetup(const CSimulatorSetup& setup,
                                               const std::string& faultsName) {
    CSimulatorOptions options;
    options.stateFile = setup.stateFile;
    options.logFile = setup.trafficLog;
    options.unplugFile = setup.unplugFile;
    options.holdFile = setup.holdFile;
    std::vector<std::string> problems;
    options.faults = parseFaults(setup.faults, problems);
    for (const auto& problem : problems) {
        warn(faultsName + ": " + problem);
    }
    return options;
}

CSimulatorOptions CSimulatorOptions::fromEnvironment() {
    CSimulatorSetup setup;
    setup.faults = environmentText("TALVIK_SIMULATOR_FAULT");
    setup.stateFile = environmentText("TALVIK_SIMULATOR_STATE");
    setup.trafficLog = environmentText("TALVIK_SIMULATOR_LOG");
    setup.unplugFile = environmentText("TALVIK_SIMULATOR_UNPLUG_FILE");
    setup.holdFile = environmentText("TALVIK_SIMULATOR_HOLD_FILE");
    return fromSetup(setup, "TALVIK_SIMULATOR_FAULT");
}

CSimulatorHub::CSimulatorHub(CSimulatorOptions options)
    : m_core(std::make_shared<CSimulatorCore>(std::move(options))) {}

CSimulatorHub::~CSimulatorHub() = default;

std::unique_ptr<CHidChannel> CSimulatorHub::open(int model) {
    if (!m_core->pluggedIn() || model < 1 || model > 4) {
        return std::make_unique<CHidrawChannel>(CFileDescriptor());
    }
    keepWritesFromRaisingSigpipe();
    return std::make_unique<CSimulatedChannel>(m_core, model);
}

bool CSimulatorHub::isPluggedIn() const {
    return m_core->pluggedIn();
}

void CSimulatorHub::unplug() {
    m_core->setUnplugged(true);
}

void CSimulatorHub::plugIn() {
    m_core->setUnplugged(false);
}

CKeyboardMemory CSimulatorHub::memory(int model) const {
    std::lock_guard lock(m_core->mutex());
    return m_core->memoryOf(model);
}

CSimulatorHub& processHub() {
    static CSimulatorHub hub(CSimulatorOptions::fromEnvironment());
    return hub;
}

CSimulatorHub& hubFor(const CDeviceEnvironment& environment) {
    return environment.simulator ? *environment.simulator : processHub();
}

std::unique_ptr<CHidChannel> openSimulatedKeyboard(int model) {
    return processHub().open(model);
}

} // namespace talvik::hwi::sim
