#include "sim/SimulatedKeyboard.h"

// Placeholder until the simulated keyboard lands: present, but its connection
// fails every transfer.

namespace talvik::hwi::sim {

bool isPluggedIn()
{
    return true;
}

std::unique_ptr<CHidChannel> openSimulatedKeyboard(int)
{
    return std::make_unique<CHidrawChannel>(CFileDescriptor());
}

} // namespace talvik::hwi::sim
