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

} // namespace talvik::test
