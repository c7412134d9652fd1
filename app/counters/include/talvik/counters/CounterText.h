#pragma once

// What the user is told about kept counter reads and "since" views, in the
// user's language, UTF-8.

#include "talvik/counters/CounterExport.h"
#include "talvik/text/Language.h"

#include <string>

namespace talvik::counters {

// "2025-03-14 10:30" in the local time zone.
std::string localMinuteText(std::chrono::system_clock::time_point time);

// The read was not kept: the counters are shown, only the history misses it.
std::string readNotKeptText(const std::string& folder, const std::string& reason,
                            text::Language language);
// "Presses since <time>" for a since view, "All-time presses" for the totals.
std::string viewTitle(const SCounterView& view, text::Language language);
// The counters went down since the chosen read: what is shown starts anew.
std::string resetText(text::Language language);
// Why a --since argument names no earlier read.
std::string sinceProblemText(const SSinceChoice& choice, std::string_view argument,
                             text::Language language);

} // namespace talvik::counters
