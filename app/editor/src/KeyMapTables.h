#pragma once

#include "talvik/shell/SkinElement.h"
#include "talvik/text/KeyTables.h"

#include <vector>

namespace talvik::editor {

// The dialog's element table: every slot of the layout, empty slots after.
std::vector<SkinElement> keyMapTable();

// An entry of a 1024-entry code table; -1 for an index outside it.
inline int codeAt(const text::CodeTable& table, int index) {
    return index >= 0 && index < text::kCodeTableSize ? table[static_cast<std::size_t>(index)] : -1;
}

} // namespace talvik::editor
