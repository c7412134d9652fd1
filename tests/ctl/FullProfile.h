#pragma once

// A configuration with every key assigned on both layers, cycling through
// every kind of assignment (single codes of each mode, combinations, macros
// with and without their own delays, emulations, the double click), and
// every key lit in its own colour. The tests and the benchmark write it.

#include "talvik/model/CAppState.h"

namespace talvik::test {

inline model::CActionList listOf(int sizeOfView, std::initializer_list<const char*> items) {
    model::CActionList list(sizeOfView);
    for (const char* item : items) {
        list.append(item);
    }
    return list;
}

inline void assignList(model::CAppState& state, int key, int level, model::KeyMode mode,
                       const model::CActionList& list) {
    state.keyConfig.Mode[key][level] = mode;
    state.keyConfig.HWCode[key][level] = 0;
    state.keyConfig.ComboKey[key][level].assign(list);
}

inline void assignCode(model::CAppState& state, int key, int level, int code) {
    state.keyConfig.Mode[key][level] =
        code == 199 ? model::KeyMode::Mouse : model::CAppState::modeForHWCode(code);
    state.keyConfig.HWCode[key][level] = code;
}

inline void assignEveryKey(model::CAppState& state) {
    for (int key = 1; key <= model::kKeyCount; ++key) {
        for (int level = 0; level < model::kLayerCount; ++level) {
            switch ((key * 2 + level) % 6) {
            case 0:
                assignCode(state, key, level, 4 + key % 60);
                break;
            case 1:
                assignList(state, key, level, model::KeyMode::Combo,
                           listOf(6, {"Left CTRL", "SHIFT", "K"}));
                break;
            case 2: {
                model::CActionList macro = listOf(9, {"A Down", "A UP", "B", "C", "D"});
                macro.IsAutoInterval = true;
                macro.Delay = 15;
                macro.Cycles = 3;
                assignList(state, key, level, model::KeyMode::Macro, macro);
                break;
            }
            case 3: {
                model::CActionList macro = listOf(9, {"A Down", "<30 ms>", "A UP", "<50 ms>", "B"});
                macro.PlayMode = 1;
                assignList(state, key, level, model::KeyMode::Macro, macro);
                break;
            }
            case 4: {
                model::CActionList emulation = listOf(9, {"H", "E", "L", "L", "O"});
                emulation.Delay = 120;
                assignList(state, key, level, model::KeyMode::Emulation, emulation);
                break;
            }
            default:
                assignCode(state, key, level, key % 3 == 0 ? 110 : key % 3 == 1 ? 199 : 150);
                break;
            }
        }
        state.keyConfig.LightAreas[key] = {key * 2 % 256, 255 - key, key % 7 * 30};
    }
}

} // namespace talvik::test
