#pragma once

// The counters as other programs read them: CSV and JSON, the same from the
// main window's export and from talvikctl. Key names are the English names
// by key number (both Shift, Ctrl and Alt keys share one; the number tells).

#include "talvik/counters/CounterHistory.h"

#include <cstdint>
#include <optional>
#include <string>

namespace talvik::counters {

struct SCounterView {
    int modelNumber = 0;
    CountTable counts{}; // all-time totals, or the presses since `since`
    std::optional<SCounterRead> since;
};

// Every known press of the view.
std::int64_t totalPresses(const CountTable& counts);
// The key's part of all presses, 0..1; 0 for a key with none or when there are none.
double shareOf(const CountTable& counts, int key);

// "key,name,count,share" and one row per key, key 1 first; the share has six decimals.
std::string countersCsv(const SCounterView& view);
// {"model", "since" (null or its time and file), "total", "counters": [{"key",
// "name", "presses", "share"}...], "mostPressed", "leastPressed"}.
std::string countersJson(const SCounterView& view);

} // namespace talvik::counters
