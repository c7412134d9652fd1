#pragma once

// The device interface of Talvik: finds a supported keyboard among the HID
// interfaces of the machine, connects to it and moves key definitions, the
// backlight area, press counters and firmware between the program and the
// keyboard. Every operation blocks its caller until the exchange is over; the
// library shows nothing and keeps no error state, except why the open of its
// connection failed (deviceAccess), so that the program can name the fix.

#include "talvik/hwi/Export.h"
#include "talvik/hwi/WindowHandle.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class COrsaUtil;
class COrsa;

namespace talvik::hwi::sim {
class CSimulatorHub; // the library's own; a caller only holds it
}

// Opens a device node as open(2) does: a descriptor, or -1 with errno set.
using CNodeOpener = std::function<int(const char* path, int flags)>;

// How a simulated keyboard of the caller's own behaves: what the
// TALVIK_SIMULATOR_* variables say for the process's, given as values. Every
// member has an initializer, so that {.faults = "silent"} warns of nothing left out.
struct CSimulatorSetup {
    // Misbehaviour in the grammar of TALVIK_SIMULATOR_FAULT ("silent:1",
    // "disconnect:40,stray"). A fault not understood is named on stderr and
    // left out; the others still apply.
    std::string faults{};
    std::string stateFile{};  // empty: the memory lives as long as the simulator
    std::string trafficLog{}; // empty: none; else every report is appended, "W " or "R " + hex
    std::string unplugFile{}; // empty: always plugged in; else unplugged while that file exists
    // Empty: never held. Else, while that file exists and holds a number N, each
    // connection takes no report after its N-th (counted from its opening) until the
    // file goes or names a larger number: a transfer stops half-way for as long as a
    // test needs to look at it. Writes that find the keyboard held block, as a USB
    // transfer to a keyboard that stops taking reports does; reads time out.
    std::string holdFile{};
};

// Where discovery looks for keyboards. Tests point it at a fake sysfs tree.
struct TALVIK_HWI_EXPORT CDeviceEnvironment {
    std::string hidrawClassDir = "/sys/class/hidraw"; // one folder per hidraw node
    std::string devDir = "/dev";                      // where the hidrawN nodes live
    int simulatorModel = 0; // 1..4: the simulated keyboard of that model replaces real devices
    // Who plays the simulated keyboard. Empty: the process's one simulator,
    // set up from the TALVIK_SIMULATOR_* variables when it is first used and
    // shared by every such environment. Copies of an environment share its
    // simulator, which lives while a copy or a connection to it does.
    std::shared_ptr<talvik::hwi::sim::CSimulatorHub> simulator;
    // How __createDev opens the node; empty means open(2). Tests make it fail
    // with a chosen errno, which works even for root.
    CNodeOpener openNode;

    // The defaults above, with simulatorModel taken from TALVIK_SIMULATOR.
    static CDeviceEnvironment fromProcess();
    // No real device is ever found; with a simulatorModel of 1..4 only the
    // simulated keyboard of that model. For tests, benchmarks and fuzzing.
    static CDeviceEnvironment withoutDevices(int simulatorModel = 0);
    // No real device is ever found, only the simulated keyboard of `model`
    // (1..4), played by a simulator of its own: its memory, faults, files and
    // unplugging touch no other environment and read no TALVIK_SIMULATOR_*
    // variable. Opens the traffic log at once; reads the state file at the
    // first connection and writes it after each completed write and when the
    // simulator ends. Sends nothing.
    static CDeviceEnvironment withSimulator(int model, const CSimulatorSetup& setup = {});
};

// What became of the open that __createDev attempted.
enum class CDeviceAccess {
    NotConnected, // no __createDev yet, or no supported keyboard was found
    Open,         // the interface is open and carries reports
    NoPermission, // the node exists but this user may not open it (EACCES, EPERM)
    OpenFailed,   // the node could not be opened for another reason
};

// One supported keyboard interface that discovery found.
struct CKeyboardEntry {
    int model = 0;       // 1..4
    std::string devNode; // "/dev/hidraw3"; the simulated keyboard's is "simulator"
    CDeviceAccess access = CDeviceAccess::Open; // Open, NoPermission or OpenFailed
    int openError = 0;                          // the errno of a failed open
};

class TALVIK_HWI_EXPORT COrsaHWI {
public:
    // Not connected; touches no device. The first form reads the process
    // environment (TALVIK_SIMULATOR) once, here.
    COrsaHWI();
    explicit COrsaHWI(CDeviceEnvironment environment);
    // Closes the connection, as __closeDev does.
    ~COrsaHWI();
    COrsaHWI(const COrsaHWI&) = delete;
    COrsaHWI& operator=(const COrsaHWI&) = delete;

    // Model number 1..4 of the first supported interface in enumeration order,
    // 0 when there is none. Opens nothing.
    int DetectDeviceType();
    // True when any supported interface is present. Opens nothing.
    bool DetectDevice();
    // Connects to the first supported interface. True when one was found, even
    // if opening it failed (every transfer then fails); true at once when
    // already connected; false, and still not connected, when none was found.
    // A connection that was lost (see connectionLost) is closed first and made
    // again to whatever interface is there now.
    bool __createDev();
    // Every supported interface in enumeration order (the first is the one
    // __createDev connects to), each opened for a moment to learn whether it
    // can be. Sends nothing and leaves the connection as it is.
    std::vector<CKeyboardEntry> listKeyboards();
    // Drops the keyboard image and closes the connection. Always true.
    bool __closeDev();

    // Key definition table (no device traffic). layer is 0 (top) or 1 (Fn),
    // key is 1..87. The array layouts are described in KeyDefinition.h.
    bool setKeyConfiguration(int layer, int key, int* def, int count);
    bool getKeyConfiguration(int layer, int key, int* out, int capacity);
    // Empties all 174 slots.
    bool prepare();

    // Bulk transfers. Progress goes to `window` as WM_TALVIK_PROGRESS with the
    // slot number (0..173) just handled, when window is not 0.
    bool writeKeyConfigurationToDev(HWND window);
    bool readKeyDefinationFromDev(HWND window);
    // Light area: 261 ints, 87 keys x red, green, blue. setKeyboardLightArea
    // stores the low bytes and sends them; it answers true even when the
    // exchange failed (false only without a connection or array).
    bool setKeyboardLightArea(int* values);
    bool getKeyboardLightArea(int* values);
    bool readKeyLightFromDev();
    // Press counters: 87 ints, key 1 first. Copied out whatever the exchange
    // gave, and true even when it failed (false only without a connection or
    // array).
    bool getPressCounterFromDev(int* counters);

    // What the two calls above do, answering truthfully: true only when the
    // light area went out whole with its end frame, and only when the
    // keyboard's counter answer reached its end marker. A connection whose
    // open failed fails them, though __createDev answered true.
    bool writeKeyboardLightArea(const int* values);
    bool readPressCounters(int* counters);

    // Firmware and version.
    bool WriteFirmwareToKeyboard(char* text, int length, HWND window);
    bool ReadKeyboardVersion(wchar_t* text);
    wchar_t* getHardwareVersion();

    // True while connected (after a successful __createDev) and the
    // connection has not been lost since.
    bool isConnected() const { return m_util != nullptr && !connectionLost(); }
    // True once a transfer found the keyboard gone (unplugged, or switched to
    // another interface). Every transfer on the connection then fails at once,
    // until __closeDev, or __createDev connecting again. Safe to ask from
    // another thread while a transfer runs.
    bool connectionLost() const;
    // While connected: whether the open succeeded and, if not, whether for
    // lack of permission. A transfer on a connection that is not Open fails.
    CDeviceAccess deviceAccess() const;
    // The node __createDev opened or tried to open ("/dev/hidraw3"); empty
    // while not connected.
    const std::string& deviceNode() const { return m_devNode; }

private:
    CDeviceEnvironment m_environment;
    std::unique_ptr<COrsaUtil> m_util;
    std::unique_ptr<COrsa> m_keyboard;
    wchar_t m_version[64] = {};
    std::string m_devNode;
};
