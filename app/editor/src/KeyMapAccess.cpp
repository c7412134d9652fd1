// What screen readers learn of the key settings dialog.

#include "talvik/editor/COrsaDialogKeyMapSettings.h"

#include "talvik/layout/KeySettingsLayout.h"

#include <array>

namespace talvik::editor {

namespace id = layout::keymap_id;

namespace {

bool isRadio(int elementId) {
    constexpr std::array kRadios{id::SingleRadio,     id::ComboRadio,    id::TimesPlayRadio,
                                 id::AutoDelayRadio,  id::HeldPlayRadio, id::TogglePlayRadio,
                                 id::RecordDelayRadio};
    for (const int radio : kRadios) {
        if (radio == elementId) {
            return true;
        }
    }
    return false;
}

} // namespace

shell::SElementAccess COrsaDialogKeyMapSettings::accessOf(int index) const {
    shell::SElementAccess access = CSkinWindow::accessOf(index);
    const SkinElement& e = elements()[static_cast<std::size_t>(index)];
    if (access.role == QAccessible::NoRole) {
        return access;
    }
    if (e.id >= id::FirstTab && e.id < id::FirstTab + 7) {
        access.role = QAccessible::PageTab;
        access.checkable = true;
        access.checked =
            keymap::pageIndex(m_session.m_page) == static_cast<std::size_t>(e.id - id::FirstTab);
    } else if (isRadio(e.id)) {
        access.role = QAccessible::RadioButton;
        access.checkable = true;
        access.checked = e.active;
    } else if (e.isListRow) {
        if (e.captionIn(language()).trimmed().isEmpty()) {
            return {}; // a row of the list's empty end
        }
        access.role = QAccessible::ListItem;
        access.checkable = false;
        access.checked = e.active;
    }
    return access;
}

} // namespace talvik::editor
