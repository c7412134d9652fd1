#pragma once

#include "talvik/model/CKeyConfig.h"

#include "talvik/hwi/COrsaHWI.h"

#include <ostream>

// Lets failure messages show a mode as its number.
inline void PrintTo(talvik::model::KeyMode mode, std::ostream* out) {
    *out << static_cast<int>(mode);
}

namespace talvik::test {

// Discovery finds nothing here, or only the simulated keyboard of `model`.
inline CDeviceEnvironment keyboardless(int simulatorModel = 0) {
    return CDeviceEnvironment::withoutDevices(simulatorModel);
}

// The process's own device environment (its TALVIK_SIMULATOR_* settings, the
// state file and unplug file among them) with the simulated keyboard of `model`.
inline CDeviceEnvironment processSimulator(int model) {
    CDeviceEnvironment environment = CDeviceEnvironment::fromProcess();
    environment.simulatorModel = model;
    return environment;
}

} // namespace talvik::test
