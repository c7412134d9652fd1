#include "talvik/recorder/MacroEditing.h"

#include "talvik/recorder/CActionRecorder.h"
#include "talvik/text/KeyTables.h"

#include <algorithm>
#include <cctype>
#include <utility>
#include <vector>

namespace talvik::recorder {

namespace {

// Rebuilds the macro from the given items as if they had been appended one by
// one: the last one ends up selected.
void rebuild(model::CActionList& macro, const std::vector<std::string>& items) {
    clearKeepingPlayFields(macro);
    for (const std::string& item : items)
        macro.append(item);
}

int selectedIndex(const model::CActionList& list) {
    return list.ViewStartAt + list.CursorPos;
}

} // namespace

void clearKeepingPlayFields(model::CActionList& macro) {
    const int cycles = macro.Cycles;
    const int delay = macro.Delay;
    const int playMode = macro.PlayMode;
    const bool autoInterval = macro.IsAutoInterval;
    macro.clear();
    macro.Cycles = cycles;
    macro.Delay = delay;
    macro.PlayMode = playMode;
    macro.IsAutoInterval = autoInterval;
}

void useAutoInterval(model::CActionList& macro) {
    if (macro.IsAutoInterval)
        return;
    std::vector<std::string> events;
    for (std::size_t i = 0; i < macro.items().size(); i += 2)
        events.push_back(macro.items()[i]);
    rebuild(macro, events);
    macro.IsAutoInterval = true;
}

void useRecordedDelays(model::CActionList& macro) {
    if (!macro.IsAutoInterval)
        return;
    const std::string delay = talvik::text::delayText(macro.Delay);
    std::vector<std::string> items;
    for (const std::string& event : macro.items()) {
        if (!items.empty())
            items.push_back(delay);
        items.push_back(event);
    }
    rebuild(macro, items);
    macro.IsAutoInterval = false;
}

std::optional<std::string> delayEditorText(const model::CActionList& macro) {
    const std::string item = macro.itemAtRow(macro.CursorPos);
    if (!talvik::text::isDelayText(item))
        return std::nullopt;
    // Between the "<" and the " ms>".
    return item.substr(1, item.size() - 5);
}

int storeEditedDelay(model::CActionList& macro, std::string_view typed) {
    const int value = std::clamp(talvik::text::leadingNumber(typed), 0, kLongestDelayMs);
    macro.setItemAtRow(macro.CursorPos, talvik::text::delayText(value));
    return value;
}

RowClick clickEventRow(model::CActionList& list, int row) {
    const int index = list.ViewStartAt + row;
    if (row < 0 || index < 0 || index >= list.count())
        return RowClick::Ignored;
    if (index != selectedIndex(list)) {
        list.CursorPos = row;
        return RowClick::Selected;
    }
    return delayEditorText(list) ? RowClick::EditDelay : RowClick::Selected;
}

std::optional<BoxValue> limitBoxValue(std::string_view text, int min, int max) {
    const auto digit = [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; };
    if (std::none_of(text.begin(), text.end(), digit))
        return std::nullopt;
    const int typed = talvik::text::leadingNumber(text);
    const int value = std::clamp(typed, min, max);
    return BoxValue{value, value != typed};
}

} // namespace talvik::recorder
