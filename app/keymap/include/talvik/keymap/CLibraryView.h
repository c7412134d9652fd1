#pragma once

#include "talvik/model/CActionList.h"
#include "talvik/text/Language.h"

#include <string>
#include <string_view>

namespace talvik::keymap {

// A library list of the key settings session: a collection whose entry names
// fill `rowCount` row elements from `firstRowId`, and the working copy of the
// selected entry's content. The working copy always belongs to the entry under
// the cursor: whatever moves the cursor writes it back first and loads the
// entry it lands on, so no entry ever receives another entry's content.
class CLibraryView {
public:
    CLibraryView(model::CActionList& library, model::CActionList& entry, int firstRowId,
                 int rowCount, text::CollectionKind kind);

    // Takes a copy of the model's collection and loads its selected entry.
    void load(const model::CActionList& collection);
    // Selects the entry whose content equals `content`, adding "default" for
    // it when there is none, and loads it.
    void selectContent(const model::CActionList& content);
    // Writes the working copy into the entry under the cursor, if there is one.
    void writeBack();

    bool hasEntries() const { return !m_library.empty(); }
    // The row (0..rowCount-1) of element id `id`, or -1.
    int rowOf(int id) const;
    // The element id of row `row`.
    int rowId(int row) const { return m_firstRowId + row; }
    // The row of the selected entry, or -1 when no row shows it.
    int selectedRow() const;

    enum class RowClick { Ignored, Selected, Rename };
    // A click on `row`: nothing past the end; the row already selected is
    // renamed; any other row is selected and its entry loaded.
    RowClick clickRow(int row);
    // Appends an unnamed entry, selects and loads it; returns the name to
    // propose for it in `language`.
    std::string addEntry(text::Language language);
    // Removes the selected entry and loads the one the cursor lands on.
    void removeSelected();
    // The library's scroll bar moved to `position` (an item index).
    void moveTo(int position);
    // The arrow keys: selects the entry `step` entries on from the selected
    // one and loads it, the rows scrolling only as far as they must.
    void step(int step);
    // Gives the entry shown in `row` its name; a row without an entry stays as it is.
    void rename(int row, std::string_view name);

    int rowCount() const { return m_rowCount; }
    // The name shown in `row`, empty past the end.
    std::string nameAtRow(int row) const;

private:
    void loadSelected();

    model::CActionList& m_library;
    model::CActionList& m_entry;
    int m_firstRowId;
    int m_rowCount;
    text::CollectionKind m_kind;
};

} // namespace talvik::keymap
