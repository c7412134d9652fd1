#include "talvik/keymap/CLibraryView.h"

namespace talvik::keymap {
namespace {
// A row far beyond any list: setItemAtRow appends there.
constexpr int kAppendRow = 200000;
} // namespace

CLibraryView::CLibraryView(model::CActionList& library, model::CActionList& entry, int firstRowId,
                           int rowCount, text::CollectionKind kind)
    : m_library(library), m_entry(entry), m_firstRowId(firstRowId), m_rowCount(rowCount),
      m_kind(kind) {}

void CLibraryView::load(const model::CActionList& collection) {
    m_library.assign(collection);
    m_library.SizeOfView = m_rowCount;
    loadSelected();
}

void CLibraryView::selectContent(const model::CActionList& content) {
    model::CActionList::selectOrAddDefault(m_library, content);
    loadSelected();
}

void CLibraryView::loadSelected() {
    m_entry = m_library.childAtRow(m_library.CursorPos);
    // A content list read from a profile may carry any view size; the
    // dialog shows an entry in as many rows as its library.
    m_entry.SizeOfView = m_rowCount;
}

void CLibraryView::writeBack() {
    m_library.setChildAtRow(m_library.CursorPos, m_entry);
}

int CLibraryView::rowOf(int id) const {
    const int row = id - m_firstRowId;
    return row >= 0 && row < m_rowCount ? row : -1;
}

int CLibraryView::selectedRow() const {
    const int row = m_library.CursorPos;
    const int index = m_library.ViewStartAt + row;
    const bool exists = index >= 0 && index < m_library.count();
    return exists && row >= 0 && row < m_rowCount ? row : -1;
}

CLibraryView::RowClick CLibraryView::clickRow(int row) {
    const int index = m_library.ViewStartAt + row;
    if (index < 0 || index >= m_library.count()) {
        return RowClick::Ignored;
    }
    writeBack();
    if (row == m_library.CursorPos) {
        return RowClick::Rename;
    }
    m_library.CursorPos = row;
    loadSelected();
    return RowClick::Selected;
}

std::string CLibraryView::addEntry(text::Language language) {
    // Whatever the working copy holds belongs to the entry selected so far.
    writeBack();
    m_library.setItemAtRow(kAppendRow, "");
    loadSelected();
    return model::CActionList::proposeEntryName(m_library, text::entryNameFormat(m_kind, language));
}

void CLibraryView::removeSelected() {
    if (selectedRow() >= 0) {
        m_library.removeItemAtRow(m_library.CursorPos);
    }
    loadSelected();
}

void CLibraryView::moveTo(int position) {
    writeBack();
    m_library.setCursor(position);
    loadSelected();
}

void CLibraryView::step(int step) {
    writeBack();
    m_library.stepCursor(step);
    loadSelected();
}

void CLibraryView::rename(int row, std::string_view name) {
    const int index = m_library.ViewStartAt + row;
    if (index >= 0 && index < m_library.count()) {
        m_library.setItemAtRow(row, name);
    }
}

std::string CLibraryView::nameAtRow(int row) const {
    return m_library.itemAtRow(row);
}

} // namespace talvik::keymap
