// Key definition arrays: the flat int form in which the program hands one
// key's definition to the library and gets it back.

#include "KeyDefinition.h"

#include <algorithm>

namespace talvik::hwi {

namespace {

constexpr int kMacroHead = 6; // kind, play mode, cycles, timing mode, interval, n

std::vector<int> codesFrom(const int* first, int count) {
    return count > 0 ? std::vector<int>(first, first + count) : std::vector<int>{};
}

// True when the `count` ints of the array hold the head and the `items` ints
// its n announces: an n larger than the array would have us read past its end.
bool holds(int count, int head, long long items) {
    return count >= head && items <= count - head;
}

// The ints a macro's events take: a timed array may end after the last code.
long long macroItems(const int* def) {
    const long long events = std::max(def[5], 0);
    if (def[3] != 1) {
        return events;
    }
    return events == 0 ? 0 : 2 * events - 1;
}

std::unique_ptr<CKeyDefine> macroFromArray(int layer, int key, const int* def, int count) {
    auto macro = std::make_unique<CMacroKeyDefine>(key, layer, kTypeMacroFirst + def[1]);
    macro->m_cycles = def[2];
    macro->m_timingMode = def[3];
    macro->m_interval = def[4];
    const int events = std::max(def[5], 0);
    macro->resizeEvents(events);
    for (int i = 0; i < events; ++i) {
        auto at = static_cast<std::size_t>(i);
        if (macro->m_timingMode == 1) {
            macro->m_keyCodes[at] = def[kMacroHead + 2 * i];
            // The program ends its arrays after the last event's code.
            int delayAt = kMacroHead + 2 * i + 1;
            macro->m_delays[at] = delayAt < count ? def[delayAt] : 0;
        } else {
            macro->m_keyCodes[at] = def[kMacroHead + i];
        }
    }
    return macro;
}

bool normalToArray(const std::vector<int>& codes, int* out, int head, int capacity) {
    int n = static_cast<int>(codes.size());
    if (head + n > capacity) {
        return false;
    }
    out[head - 1] = n;
    std::copy(codes.begin(), codes.end(), out + head);
    return true;
}

bool macroToArray(const CMacroKeyDefine& macro, int* out, int capacity) {
    if (capacity < kMacroHead) {
        return false;
    }
    const bool timed = macro.m_timingMode == 1;
    const int perEvent = timed ? 2 : 1;
    // A macro read from the keyboard may hold more events than the caller's
    // array: hand back the ones that fit rather than write past its end.
    const int events =
        std::min(macro.eventCount(), (capacity - kMacroHead + (timed ? 1 : 0)) / perEvent);
    out[0] = kKindMacro;
    out[1] = macro.type() - kTypeMacroFirst;
    out[2] = macro.m_cycles;
    out[3] = macro.m_timingMode;
    out[4] = macro.m_interval;
    out[5] = events;
    for (int i = 0; i < events; ++i) {
        auto at = static_cast<std::size_t>(i);
        if (!timed) {
            out[kMacroHead + i] = macro.m_keyCodes[at];
            continue;
        }
        out[kMacroHead + 2 * i] = macro.m_keyCodes[at];
        if (i + 1 < events) { // no delay after the last event
            out[kMacroHead + 2 * i + 1] = macro.m_delays[at];
        }
    }
    return true;
}

} // namespace

std::unique_ptr<CKeyDefine> keyDefineFromArray(int layerIndex, int key, const int* def, int count) {
    if (def == nullptr || count < 1) {
        return nullptr;
    }
    const int layer = layerIndex + 1;
    switch (def[0]) {
    case kTypeNormal: {
        if (!holds(count, 2, count >= 2 ? def[1] : 0)) {
            return nullptr;
        }
        auto normal = std::make_unique<CNormalKeyDefine>(key, layer);
        normal->m_keyCodes = codesFrom(def + 2, def[1]);
        return normal;
    }
    case kTypeContinuous: {
        if (!holds(count, 3, count >= 3 ? def[2] : 0)) {
            return nullptr;
        }
        auto continuous = std::make_unique<CContinousKeyDefine>(key, layer);
        continuous->m_interval = def[1];
        continuous->m_keyCodes = codesFrom(def + 3, def[2]);
        return continuous;
    }
    case kKindMacro:
        // The play mode becomes the record's type: outside 0..2 it would name
        // a type the keyboard does not know (or overflow on the way there).
        if (!holds(count, kMacroHead, count >= kMacroHead ? macroItems(def) : 0) || def[1] < 0 ||
            def[1] > kTypeMacroLast - kTypeMacroFirst) {
            return nullptr;
        }
        return macroFromArray(layer, key, def, count);
    default:
        return nullptr;
    }
}

bool keyDefineToArray(const CKeyDefine& define, int* out, int capacity) {
    if (out == nullptr) {
        return false;
    }
    switch (define.type()) {
    case kTypeNormal:
        if (capacity < 2) {
            return false;
        }
        out[0] = kTypeNormal;
        return normalToArray(static_cast<const CNormalKeyDefine&>(define).m_keyCodes, out, 2,
                             capacity);
    case kTypeContinuous: {
        if (capacity < 3) {
            return false;
        }
        const auto& continuous = static_cast<const CContinousKeyDefine&>(define);
        out[0] = kTypeContinuous;
        out[1] = continuous.m_interval;
        return normalToArray(continuous.m_keyCodes, out, 3, capacity);
    }
    default:
        return macroToArray(static_cast<const CMacroKeyDefine&>(define), out, capacity);
    }
}

} // namespace talvik::hwi
