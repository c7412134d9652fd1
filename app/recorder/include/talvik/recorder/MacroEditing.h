#pragma once

// Editing a macro or emulation list by hand: the two delay modes and the
// conversion between them, the delay editor on one item, the numeric boxes of
// the pages.

#include "talvik/model/CActionList.h"

#include <optional>
#include <string>
#include <string_view>

namespace talvik::recorder {

// Limits of the numeric boxes.
inline constexpr int kMinCycles = 1;
inline constexpr int kMaxCycles = 255;
inline constexpr int kMaxAutoDelayMs = 60000;
inline constexpr int kMaxEmulationDelayMs = 6000;

// Empties the items and keeps the play fields (cycles, delay mode, delay, play
// mode), which belong to the macro rather than to what was recorded.
void clearKeepingPlayFields(model::CActionList& macro);

// Switches a macro to the uniform delay: only the events (the items at even
// positions) stay. A macro already in that mode is left as it is.
void useAutoInterval(model::CActionList& macro);
// Switches a macro to per-event delays: its Delay goes between every two
// events. A macro already in that mode is left as it is.
void useRecordedDelays(model::CActionList& macro);

// The text the delay editor opens with on the selected item (the number of
// "<%d ms>"), or nothing when that item is not a delay.
std::optional<std::string> delayEditorText(const model::CActionList& macro);
// Stores what was typed into the delay editor as the selected item, read as a
// decimal number (0 when it is none) limited to 0..65535; returns the stored
// value.
int storeEditedDelay(model::CActionList& macro, std::string_view typed);

// What a click on an event row does.
enum class RowClick { Ignored, Selected, EditDelay };
// Selects the row, or on the row that is already selected asks for the delay
// editor when the item there is a delay. Rows past the end are ignored.
RowClick clickEventRow(model::CActionList& list, int row);

// The value of a digits-only box limited to [min, max]. `replaceText` says the
// box must show the value instead of what was typed. A box that holds no
// digits yet gives nothing, so the user can clear it and type anew.
struct BoxValue {
    int value = 0;
    bool replaceText = false;
};
std::optional<BoxValue> limitBoxValue(std::string_view text, int min, int max);

} // namespace talvik::recorder
