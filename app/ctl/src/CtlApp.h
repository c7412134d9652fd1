#pragma once

#include "CtlContext.h"

namespace talvik::ctl {

// Parses the command line and runs the command; returns the exit status.
// `context` carries the language and the streams; its waitSeconds is set from
// the command line.
int runTalvikctl(int argc, char** argv, CCtlContext context);

} // namespace talvik::ctl
