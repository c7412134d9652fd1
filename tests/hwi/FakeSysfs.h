#pragma once

// A fake /sys/class/hidraw with nodes laid out like the kernel's, and a /dev
// folder beside it with one plain file per node.

#include "support/TestSupport.h"

#include "talvik/hwi/COrsaHWI.h"

#include <cstdio>
#include <filesystem>
#include <string>

namespace talvik::test {

namespace fs = std::filesystem;

// The device link of a node points into its USB interface folder, which
// carries bInterfaceNumber.
class FakeSysfs {
public:
    void addNode(int number, const std::string& hidId, int interfaceNumber) {
        std::string name = "hidraw" + std::to_string(number);
        fs::path usbInterface = m_root.path() / "devices" / ("1-1:1." + std::to_string(number));
        fs::path hidDevice = usbInterface / ("0003:0483:0000." + std::to_string(number));
        writeFile(hidDevice / "uevent",
                  "DRIVER=hid-generic\nHID_ID=" + hidId +
                      "\nHID_NAME=Test Keyboard\nHID_PHYS=usb-0000:00:14.0-1/input" +
                      std::to_string(interfaceNumber) + "\n");
        char number2[8];
        std::snprintf(number2, sizeof number2, "%02x", interfaceNumber);
        writeFile(usbInterface / "bInterfaceNumber", std::string(number2) + "\n");
        fs::create_directories(classDir() / name);
        fs::create_symlink(hidDevice, classDir() / name / "device");
        writeFile(devDir() / name, "");
    }

    // A node whose device description is missing.
    void addBrokenNode(int number) {
        fs::create_directories(classDir() / ("hidraw" + std::to_string(number)) / "device");
    }

    fs::path classDir() const { return m_root.path() / "class" / "hidraw"; }
    fs::path devDir() const { return m_root.path() / "dev"; }
    const fs::path& root() const { return m_root.path(); }

    CDeviceEnvironment environment() const {
        CDeviceEnvironment environment;
        environment.hidrawClassDir = classDir().string();
        environment.devDir = devDir().string();
        environment.simulatorModel = 0;
        fs::create_directories(classDir());
        return environment;
    }

private:
    CTempDir m_root;
};

} // namespace talvik::test
