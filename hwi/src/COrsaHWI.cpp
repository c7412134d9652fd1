// Lifetime, discovery and connection of COrsaHWI.

#include "talvik/hwi/COrsaHWI.h"

#include "COrsa.h"
#include "HidDiscovery.h"
#include "KeyboardUtil.h"
#include "sim/SimulatedKeyboard.h"

#include <fcntl.h>

using namespace talvik::hwi;

namespace talvik::hwi {

std::unique_ptr<CHidChannel> openHidNode(const std::string& devNode) {
    return std::make_unique<CHidrawChannel>(
        CFileDescriptor(::open(devNode.c_str(), O_RDWR | O_CLOEXEC)));
}

} // namespace talvik::hwi

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
    if (m_util) {
        return true;
    }
    auto match = findKeyboard(m_environment);
    if (!match) {
        return false;
    }
    const std::string& node = match->hidInterface.devNode;
    auto channel = node == kSimulatorNode ? sim::openSimulatedKeyboard(m_environment.simulatorModel)
                                          : openHidNode(node);
    m_util = std::make_unique<COrsaUtil>(std::move(channel));
    m_keyboard = std::make_unique<COrsa>(m_util.get());
    return true;
}

bool COrsaHWI::__closeDev() {
    m_keyboard.reset(); // before the connection it talks through
    m_util.reset();
    return true;
}
