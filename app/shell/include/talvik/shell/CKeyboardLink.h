#pragma once

#include "talvik/hwi/COrsaHWI.h"

#include <functional>
#include <string>

namespace talvik::jobs {
class CDeviceWorkerSlot;
}

namespace talvik::shell {

// Why a connected keyboard does not answer, and which node it is.
struct CAccessReport {
    CDeviceAccess access = CDeviceAccess::NotConnected;
    std::string node;
};

// How the main window reaches the keyboard: connect, query the version and
// ask whether a keyboard is still present. Tests replace single steps; the
// members after `present` may be left empty.
struct CKeyboardLink {
    std::function<bool()> connect;     // __createDev
    std::function<bool()> readVersion; // ReadKeyboardVersion
    std::function<bool()> present;     // DetectDevice
    // After a failed version query: could the node be opened at all? Empty:
    // nothing known, the keyboard counts as held by another program.
    std::function<CAccessReport()> access = {};
    // The model of the keyboard there now (DetectDeviceType), 0 for none.
    // Empty: the one the window runs for, while `present` says one is there.
    std::function<int()> model = {};
    // The text the last successful version query gave; empty when unknown.
    std::function<std::wstring()> versionText = {};
    // False once a transfer found the keyboard gone. Empty: never found.
    std::function<bool()> connected = {};
    // Closes the connection (__closeDev).
    std::function<void()> close = {};
    // Runs a step that uses the device object when no device worker does, and
    // returns true; false, not running it, while a worker is busy with the
    // device. Empty: every step runs at once.
    std::function<bool(const std::function<void()>&)> whenIdle = {};

    static CKeyboardLink of(COrsaHWI& device);
    // The same, with the steps that open and close the connection kept off
    // the device while one of `worker`'s jobs uses it.
    static CKeyboardLink of(COrsaHWI& device, jobs::CDeviceWorkerSlot& worker);
};

} // namespace talvik::shell
