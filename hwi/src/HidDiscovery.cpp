#include "HidDiscovery.h"

#include "sim/SimulatedKeyboard.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

CDeviceEnvironment CDeviceEnvironment::fromProcess() {
    CDeviceEnvironment environment;
    if (const char* model = std::getenv("TALVIK_SIMULATOR")) {
        int value = std::atoi(model);
        environment.simulatorModel = (value >= 1 && value <= 4) ? value : 0;
    }
    return environment;
}

CDeviceEnvironment CDeviceEnvironment::withoutDevices(int simulatorModel) {
    CDeviceEnvironment environment;
    environment.hidrawClassDir = "/nonexistent/talvik/hidraw";
    environment.devDir = "/nonexistent/talvik/dev";
    environment.simulatorModel = simulatorModel;
    return environment;
}

CDeviceEnvironment CDeviceEnvironment::withSimulator(int model, const CSimulatorSetup& setup) {
    CDeviceEnvironment environment = withoutDevices(model);
    environment.simulator = std::make_shared<talvik::hwi::sim::CSimulatorHub>(
        talvik::hwi::sim::CSimulatorOptions::fromSetup(setup, "faults"));
    return environment;
}

namespace talvik::hwi {

namespace {

constexpr std::string_view kHidClassGuid = "{4d1e55b2-f16f-11cf-88cb-001111000030}";

struct CProductModel {
    std::string_view productId;
    int model;
};
constexpr std::array<CProductModel, 4> kProducts{{
    {"5031", 1},
    {"5131", 2},
    {"5231", 3},
    {"5331", 4},
}};

std::string_view ueventValue(std::string_view uevent, std::string_view key) {
    std::size_t start = 0;
    while (start < uevent.size()) {
        std::size_t end = uevent.find('\n', start);
        if (end == std::string_view::npos) {
            end = uevent.size();
        }
        std::string_view line = uevent.substr(start, end - start);
        if (line.size() > key.size() && line.substr(0, key.size()) == key &&
            line[key.size()] == '=') {
            return line.substr(key.size() + 1);
        }
        start = end + 1;
    }
    return {};
}

bool readText(const fs::path& file, std::string& text) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return false;
    }
    std::ostringstream content;
    content << in.rdbuf();
    text = content.str();
    return true;
}

// The USB interface number: bInterfaceNumber of the USB interface the HID
// device hangs under, or else the /inputN suffix of HID_PHYS. -1 when neither.
int interfaceNumberOf(const fs::path& deviceDir, std::string_view uevent) {
    std::error_code error;
    fs::path device = fs::canonical(deviceDir, error);
    if (!error) {
        std::string number;
        if (readText(device.parent_path() / "bInterfaceNumber", number)) {
            char* end = nullptr;
            long value = std::strtol(number.c_str(), &end, 16);
            if (end != number.c_str()) {
                return static_cast<int>(value);
            }
        }
    }
    std::string_view phys = ueventValue(uevent, "HID_PHYS");
    std::size_t input = phys.rfind("/input");
    if (input != std::string_view::npos && input + 6 < phys.size()) {
        std::string digits(phys.substr(input + 6));
        char* end = nullptr;
        long value = std::strtol(digits.c_str(), &end, 10);
        if (end != digits.c_str()) {
            return static_cast<int>(value);
        }
    }
    return -1;
}

// hidraw numbers in ascending order; names that are not hidrawN are ignored.
std::vector<std::pair<int, std::string>> hidrawNodes(const fs::path& classDir) {
    std::vector<std::pair<int, std::string>> nodes;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(classDir, error)) {
        std::string name = entry.path().filename().string();
        if (name.rfind("hidraw", 0) != 0 || name.size() == 6) {
            continue;
        }
        std::string digits = name.substr(6);
        if (!std::all_of(digits.begin(), digits.end(),
                         [](char c) { return c >= '0' && c <= '9'; })) {
            continue;
        }
        nodes.emplace_back(std::atoi(digits.c_str()), name);
    }
    std::sort(nodes.begin(), nodes.end());
    return nodes;
}

std::string fourHex(std::string_view field) {
    // HID_ID carries 8 hex digits per identifier; the path names the last 4.
    std::string digits(field.size() >= 4 ? field.substr(field.size() - 4) : field);
    std::transform(digits.begin(), digits.end(), digits.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return digits;
}

} // namespace

std::string interfacePath(std::string_view uevent, int interfaceNumber, std::string_view instance) {
    std::string_view hidId = ueventValue(uevent, "HID_ID"); // bus:vendor:product
    std::size_t first = hidId.find(':');
    std::size_t second = hidId.find(':', first == std::string_view::npos ? first : first + 1);
    if (first == std::string_view::npos || second == std::string_view::npos) {
        return {};
    }
    // Only USB devices have a USB vendor, product and interface number.
    if (std::strtol(std::string(hidId.substr(0, first)).c_str(), nullptr, 16) != 0x03) {
        return {};
    }
    std::string path = "\\\\?\\hid#vid_" + fourHex(hidId.substr(first + 1, second - first - 1)) +
                       "&pid_" + fourHex(hidId.substr(second + 1));
    if (interfaceNumber >= 0) {
        char mi[16];
        std::snprintf(mi, sizeof mi, "&mi_%02x", interfaceNumber & 0xFF);
        path += mi;
    }
    path += '#';
    path += instance;
    path += '#';
    path += kHidClassGuid;
    return path;
}

int modelForPath(std::string_view path) {
    std::size_t vid = path.find("vid_");
    std::size_t pid = path.find("pid_");
    std::size_t mi = path.find("mi_01");
    if (mi == std::string_view::npos || mi == 0 || vid == std::string_view::npos ||
        pid == std::string_view::npos) {
        return 0;
    }
    if (path.size() < vid + 8 || path.substr(vid + 4, 4) != "0483" || path.size() < pid + 8) {
        return 0;
    }
    std::string_view product = path.substr(pid + 4, 4);
    for (const auto& entry : kProducts) {
        if (entry.productId == product) {
            return entry.model;
        }
    }
    return 0;
}

std::vector<CHidInterface> enumerateHidInterfaces(const CDeviceEnvironment& environment) {
    std::vector<CHidInterface> interfaces;
    if (environment.simulatorModel >= 1 && environment.simulatorModel <= 4) {
        if (sim::hubFor(environment).isPluggedIn()) {
            char uevent[64];
            std::snprintf(uevent, sizeof uevent, "HID_ID=0003:00000483:0000%.4s\n",
                          kProducts[static_cast<std::size_t>(environment.simulatorModel - 1)]
                              .productId.data());
            interfaces.push_back(
                {interfacePath(uevent, 1, "talvik&simulator&0&0001"), std::string(kSimulatorNode)});
        }
        return interfaces;
    }
    fs::path classDir(environment.hidrawClassDir);
    for (const auto& [number, name] : hidrawNodes(classDir)) {
        fs::path deviceDir = classDir / name / "device";
        std::string uevent;
        if (!readText(deviceDir / "uevent", uevent)) {
            break;
        }
        interfaces.push_back({interfacePath(uevent, interfaceNumberOf(deviceDir, uevent), name),
                              (fs::path(environment.devDir) / name).string()});
    }
    return interfaces;
}

std::optional<CKeyboardMatch> findKeyboard(const CDeviceEnvironment& environment) {
    for (auto& candidate : enumerateHidInterfaces(environment)) {
        if (int model = modelForPath(candidate.path); model != 0) {
            return CKeyboardMatch{std::move(candidate), model};
        }
    }
    return std::nullopt;
}

} // namespace talvik::hwi
