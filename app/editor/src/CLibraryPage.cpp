#include "CLibraryPage.h"

#include <QLineEdit>

namespace talvik::editor {
namespace {

namespace id = layout::keymap_id;
namespace control = layout::keymap_control;

} // namespace

CLibraryPage::CLibraryPage(IKeyMapHost& host, const Spec& spec)
    : CKeyMapPage(host), m_spec(spec),
      m_library(spec.page == keymap::KeyMapPage::Macro ? session().m_macroLibrary
                                                       : session().m_emuLibrary),
      m_entry(spec.page == keymap::KeyMapPage::Macro ? session().m_macro : session().m_emu),
      m_entries(session().library(spec.page)) {}

void CLibraryPage::shown() {
    QLineEdit& count = m_host.countEdit();
    const bool macro = m_spec.mode == model::KeyMode::Macro;
    count.setText(QString::number(macro ? m_entry.Cycles : m_entry.Delay));
    count.setEnabled(true);
    count.show();
    if (macro) {
        QLineEdit& interval = m_host.intervalEdit();
        interval.setText(QString::number(m_entry.Delay));
        interval.setEnabled(false);
        interval.show();
    }
    m_host.placeScrollBar(control::LibraryBar, m_spec.libraryBar);
    m_host.placeScrollBar(control::EntryBar, m_spec.entryBar);
    syncBars();
}

void CLibraryPage::syncBars() {
    m_host.syncScrollBar(control::LibraryBar, m_library);
    m_host.syncScrollBar(control::EntryBar, m_entry);
}

void CLibraryPage::refresh() {
    const text::Language language = m_host.language();
    showRows(m_entries);
    for (int row = 0; row < layout::kMacroRows; ++row) {
        SkinElement& e = m_host.element(m_spec.firstEntryRow + row);
        e.caption(language) = QString::fromStdString(m_entry.itemAtRow(row));
        e.active = row == m_entry.CursorPos && m_entry.ViewStartAt + row < m_entry.count();
    }
    if (m_spec.mode == model::KeyMode::Macro) {
        m_host.element(id::TimesPlayRadio).active = m_entry.PlayMode == 0;
        m_host.element(id::HeldPlayRadio).active = m_entry.PlayMode == 1;
        m_host.element(id::TogglePlayRadio).active = m_entry.PlayMode == 2;
        m_host.element(id::AutoDelayRadio).active = m_entry.IsAutoInterval;
        m_host.element(id::RecordDelayRadio).active = !m_entry.IsAutoInterval;
    }
}

void CLibraryPage::click(int elementId, int index) {
    const int row = m_entries.rowOf(elementId);
    if (row >= 0) {
        const auto result = m_entries.clickRow(row);
        if (result == keymap::CLibraryView::RowClick::Rename) {
            m_host.openInPlaceEditor(index, QString::fromStdString(m_library.itemAtRow(row)),
                                     false);
        }
        syncBars();
    } else if (elementId == m_spec.newId) {
        const std::string name = m_entries.addEntry(m_host.language());
        syncBars();
        m_host.refresh();
        const int selected = m_entries.selectedRow();
        if (selected >= 0) {
            m_host.openInPlaceEditor(m_host.indexOfKnownId(m_entries.rowId(selected)),
                                     QString::fromStdString(name), false);
        }
    } else if (elementId == m_spec.removeId && m_entries.hasEntries()) {
        m_entries.removeSelected();
        syncBars();
    }
}

void CLibraryPage::commitRow(int index, const std::string& text) {
    const int row = m_entries.rowOf(m_host.elementAt(index).id);
    if (row >= 0) {
        m_entries.rename(row, text);
    }
}

void CLibraryPage::scrolled(int control, int position) {
    if (control == control::LibraryBar) {
        m_entries.moveTo(position);
        syncBars();
    } else if (control == control::EntryBar) {
        m_entry.setCursor(position);
    }
}

int CLibraryPage::listOf(int elementId) const {
    if (m_entries.rowOf(elementId) >= 0) {
        return m_spec.firstLibraryRow;
    }
    const int row = elementId - m_spec.firstEntryRow;
    return row >= 0 && row < layout::kMacroRows ? m_spec.firstEntryRow : 0;
}

std::optional<int> CLibraryPage::selectedRowId(int list) const {
    if (list == m_spec.firstLibraryRow) {
        const int row = m_entries.selectedRow();
        return row >= 0 ? std::optional<int>(m_entries.rowId(row)) : std::nullopt;
    }
    const int row = m_entry.CursorPos;
    if (list != m_spec.firstEntryRow || row < 0 || row >= layout::kMacroRows ||
        m_entry.ViewStartAt + row >= m_entry.count()) {
        return std::nullopt;
    }
    return m_spec.firstEntryRow + row;
}

void CLibraryPage::stepList(int list, int step) {
    if (list == m_spec.firstLibraryRow) {
        m_entries.step(step);
    } else if (list == m_spec.firstEntryRow) {
        m_entry.stepCursor(step);
    } else {
        return;
    }
    syncBars();
}

} // namespace talvik::editor
