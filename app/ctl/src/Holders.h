#pragma once

// Which processes hold a device node open. hidraw lets several programs open
// a keyboard at once, and their reports would interleave; `list` names them.

#include <string>
#include <vector>

namespace talvik::ctl {

// "Talvik (pid 1234)" for every other process with `node` open, as far as
// /proc lets this user see (another user's processes stay hidden unless we
// are root). `procDir` is /proc, or a fake tree in tests.
std::vector<std::string> processesHolding(const std::string& node,
                                          const std::string& procDir = "/proc");

} // namespace talvik::ctl
