#include "CSelectionPage.h"

#include "talvik/editor/COrsaDialogKeyMapSettings.h"
#include "talvik/model/CAppState.h"

namespace talvik::editor {

CSelectionPage::CSelectionPage(COrsaDialogKeyMapSettings& dialog, int number, int& chosen,
                               model::KeyMode mode)
    : CKeyMapPage(dialog), m_number(number), m_chosen(chosen), m_mode(mode) {}

bool CSelectionPage::isButton(const SkinElement& e) const {
    return !e.isLabel && e.code >= 0 && layout::pageOfElement(e.id) == m_number;
}

void CSelectionPage::refresh() {
    for (SkinElement& e : m_dialog.elements()) {
        if (isButton(e)) {
            e.active = e.code == m_chosen;
        }
    }
}

void CSelectionPage::click(int id, int index) {
    (void)id;
    const SkinElement& button = m_dialog.elementAt(index);
    if (!isButton(button)) {
        return;
    }
    // The chosen button lets go when clicked again.
    m_chosen = button.code == m_chosen ? -1 : button.code;
    refresh();
}

void CSelectionPage::apply(model::CAppState& state, int key, int level) {
    if (m_chosen < 1) {
        return;
    }
    model::CKeyConfig& config = state.keyConfig;
    const auto k = static_cast<std::size_t>(key);
    config.HWCode[k][static_cast<std::size_t>(level)] = m_chosen;
    config.Mode[k][static_cast<std::size_t>(level)] = m_mode;
    if (m_mode == model::KeyMode::Function && m_chosen == kFnCode) {
        const auto other = static_cast<std::size_t>(1 - level);
        config.HWCode[k][other] = kFnCode;
        config.Mode[k][other] = model::KeyMode::Function;
    }
}

} // namespace talvik::editor
