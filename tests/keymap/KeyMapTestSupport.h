#pragma once

#include "model/ModelTestSupport.h"

#include "talvik/keymap/CKeyMapSession.h"
#include "talvik/model/CAppState.h"
#include "talvik/model/CKeyConfig.h"

#include <initializer_list>
#include <ostream>
#include <sstream>
#include <string>

namespace talvik::keymap {
inline void PrintTo(KeyMapPage page, std::ostream* os) {
    *os << "page " << static_cast<int>(page);
}
} // namespace talvik::keymap

namespace talvik::test {

inline model::CActionList listOf(std::initializer_list<const char*> items, int rows) {
    model::CActionList list(rows);
    for (const char* item : items) {
        list.append(item);
    }
    return list;
}

inline void dumpList(std::ostream& out, const model::CActionList& list) {
    out << '[' << list.SizeOfView << ' ' << list.ViewStartAt << ' ' << list.CursorPos << ' '
        << list.Cycles << ' ' << list.IsAutoInterval << ' ' << list.Delay << ' ' << list.PlayMode;
    for (std::size_t i = 0; i < list.items().size(); ++i) {
        out << " '" << list.items()[i] << '\'';
        if (i < list.children().size()) {
            dumpList(out, list.children()[i]);
        }
    }
    out << ']';
}

// Everything the key settings can change in the model, as text that compares
// whole and shows where two models differ.
inline std::string configDump(const model::CKeyConfig& config) {
    std::ostringstream out;
    for (const model::CActionList* library :
         {&config.PredefinedCombo, &config.PredefinedMacro, &config.PredefinedEmu}) {
        dumpList(out, *library);
        out << '\n';
    }
    for (int key = 0; key < model::kKeyRows; ++key) {
        for (int level = 0; level < model::kLayerCount; ++level) {
            out << key << '/' << level << ' ' << static_cast<int>(config.Mode[key][level]) << ' '
                << config.HWCode[key][level] << ' ';
            dumpList(out, config.ComboKey[key][level]);
            out << '\n';
        }
    }
    return out.str();
}

} // namespace talvik::test
