#pragma once

// Finding supported keyboards among the hidraw nodes. Each node gets the
// device interface path the keyboard would have on Windows,
//   \\?\hid#vid_0483&pid_5131&mi_01#hidraw3#{4d1e55b2-f16f-11cf-88cb-001111000030}
// and the matching rules run on that text, unchanged.

#include "talvik/hwi/COrsaHWI.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace talvik::hwi {

struct CHidInterface {
    std::string path;    // Windows-style device interface path
    std::string devNode; // what to open: /dev/hidrawN, or the simulator's name
};

// Name of the node the simulated keyboard answers on.
inline constexpr std::string_view kSimulatorNode = "simulator";

// The interfaces in enumeration order (hidraw number ascending). With a
// simulator model set, only the simulated keyboard's interface (when it is
// plugged in). Enumeration stops at the first node whose description cannot
// be read: later nodes are not examined.
std::vector<CHidInterface> enumerateHidInterfaces(const CDeviceEnvironment& environment);

// The Windows-style path of a hidraw node from its uevent text and interface
// number; empty when the node is not a USB HID device.
std::string interfacePath(std::string_view uevent, int interfaceNumber, std::string_view instance);

// The model number (1..4) a path stands for, or 0 when it does not match:
// "mi_01" after position 0, exactly "0483" after "vid_", and one of the four
// product identifiers after "pid_".
int modelForPath(std::string_view path);

struct CKeyboardMatch {
    CHidInterface hidInterface;
    int model = 0;
};
// The first matching interface in enumeration order.
std::optional<CKeyboardMatch> findKeyboard(const CDeviceEnvironment& environment);

} // namespace talvik::hwi
