#pragma once

#include "talvik/editor/CKeyMapPage.h"
#include "talvik/model/CKeyConfig.h"

#include "talvik/layout/KeySettingsLayout.h"

namespace talvik::editor {

// The Macro and Emulate pages: a library of named entries beside the content
// of the selected entry. This class shows both lists, selects, names, adds
// and removes entries; OK makes the session's working copy of the selected
// content the key's assignment.
// Recording and editing the content belong to the pages built on it: they
// derive from this class, take the clicks it does not know, the keystrokes,
// the right button, the number fields and the delay editor through the
// CKeyMapPage interface, and the dialog's constructor creates them.
class CLibraryPage : public CKeyMapPage {
public:
    struct Spec {
        keymap::KeyMapPage page; // Macro or Emulation
        int firstLibraryRow;     // 221, 321
        int firstEntryRow;       // 241, 341
        int newId;
        int removeId;
        model::KeyMode mode;
        layout::ControlPlace libraryBar;
        layout::ControlPlace entryBar;
    };

    CLibraryPage(IKeyMapHost& host, const Spec& spec);

    void shown() override;
    void refresh() override;
    void click(int id, int index) override;
    void commitRow(int index, const std::string& text) override;
    void scrolled(int control, int position) override;
    // The library and the selected entry's content.
    int listOf(int id) const override;
    std::optional<int> selectedRowId(int list) const override;
    void stepList(int list, int step) override;

protected:
    // Scroll bars after the library or the entry changed.
    void syncBars();

    Spec m_spec;
    model::CActionList& m_library;
    model::CActionList& m_entry;
    keymap::CLibraryView& m_entries;
};

} // namespace talvik::editor
