#include "talvik/shell/CKeyboardLink.h"

#include "talvik/hwi/COrsaHWI.h"

namespace talvik::shell {

CKeyboardLink CKeyboardLink::of(COrsaHWI& device) {
    CKeyboardLink link;
    link.connect = [&device] { return device.__createDev(); };
    link.readVersion = [&device] {
        wchar_t version[64] = {};
        return device.ReadKeyboardVersion(version);
    };
    link.present = [&device] { return device.DetectDevice(); };
    return link;
}

} // namespace talvik::shell
