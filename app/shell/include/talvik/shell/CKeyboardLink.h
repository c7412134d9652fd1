#pragma once

#include <functional>

class COrsaHWI;

namespace talvik::shell {

// How the main window reaches the keyboard: connect, query the version and
// ask whether a keyboard is still present. Tests replace single steps.
struct CKeyboardLink {
    std::function<bool()> connect;     // __createDev
    std::function<bool()> readVersion; // ReadKeyboardVersion; the text is not used
    std::function<bool()> present;     // DetectDevice

    static CKeyboardLink of(COrsaHWI& device);
};

} // namespace talvik::shell
