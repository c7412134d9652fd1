#include "CSelectionPage.h"

namespace talvik::editor {

CSelectionPage::CSelectionPage(IKeyMapHost& host, keymap::KeyMapPage page)
    : CKeyMapPage(host), m_page(page) {}

bool CSelectionPage::isButton(const SkinElement& e) const {
    return !e.isLabel && e.code >= 0 && keymap::pageOwning(e.id) == m_page;
}

void CSelectionPage::refresh() {
    const int code = chosen();
    for (SkinElement& e : m_host.allElements()) {
        if (isButton(e)) {
            e.active = e.code == code;
        }
    }
}

void CSelectionPage::click(int id, int index) {
    (void)id;
    const SkinElement& button = m_host.elementAt(index);
    if (!isButton(button)) {
        return;
    }
    // The chosen button lets go when clicked again.
    chosen() = button.code == chosen() ? -1 : button.code;
    refresh();
}

} // namespace talvik::editor
