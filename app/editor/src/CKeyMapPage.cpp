#include "talvik/editor/CKeyMapPage.h"

namespace talvik::editor {

void CKeyMapPage::showRows(const keymap::CLibraryView& view) {
    const text::Language language = m_host.language();
    for (int row = 0; row < view.rowCount(); ++row) {
        SkinElement& e = m_host.element(view.rowId(row));
        e.caption(language) = QString::fromStdString(view.nameAtRow(row));
        // An empty row is never shown selected, not even under the cursor.
        e.active = row == view.selectedRow();
    }
}

} // namespace talvik::editor
