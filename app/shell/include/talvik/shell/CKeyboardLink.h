#pragma once

#include "talvik/hwi/COrsaHWI.h"

#include <functional>
#include <string>

namespace talvik::shell {

// Why a connected keyboard does not answer, and which node it is.
struct CAccessReport {
    CDeviceAccess access = CDeviceAccess::NotConnected;
    std::string node;
};

// How the main window reaches the keyboard: connect, query the version and
// ask whether a keyboard is still present. Tests replace single steps.
struct CKeyboardLink {
    std::function<bool()> connect;     // __createDev
    std::function<bool()> readVersion; // ReadKeyboardVersion; the text is not used
    std::function<bool()> present;     // DetectDevice
    // After a failed version query: could the node be opened at all? Empty:
    // nothing known, the keyboard counts as held by another program.
    std::function<CAccessReport()> access = {};

    static CKeyboardLink of(COrsaHWI& device);
};

} // namespace talvik::shell
