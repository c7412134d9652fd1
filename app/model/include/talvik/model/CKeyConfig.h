#pragma once

// The configuration model: what every key does on both layers, the three
// collections the key settings editor picks contents from, and the backlight
// colour of every key. Everything in it can be written into the keyboard or
// saved in a profile.

#include "talvik/model/CActionList.h"

#include <array>
#include <optional>

namespace talvik::model {

// Key numbers run 1..87; per-key tables have one row more so that they can be
// indexed by the key number. Row 0 carries no key and is never saved, written
// or shown. Layer index 0 is the top layer, 1 the Fn layer.
inline constexpr int kKeyCount = 87;
inline constexpr int kKeyRows = kKeyCount + 1;
inline constexpr int kLayerCount = 2;

// What kind of function one key has on one layer. Stored as the number in
// profiles, so the values are fixed.
enum class KeyMode : int {
    NotSet = 0,
    Single = 1,
    Combo = 2,
    Macro = 3,
    Emulation = 4,
    Multimedia = 5,
    Mouse = 6,
    Function = 7,
    Power = 8,
};

// Backlight colour of one key, each 0..255.
struct LightArea {
    int Red = 0;
    int Green = 0;
    int Blue = 0;
};

template <typename T> using PerKeyAndLayer = std::array<std::array<T, kLayerCount>, kKeyRows>;

// Members in the order in which the program has always kept them. In the list
// modes (Combo, Macro, Emulation) only ComboKey counts; in the other modes only
// HWCode does, and the other one keeps whatever it held.
struct CKeyConfig {
    CActionList PredefinedMacro;
    CActionList PredefinedCombo;
    CActionList PredefinedEmu;
    std::array<LightArea, kKeyRows> LightAreas{}; // index = key number
    PerKeyAndLayer<KeyMode> Mode{};               // [key][layer]
    PerKeyAndLayer<int> HWCode{};                 // hardware code of the key's function
    PerKeyAndLayer<CActionList> ComboKey{};       // the key's combo, macro or emulation content
};

// The modes whose content is the key's list rather than its hardware code.
inline bool isListMode(KeyMode mode) {
    return mode == KeyMode::Combo || mode == KeyMode::Macro || mode == KeyMode::Emulation;
}

// Whether a key does the same on a layer in both configurations: the same mode and, of
// what that mode uses, the same code or the same list content.
bool sameAssignment(const CKeyConfig& a, const CKeyConfig& b, int key, int level);

// What the keyboard holds as far as the program knows: the key assignments and the
// colours, each known or not. Only Mode, HWCode and ComboKey of `keys` count.
struct SKeyboardKnowledge {
    std::optional<CKeyConfig> keys;
    std::optional<std::array<LightArea, kKeyRows>> lights;

    // Whether the assignment in `config` differs from what the keyboard is known to hold;
    // false while the keys are not known.
    bool unwritten(const CKeyConfig& config, int key, int level) const {
        return keys && !sameAssignment(*keys, config, key, level);
    }
    void forget() {
        keys.reset();
        lights.reset();
    }
};

} // namespace talvik::model
