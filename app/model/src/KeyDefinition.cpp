#include "talvik/model/CAppState.h"

#include "talvik/text/KeyTables.h"

#include <algorithm>
#include <climits>

namespace talvik::model {

namespace {

// Kinds of the key definition array.
constexpr int kNormal = 0;
constexpr int kContinuous = 1;
constexpr int kMacro = 2;

// The double click has no code of its own in the keyboard: it goes as two
// left-button codes, and that pair reads back as the double click.
constexpr int kDoubleClickCode = 199;
constexpr int kLeftButtonCode = 130;

// The largest definition the library can hand back is a macro of 65535 events
// with automatic interval; with room for a delay per event the buffer holds
// anything the keyboard can describe.
constexpr std::size_t kReadBufferInts = 6 + 2 * (kMaxMacroDataBytes + 1);

bool validSlot(int key, int level) {
    return key >= 1 && key < kKeyRows && level >= 0 && level < kLayerCount;
}

// How many items of a list the keyboard's record can carry. A longer list is
// cut to this, so the rest of the configuration still reaches the keyboard
// intact.
int itemLimit(KeyMode mode, const CActionList& list) {
    switch (mode) {
    case KeyMode::Combo:
        return kMaxNormalCodes;
    case KeyMode::Emulation:
        return kMaxEmulationCodes;
    case KeyMode::Macro:
        // Without automatic interval each event is followed by its delay item.
        return list.IsAutoInterval ? kMaxMacroEventsAutoInterval : 2 * kMaxMacroEventsWithDelays;
    default:
        return INT_MAX;
    }
}

// Reads a received array without trusting its counts: positions beyond its
// end read as 0, and a count is limited to the entries the array holds.
class CDefinitionReader {
public:
    explicit CDefinitionReader(std::span<const int> def) : m_def(def) {}

    int at(std::size_t index) const { return index < m_def.size() ? m_def[index] : 0; }

    // The count at countIndex, for entries that start at `first` and are
    // `stride` ints apart.
    int count(std::size_t countIndex, std::size_t first, std::size_t stride) const {
        const int stated = at(countIndex);
        if (stated <= 0 || m_def.size() <= first)
            return 0;
        const std::size_t held = (m_def.size() - first + stride - 1) / stride;
        return static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(stated), held));
    }

private:
    std::span<const int> m_def;
};

// A list of n key names from the codes starting at `first`, as the editor
// would have built it by appending.
CActionList codeList(const CAppState& state, const CDefinitionReader& in, std::size_t first, int n,
                     int sizeOfView) {
    CActionList list(sizeOfView);
    for (int i = 0; i < n; ++i)
        list.append(state.codeToItem(in.at(first + static_cast<std::size_t>(i))));
    return list;
}

// A macro's list: its events, and without automatic interval a delay text
// between each two of them. The delay after the last event never comes back.
CActionList macroList(const CAppState& state, const CDefinitionReader& in) {
    const bool autoInterval = in.at(3) == 0;
    CActionList list = autoInterval ? codeList(state, in, 6, in.count(5, 6, 1), 9) : CActionList(9);
    if (!autoInterval) {
        const int events = in.count(5, 6, 2);
        for (int i = 0; i < events; ++i) {
            const auto at = static_cast<std::size_t>(i);
            if (i > 0)
                list.append(talvik::text::delayText(in.at(5 + 2 * at)));
            list.append(state.codeToItem(in.at(6 + 2 * at)));
        }
    }
    list.PlayMode = in.at(1);
    list.Cycles = in.at(2);
    list.IsAutoInterval = autoInterval;
    list.Delay = in.at(4);
    return list;
}

} // namespace

bool CAppState::fitsRecord(int level, int key) const {
    if (!validSlot(key, level))
        return true;
    return fitsRecord(keyConfig.Mode[key][level], keyConfig.ComboKey[key][level]);
}

bool CAppState::fitsRecord(KeyMode mode, const CActionList& list) {
    return list.count() <= itemLimit(mode, list);
}

std::vector<int> CAppState::buildKeyDefinition(int level, int key) const {
    if (!validSlot(key, level))
        return {};
    const KeyMode mode = keyConfig.Mode[key][level];
    const CActionList& list = keyConfig.ComboKey[key][level];
    const int n = std::min(list.count(), itemLimit(mode, list));
    std::vector<int> def;
    auto appendItemValues = [&] {
        for (int i = 0; i < n; ++i)
            def.push_back(itemToCode(list.items()[static_cast<std::size_t>(i)]));
    };
    switch (mode) {
    case KeyMode::Combo:
        def = {kNormal, n};
        appendItemValues();
        return def;
    case KeyMode::Emulation:
        def = {kContinuous, list.Delay, n};
        appendItemValues();
        return def;
    case KeyMode::Macro: {
        // Without automatic interval the items alternate event and delay, and
        // the delays travel in place, after their events.
        const int events = list.IsAutoInterval ? n : (n + 1) / 2;
        def = {kMacro,
               list.PlayMode,
               list.PlayMode == 0 ? list.Cycles : 0,
               list.IsAutoInterval ? 0 : 1,
               list.IsAutoInterval ? list.Delay : 0,
               events};
        appendItemValues();
        return def;
    }
    default:
        break;
    }
    if (static_cast<int>(mode) <= 0)
        return {};
    const int code = keyConfig.HWCode[key][level];
    if (code == kDoubleClickCode)
        return {kNormal, 2, kLeftButtonCode, kLeftButtonCode};
    return {kNormal, 1, code};
}

void CAppState::applyKeyDefinition(int level, int key, std::span<const int> def) {
    if (!validSlot(key, level))
        return;
    const CDefinitionReader in(def);
    KeyMode& mode = keyConfig.Mode[key][level];
    CActionList& list = keyConfig.ComboKey[key][level];
    int& code = keyConfig.HWCode[key][level];
    switch (in.at(0)) {
    case kNormal: {
        const int n = in.count(1, 2, 1);
        if (n == 1) {
            code = in.at(2);
            mode = modeForHWCode(code);
        } else if (n == 2 && in.at(2) == kLeftButtonCode && in.at(3) == kLeftButtonCode) {
            code = kDoubleClickCode;
            mode = KeyMode::Mouse;
        } else if (n > 0) {
            list = codeList(*this, in, 2, n, 6);
            mode = KeyMode::Combo;
        }
        if (n > 0)
            return;
        break;
    }
    case kContinuous:
        if (const int n = in.count(2, 3, 1); n > 0) {
            list = codeList(*this, in, 3, n, 9);
            list.Delay = in.at(1);
            mode = KeyMode::Emulation;
            return;
        }
        break;
    case kMacro:
        if (in.count(5, 6, in.at(3) == 0 ? 1 : 2) > 0) {
            list = macroList(*this, in);
            mode = KeyMode::Macro;
            return;
        }
        break;
    default:
        break;
    }
    // Nothing the keyboard can play: the key is unassigned, and its previous
    // code and list stay for the editor to offer again.
    mode = KeyMode::NotSet;
}

void CAppState::writeKeysToLibrary(COrsaHWI& hwi) const {
    hwi.prepare();
    for (int level = 0; level < kLayerCount; ++level) {
        for (int key = 1; key <= kKeyCount; ++key) {
            std::vector<int> def = buildKeyDefinition(level, key);
            // A macro without events would travel as no record at all and
            // leave the keyboard's old definition in place; sending nothing
            // for it here makes the slot go out empty instead.
            if (def.empty() || (def[0] == kMacro && def[5] == 0))
                continue;
            hwi.setKeyConfiguration(level, key, def.data(), static_cast<int>(def.size()));
        }
    }
}

void CAppState::readKeysFromLibrary(COrsaHWI& hwi) {
    std::vector<int> buffer(kReadBufferInts);
    for (int level = 0; level < kLayerCount; ++level) {
        for (int key = 1; key <= kKeyCount; ++key) {
            std::fill_n(buffer.begin(), 6, 0);
            if (hwi.getKeyConfiguration(level, key, buffer.data(), static_cast<int>(buffer.size())))
                applyKeyDefinition(level, key, buffer);
        }
    }
}

} // namespace talvik::model
