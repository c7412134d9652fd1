#pragma once

// What the user is told after a device job that did not succeed, in the
// user's language, UTF-8.

#include "talvik/jobs/CDeviceJob.h"
#include "talvik/text/Language.h"

#include <string>

namespace talvik::jobs {

// One sentence per failed transfer, saying what the program and the keyboard
// hold now, then what to do. Empty when the outcome succeeded or the job was
// cancelled (the user knows what happened then).
std::string failureText(const CJobOutcome& outcome, text::Language language);

} // namespace talvik::jobs
