#pragma once

#include "talvik/model/CKeyConfig.h"

#include "talvik/hwi/COrsaHWI.h"

#include <ostream>

// Lets failure messages show a mode as its number.
inline void PrintTo(KeyMode mode, std::ostream* out) {
    *out << static_cast<int>(mode);
}

namespace talvik::test {

// Discovery finds nothing here, or only the simulated keyboard of `model`.
inline CDeviceEnvironment keyboardless(int simulatorModel = 0) {
    CDeviceEnvironment environment;
    environment.hidrawClassDir = "/nonexistent/hidraw";
    environment.devDir = "/nonexistent/dev";
    environment.simulatorModel = simulatorModel;
    return environment;
}

} // namespace talvik::test
