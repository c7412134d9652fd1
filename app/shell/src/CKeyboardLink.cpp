#include "talvik/shell/CKeyboardLink.h"

#include "talvik/jobs/CDeviceWorkerSlot.h"

#include <memory>

namespace talvik::shell {

CKeyboardLink CKeyboardLink::of(COrsaHWI& device) {
    CKeyboardLink link;
    auto version = std::make_shared<std::wstring>();
    link.connect = [&device] { return device.__createDev(); };
    link.readVersion = [&device, version] {
        wchar_t text[64] = {};
        if (!device.ReadKeyboardVersion(text)) {
            return false;
        }
        text[63] = L'\0';
        *version = text;
        return true;
    };
    link.present = [&device] { return device.DetectDevice(); };
    link.access = [&device] { return CAccessReport{device.deviceAccess(), device.deviceNode()}; };
    link.model = [&device] { return device.DetectDeviceType(); };
    link.versionText = [version] { return *version; };
    link.connected = [&device] { return !device.connectionLost(); };
    link.close = [&device] { device.__closeDev(); };
    return link;
}

CKeyboardLink CKeyboardLink::of(COrsaHWI& device, jobs::CDeviceWorkerSlot& worker) {
    CKeyboardLink link = of(device);
    link.whenIdle = [&worker](const std::function<void()>& step) { return worker.runIfFree(step); };
    return link;
}

} // namespace talvik::shell
