#include "CLibraryPage.h"

#include "talvik/editor/COrsaDialogKeyMapSettings.h"
#include "talvik/model/CAppState.h"

#include <QLineEdit>

namespace talvik::editor {
namespace {

namespace id = layout::keymap_id;
namespace control = layout::keymap_control;

} // namespace

CLibraryPage::CLibraryPage(COrsaDialogKeyMapSettings& dialog, const Spec& spec,
                           model::CActionList& library, model::CActionList& entry)
    : CKeyMapPage(dialog), m_spec(spec), m_library(library), m_entry(entry),
      m_entries(library, entry, spec.firstLibraryRow, layout::kMacroRows, spec.kind) {}

void CLibraryPage::shown() {
    QLineEdit& count = m_dialog.countEdit();
    const bool macro = m_spec.mode == model::KeyMode::Macro;
    count.setText(QString::number(macro ? m_entry.Cycles : m_entry.Delay));
    count.setEnabled(true);
    count.show();
    if (macro) {
        QLineEdit& interval = m_dialog.intervalEdit();
        interval.setText(QString::number(m_entry.Delay));
        interval.setEnabled(false);
        interval.show();
    }
    m_dialog.placeScrollBar(control::LibraryBar, m_spec.libraryBar);
    m_dialog.placeScrollBar(control::EntryBar, m_spec.entryBar);
    syncBars();
}

void CLibraryPage::syncBars() {
    m_dialog.syncScrollBar(control::LibraryBar, m_library);
    m_dialog.syncScrollBar(control::EntryBar, m_entry);
}

void CLibraryPage::refresh() {
    const std::string& language = m_dialog.language();
    m_entries.refreshRows(m_dialog, language);
    for (int row = 0; row < layout::kMacroRows; ++row) {
        SkinElement& e = m_dialog.element(m_spec.firstEntryRow + row);
        e.captions[language] = QString::fromStdString(m_entry.itemAtRow(row));
        e.active = row == m_entry.CursorPos && m_entry.ViewStartAt + row < m_entry.count();
    }
    if (m_spec.mode == model::KeyMode::Macro) {
        m_dialog.element(id::TimesPlayRadio).active = m_entry.PlayMode == 0;
        m_dialog.element(id::HeldPlayRadio).active = m_entry.PlayMode == 1;
        m_dialog.element(id::TogglePlayRadio).active = m_entry.PlayMode == 2;
        m_dialog.element(id::AutoDelayRadio).active = m_entry.IsAutoInterval;
        m_dialog.element(id::RecordDelayRadio).active = !m_entry.IsAutoInterval;
    }
}

void CLibraryPage::click(int elementId, int index) {
    const int row = m_entries.rowOf(elementId);
    if (row >= 0) {
        const auto result = m_entries.clickRow(row);
        if (result == CLibraryView::RowClick::Rename) {
            m_dialog.openInPlaceEditor(index, QString::fromStdString(m_library.itemAtRow(row)));
        }
        syncBars();
    } else if (elementId == m_spec.newId) {
        const std::string name = m_entries.addEntry(m_dialog.language());
        syncBars();
        m_dialog.refresh();
        const int selected = m_entries.selectedRow();
        if (selected >= 0) {
            m_dialog.openInPlaceEditor(m_dialog.indexOfId(m_entries.rowId(selected)),
                                       QString::fromStdString(name));
        }
    } else if (elementId == m_spec.removeId && m_entries.hasEntries()) {
        m_entries.removeSelected();
        syncBars();
    }
}

void CLibraryPage::commitRow(int index, const std::string& text) {
    const int row = m_entries.rowOf(m_dialog.elementAt(index).id);
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

void CLibraryPage::apply(model::CAppState& state, int key, int level) {
    model::CKeyConfig& config = state.keyConfig;
    const auto k = static_cast<std::size_t>(key);
    const auto l = static_cast<std::size_t>(level);
    if (!m_entry.empty()) {
        config.ComboKey[k][l].assign(m_entry);
        config.Mode[k][l] = m_spec.mode;
        config.HWCode[k][l] = 0;
    }
    m_entries.writeBack();
    (config.*m_spec.collection).assign(m_library);
}

} // namespace talvik::editor
