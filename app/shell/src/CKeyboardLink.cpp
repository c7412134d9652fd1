#include "talvik/shell/CKeyboardLink.h"

namespace talvik::shell {

CKeyboardLink CKeyboardLink::of(COrsaHWI& device) {
    CKeyboardLink link;
    link.connect = [&device] { return device.__createDev(); };
    link.readVersion = [&device] {
        wchar_t version[64] = {};
        return device.ReadKeyboardVersion(version);
    };
    link.present = [&device] { return device.DetectDevice(); };
    link.access = [&device] { return CAccessReport{device.deviceAccess(), device.deviceNode()}; };
    return link;
}

} // namespace talvik::shell
