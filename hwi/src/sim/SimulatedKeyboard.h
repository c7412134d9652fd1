#pragma once

// The simulated keyboard: the firmware side of the report protocol, reached
// through a socket pair so that the library's real read/write/poll code runs.

#include "HidChannel.h"

#include <memory>

namespace talvik::hwi::sim {

// False once the simulated keyboard has been unplugged.
bool isPluggedIn();

// Opens a connection to the simulated keyboard of `model` (1..4): a channel
// whose descriptor is one end of a SOCK_SEQPACKET pair; the keyboard answers
// on the other end from a thread of its own, which ends with the channel.
std::unique_ptr<CHidChannel> openSimulatedKeyboard(int model);

} // namespace talvik::hwi::sim
