#pragma once

// One change of the configuration model, kept so that it can be undone and redone: what
// the parts it touched held before it and after it, and nothing of the parts it left alone.
//
// Lists are held through a CListPool, which keeps one copy of every distinct list alive
// while some change refers to it: opening the same profile a hundred times, or clearing
// it and opening it again, costs one copy of its lists, not one per step.

#include "talvik/model/CKeyConfig.h"

#include <array>
#include <cstddef>
#include <memory>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

namespace talvik::model {

// Equal in everything a list holds: items, children, view and play fields.
bool identicalLists(const CActionList& a, const CActionList& b);

class CListPool {
public:
    using Shared = std::shared_ptr<const CActionList>;

    // The pool's copy of a list identical to `list`, made now if there is none.
    Shared intern(const CActionList& list);
    // Distinct lists alive in the pool.
    std::size_t size();

private:
    static std::size_t hashOf(const CActionList& list);
    void dropExpired();

    std::unordered_multimap<std::size_t, std::weak_ptr<const CActionList>> m_lists;
    std::size_t m_internsSinceSweep = 0;
};

class CConfigChange {
public:
    // The difference between two configurations. An empty change when they are the same.
    static CConfigChange between(const CKeyConfig& before, const CKeyConfig& after,
                                 CListPool& pool);

    bool empty() const { return m_slots.empty() && m_collections.empty() && !m_lights; }
    // Whether it changes what a key write sends: the key assignments or the collections.
    bool touchesKeys() const { return !m_slots.empty() || !m_collections.empty(); }
    bool touchesLights() const { return m_lights.has_value(); }
    // The key slots it changes, as (key, layer).
    std::vector<std::pair<int, int>> changedSlots() const;

    // Puts the touched parts of `config` back as they were before, or as they were after.
    void undo(CKeyConfig& config) const { apply(config, false); }
    void redo(CKeyConfig& config) const { apply(config, true); }

private:
    struct SAssignment {
        KeyMode mode = KeyMode::NotSet;
        int hwCode = 0;
        CListPool::Shared list;
    };
    struct SSlot {
        int key = 0;
        int level = 0;
        SAssignment before, after;
    };
    using Lists = std::pair<CListPool::Shared, CListPool::Shared>; // before, after
    using Lights = std::array<LightArea, kKeyRows>;

    void apply(CKeyConfig& config, bool forward) const;

    std::vector<SSlot> m_slots;
    std::vector<std::pair<int, Lists>> m_collections; // collection index, before and after
    std::optional<std::pair<Lights, Lights>> m_lights;
};

} // namespace talvik::model
