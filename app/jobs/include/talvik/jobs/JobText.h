#pragma once

// What the user is told after a device job that did not succeed, in the
// user's language, UTF-8.

#include "talvik/jobs/CDeviceJob.h"
#include "talvik/text/Language.h"

#include <string>
#include <string_view>

namespace talvik::jobs {

// One sentence per failed transfer, saying what the program and the keyboard
// hold now, then what to do. Empty when the outcome succeeded or the job was
// cancelled (the user knows what happened then).
std::string failureText(const CJobOutcome& outcome, text::Language language);

// Why a command that talks to the keyboard did nothing: the keyboard is not
// connected. Everything else stays usable, and the program connects again by
// itself when the keyboard comes back.
std::string_view notConnectedText(text::Language language);

// The report of a job that was not started because the keyboard is not connected.
CJobReport notConnectedReport(text::Language language);

} // namespace talvik::jobs
