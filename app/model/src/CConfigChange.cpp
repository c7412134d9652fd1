#include "talvik/model/CConfigChange.h"

#include <algorithm>
#include <functional>
#include <string_view>

namespace talvik::model {
namespace {

// The three collections in a fixed order.
constexpr std::array<CActionList CKeyConfig::*, 3> kCollections = {
    &CKeyConfig::PredefinedMacro, &CKeyConfig::PredefinedCombo, &CKeyConfig::PredefinedEmu};

bool sameFields(const CActionList& a, const CActionList& b) {
    return a.SizeOfView == b.SizeOfView && a.ViewStartAt == b.ViewStartAt &&
           a.CursorPos == b.CursorPos && a.Cycles == b.Cycles &&
           a.IsAutoInterval == b.IsAutoInterval && a.Delay == b.Delay &&
           a.PlayMode == b.PlayMode;
}

bool sameLights(const std::array<LightArea, kKeyRows>& a, const std::array<LightArea, kKeyRows>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), [](const LightArea& x, const LightArea& y) {
        return x.Red == y.Red && x.Green == y.Green && x.Blue == y.Blue;
    });
}

void mix(std::size_t& hash, std::size_t value) {
    hash ^= value + 0x9E3779B97F4A7C15ull + (hash << 6) + (hash >> 2);
}

} // namespace

bool identicalLists(const CActionList& a, const CActionList& b) {
    if (&a == &b) {
        return true;
    }
    if (!sameFields(a, b) || a.items() != b.items() ||
        a.children().size() != b.children().size()) {
        return false;
    }
    return std::equal(a.children().begin(), a.children().end(), b.children().begin(),
                      [](const CActionList& x, const CActionList& y) { return identicalLists(x, y); });
}

std::size_t CListPool::hashOf(const CActionList& list) {
    std::size_t hash = list.items().size();
    for (int field : {list.SizeOfView, list.ViewStartAt, list.CursorPos, list.Cycles,
                      static_cast<int>(list.IsAutoInterval), list.Delay, list.PlayMode}) {
        mix(hash, static_cast<std::size_t>(field));
    }
    for (const std::string& item : list.items()) {
        mix(hash, std::hash<std::string_view>{}(item));
    }
    for (const CActionList& child : list.children()) {
        mix(hash, hashOf(child));
    }
    return hash;
}

CListPool::Shared CListPool::intern(const CActionList& list) {
    // Lists no change refers to any more are swept out now and then, so the pool's own
    // entries stay in proportion to what is alive.
    if (++m_internsSinceSweep > 4 * m_lists.size() + 1024) {
        dropExpired();
    }
    const std::size_t hash = hashOf(list);
    auto [first, last] = m_lists.equal_range(hash);
    for (auto it = first; it != last; ++it) {
        if (Shared alive = it->second.lock(); alive && identicalLists(*alive, list)) {
            return alive;
        }
    }
    Shared made = std::make_shared<const CActionList>(list);
    m_lists.emplace(hash, made);
    return made;
}

std::size_t CListPool::size() {
    dropExpired();
    return m_lists.size();
}

void CListPool::dropExpired() {
    std::erase_if(m_lists, [](const auto& entry) { return entry.second.expired(); });
    m_internsSinceSweep = 0;
}

CConfigChange CConfigChange::between(const CKeyConfig& before, const CKeyConfig& after,
                                     CListPool& pool) {
    CConfigChange change;
    for (int key = 1; key < kKeyRows; ++key) {
        for (int level = 0; level < kLayerCount; ++level) {
            const CActionList& was = before.ComboKey[key][level];
            const CActionList& is = after.ComboKey[key][level];
            if (before.Mode[key][level] == after.Mode[key][level] &&
                before.HWCode[key][level] == after.HWCode[key][level] && identicalLists(was, is)) {
                continue;
            }
            change.m_slots.push_back(
                {key, level,
                 {before.Mode[key][level], before.HWCode[key][level], pool.intern(was)},
                 {after.Mode[key][level], after.HWCode[key][level], pool.intern(is)}});
        }
    }
    for (std::size_t i = 0; i < kCollections.size(); ++i) {
        const CActionList& was = before.*kCollections[i];
        const CActionList& is = after.*kCollections[i];
        if (!identicalLists(was, is)) {
            change.m_collections.emplace_back(static_cast<int>(i),
                                              Lists{pool.intern(was), pool.intern(is)});
        }
    }
    if (!sameLights(before.LightAreas, after.LightAreas)) {
        change.m_lights.emplace(before.LightAreas, after.LightAreas);
    }
    return change;
}

std::vector<std::pair<int, int>> CConfigChange::changedSlots() const {
    std::vector<std::pair<int, int>> slots;
    slots.reserve(m_slots.size());
    for (const SSlot& slot : m_slots) {
        slots.emplace_back(slot.key, slot.level);
    }
    return slots;
}

void CConfigChange::apply(CKeyConfig& config, bool forward) const {
    for (const SSlot& slot : m_slots) {
        const SAssignment& to = forward ? slot.after : slot.before;
        config.Mode[slot.key][slot.level] = to.mode;
        config.HWCode[slot.key][slot.level] = to.hwCode;
        config.ComboKey[slot.key][slot.level] = *to.list;
    }
    for (const auto& [index, lists] : m_collections) {
        config.*kCollections[static_cast<std::size_t>(index)] = forward ? *lists.second : *lists.first;
    }
    if (m_lights) {
        config.LightAreas = forward ? m_lights->second : m_lights->first;
    }
}

} // namespace talvik::model
