#pragma once

#include "talvik/model/CActionList.h"
#include "talvik/text/KeyTables.h"

#include <initializer_list>
#include <string>
#include <vector>

namespace talvik::test {

inline const talvik::text::KeyNameMap& keyNames() {
    static const talvik::text::KeyNameMap names = [] {
        talvik::text::KeyNameMap filled;
        talvik::text::fillKeyNames(filled);
        return filled;
    }();
    return names;
}

// A macro made of the given items, appended as the editor appends.
inline model::CActionList macroOf(std::initializer_list<const char*> items,
                                  bool autoInterval = false) {
    model::CActionList macro(9);
    for (const char* item : items)
        macro.append(item);
    macro.IsAutoInterval = autoInterval;
    return macro;
}

inline std::vector<std::string> itemsOf(std::initializer_list<const char*> items) {
    return {items.begin(), items.end()};
}

} // namespace talvik::test
