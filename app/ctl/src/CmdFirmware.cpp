// firmware: the image's checks, then the download.

#include "Commands.h"

namespace talvik::ctl {

int runFirmware(const CCtlContext& context, const std::string& file) {
    (void)context;
    (void)file;
    return kExitFailed;
}

} // namespace talvik::ctl
