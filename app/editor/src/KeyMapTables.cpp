#include "KeyMapTables.h"

#include "talvik/layout/KeySettingsLayout.h"

namespace talvik::editor {

std::vector<SkinElement> keyMapTable() {
    // Built once: the dialog opens often, and the table never changes.
    static const std::vector<SkinElement> built = [] {
        std::vector<SkinElement> table(static_cast<std::size_t>(layout::kKeyMapElementCount));
        for (const layout::ElementSpec& spec : layout::keyMapElements()) {
            table.at(static_cast<std::size_t>(spec.slot)) = makeSkinElement(spec);
        }
        return table;
    }();
    return built;
}

} // namespace talvik::editor
