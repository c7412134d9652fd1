#pragma once

// The commands of talvikctl. Each returns the exit status.

#include "CtlContext.h"

#include <string>

namespace talvik::ctl {

int runList(const CCtlContext& context, bool json);
int runVersion(const CCtlContext& context);
int runCounters(const CCtlContext& context, bool json);
int runFirmware(const CCtlContext& context, const std::string& file);
int runRead(const CCtlContext& context, const std::string& profile);
int runWrite(const CCtlContext& context, const std::string& profile);

} // namespace talvik::ctl
