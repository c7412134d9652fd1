// Lifetime, discovery and connection of COrsaHWI.

#include "talvik/hwi/COrsaHWI.h"

#include "COrsa.h"
#include "HidDiscovery.h"
#include "KeyboardUtil.h"
#include "sim/SimulatedKeyboard.h"

#include <cerrno>
#include <fcntl.h>

using namespace talvik::hwi;

namespace talvik::hwi {

int CHidrawChannel::openError() const {
    if (m_fd.valid()) {
        return 0;
    }
    return m_openError != 0 ? m_openError : ENODEV;
}

std::unique_ptr<CHidChannel> openHidNode(const std::string& devNode, const CNodeOpener& open) {
    const int flags = O_RDWR | O_CLOEXEC;
    errno = 0;
    const int fd = open ? open(devNode.c_str(), flags) : ::open(devNode.c_str(), flags);
    const int error = fd < 0 ? errno : 0;
    return std::make_unique<CHidrawChannel>(CFileDescriptor(fd), error);
}

} // namespace talvik::hwi

namespace {

CDeviceAccess accessForOpenError(int error) {
    switch (error) {
    case 0:
        return CDeviceAccess::Open;
    case EACCES:
    case EPERM:
        return CDeviceAccess::NoPermission;
    default:
        return CDeviceAccess::OpenFailed;
    }
}

} // namespace

COrsaHWI::COrsaHWI() : COrsaHWI(CDeviceEnvironment::fromProcess()) {}

COrsaHWI::COrsaHWI(CDeviceEnvironment environment) : m_environment(std::move(environment)) {}

COrsaHWI::~COrsaHWI() {
    __closeDev();
}

int COrsaHWI::DetectDeviceType() {
    auto match = findKeyboard(m_environment);
    return match ? match->model : 0;
}

bool COrsaHWI::DetectDevice() {
    return findKeyboard(m_environment).has_value();
}

bool COrsaHWI::__createDev() {
    if (m_util && !m_util->lost()) {
        return true;
    }
    __closeDev();
    auto match = findKeyboard(m_environment);
    if (!match) {
        return false;
    }
    const std::string& node = match->hidInterface.devNode;
    auto channel = node == kSimulatorNode
                       ? sim::hubFor(m_environment).open(m_environment.simulatorModel)
                       : openHidNode(node, m_environment.openNode);
    m_util = std::make_unique<COrsaUtil>(std::move(channel));
    m_devNode = node;
    m_keyboard = std::make_unique<COrsa>(m_util.get());
    return true;
}

bool COrsaHWI::__closeDev() {
    m_keyboard.reset(); // before the connection it talks through
    m_util.reset();
    m_devNode.clear();
    return true;
}

bool COrsaHWI::connectionLost() const {
    return m_util != nullptr && m_util->lost();
}

CDeviceAccess COrsaHWI::deviceAccess() const {
    if (!m_util) {
        return CDeviceAccess::NotConnected;
    }
    return accessForOpenError(m_util->openError());
}

std::vector<CKeyboardEntry> COrsaHWI::listKeyboards() {
    std::vector<CKeyboardEntry> found;
    for (const CHidInterface& hid : enumerateHidInterfaces(m_environment)) {
        const int model = modelForPath(hid.path);
        if (model == 0) {
            continue;
        }
        CKeyboardEntry entry{model, hid.devNode};
        // Enumeration only reports the simulated keyboard while it is plugged in.
        if (hid.devNode != kSimulatorNode) {
            entry.openError = openHidNode(hid.devNode, m_environment.openNode)->openError();
            entry.access = accessForOpenError(entry.openError);
        }
        found.push_back(std::move(entry));
    }
    return found;
}
