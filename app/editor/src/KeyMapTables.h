#pragma once

#include "talvik/shell/SkinElement.h"

#include <vector>

namespace talvik::editor {

// The dialog's element table: every slot of the layout, empty slots after.
std::vector<SkinElement> keyMapTable();

} // namespace talvik::editor
