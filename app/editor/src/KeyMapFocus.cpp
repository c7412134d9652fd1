// The key settings dialog from the keyboard: the page's lists as one Tab
// stop each, their selection under the arrow keys, and Ctrl+Tab through the
// pages.

#include "talvik/editor/COrsaDialogKeyMapSettings.h"

#include <QKeyEvent>

#include <algorithm>

namespace talvik::editor {
namespace {

namespace id = layout::keymap_id;

} // namespace

int COrsaDialogKeyMapSettings::focusGroup(const SkinElement& e) const {
    if (layout::pageOfElement(e.id) == 0) {
        return 0;
    }
    return m_pages[keymap::pageIndex(m_session.m_page)]->listOf(e.id);
}

int COrsaDialogKeyMapSettings::groupEntry(int group, std::span<const int> members) const {
    const CKeyMapPage& page = *m_pages[keymap::pageIndex(m_session.m_page)];
    if (const std::optional<int> selected = page.selectedRowId(group)) {
        const int index = indexOfId(*selected);
        if (std::find(members.begin(), members.end(), index) != members.end()) {
            return index;
        }
    }
    return CSkinWindow::groupEntry(group, members);
}

bool COrsaDialogKeyMapSettings::stepFocusedList(const QKeyEvent& event) {
    const bool up = event.key() == Qt::Key_Up;
    if ((!up && event.key() != Qt::Key_Down) ||
        (event.modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier || childHoldsFocus()) {
        return false;
    }
    const int focused = focusedElement();
    const int list = focused >= 0 ? focusGroup(elementAt(focused)) : 0;
    if (list == 0 || !isShown(elementAt(focused))) {
        return false;
    }
    CKeyMapPage& page = currentPage();
    page.stepList(list, up ? -1 : 1);
    refresh();
    update();
    const std::optional<int> selected = page.selectedRowId(list);
    // An empty list has no selection: the focus stays where it is.
    focusElement(selected ? indexOfKnownId(*selected) : focused, true);
    return true;
}

void COrsaDialogKeyMapSettings::turnPage(int step) {
    const int count = keymap::kKeyMapPageCount;
    const int at = static_cast<int>(keymap::pageIndex(m_session.m_page));
    const int next = (at + step % count + count) % count;
    const int tab = indexOfKnownId(id::FirstTab + next);
    flushPendingClick();
    dispatchClick(tab);
    if (keymap::pageIndex(m_session.m_page) == static_cast<std::size_t>(next)) {
        focusElement(tab, true);
    }
}

} // namespace talvik::editor
