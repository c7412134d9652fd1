#pragma once

// What the key settings dialog edits for one key on one layer, and what its
// OK, Default and Clear do with the configuration model. The dialog's pages
// change the working copies as the user edits; nothing reaches the model
// before apply(), so a dialog that is cancelled leaves the model as it was.

#include "talvik/keymap/CLibraryView.h"
#include "talvik/keymap/KeyMapPage.h"
#include "talvik/model/CActionList.h"
#include "talvik/model/CKeyConfig.h"
#include "talvik/model/Forward.h"
#include "talvik/text/KeyTables.h"

#include "talvik/layout/KeySettingsLayout.h"

#include <array>
#include <cstdint>
#include <optional>

namespace talvik::keymap {

// One keystroke from the capture, after the Shift side has been resolved.
struct CHookKey {
    int vk = 0;        // virtual-key code
    int dir = 0;       // 0 press, 1 release
    int code = 0;      // (dir << 9) | vk; 269 for a press of the keypad Enter
    int elapsedMs = 0; // since the previous keystroke of the capture, at most 65535
};

// An entry of a 1024-entry code table; -1 for an index outside it.
inline int codeAt(const text::CodeTable& table, int index) {
    return index >= 0 && index < text::kCodeTableSize ? table[static_cast<std::size_t>(index)] : -1;
}

class CKeyMapSession {
public:
    // The Fn key's code: a key that is Fn is Fn on both layers.
    static constexpr int kFnCode = 156;

    explicit CKeyMapSession(model::CAppState& state);
    CKeyMapSession(const CKeyMapSession&) = delete;
    CKeyMapSession& operator=(const CKeyMapSession&) = delete;

    model::CAppState& state() { return m_state; }
    const model::CAppState& state() const { return m_state; }

    // Starts over for editKey on editLevel of the state, which stay the key
    // and layer edited until the next begin: fresh working copies, copies of
    // the model's three libraries, and the page and choice of the key's
    // assignment.
    void begin();
    int key() const { return m_key; }
    int level() const { return m_level; }
    // Default for a key whose default hardware code is `d` (-1: no key): the
    // code becomes the choice of its page, which is returned. A code no page
    // offers changes nothing and returns none. Nothing is applied.
    std::optional<KeyMapPage> presetDefault(int d);
    // Default for the key being edited.
    std::optional<KeyMapPage> presetKeyDefault();
    // Clear: Single with no key chosen; returns the page that shows it.
    KeyMapPage clear();
    // OK: the current page's choice becomes the key's assignment (any other
    // assignment is dropped) and the libraries go into the model. False, with
    // the model untouched, when there is no key to give a function to.
    bool apply();

    // The chosen code of a selection page (Multimedia, Mouse, Function,
    // Power); -1 while nothing is chosen.
    int& selectionCode(KeyMapPage page);
    // The library list of the Macro or the Emulate page.
    CLibraryView& library(KeyMapPage page);
    CLibraryView& combos() { return m_combos; }
    const CLibraryView& combos() const { return m_combos; }

    // The virtual-key code of hardware code `hw`; -1 for none or -1.
    int vkOfHWCode(int hw) const;
    // The hardware code of virtual-key code `vk` (bit 9, the release, ignored); -1 for -1.
    int hwCodeOfVk(int vk) const;

    // Whether any capture or recording runs.
    bool capturing() const;
    // A keystroke at `now` (steady clock, ns), timed against the previous one.
    CHookKey keystroke(int vk, int dir, int code, std::int64_t now) const;
    // The keystroke has been handled: the next one is timed from it.
    void keystrokeTaken(int code, std::int64_t now);
    // The next keystroke starts a capture afresh: nothing before it repeats
    // or times it.
    void forgetKeystrokes();

    // The working state, under the names the program has always used. The
    // pages read and change it directly as the user edits.
    KeyMapPage m_page = KeyMapPage::SingleCombo;
    bool m_isSingle = true;
    int m_singleCode = -1; // virtual-key code of the single key, bit 9 clear
    bool m_capturingSingle = false;
    bool m_capturingCombo = false;
    bool m_recordingMacro = false;
    bool m_recordingEmu = false;
    int m_lastCode = -1;
    std::int64_t m_lastEventTime = 0; // steady clock, ns; 0: no keystroke yet
    std::array<std::uint8_t, 256> m_keyIsDown{};
    int m_mediaCode = -1;
    int m_mouseCode = -1;
    int m_functionCode = -1;
    int m_powerCode = -1;
    model::CActionList m_comboLibrary{layout::kComboRows};
    model::CActionList m_combo{layout::kComboRows};
    model::CActionList m_macroLibrary{layout::kMacroRows};
    model::CActionList m_macro{layout::kMacroRows};
    model::CActionList m_emuLibrary{layout::kMacroRows};
    model::CActionList m_emu{layout::kMacroRows};

private:
    bool editsAKey() const;
    void resetWork();
    void loadLibraries();
    void presetFromAssignment();
    void applySingleCombo(std::size_t key, std::size_t level);
    void applyLibrary(model::KeyMode mode, std::size_t key, std::size_t level);
    void applySelection(model::KeyMode mode, std::size_t key, std::size_t level);

    model::CAppState& m_state;
    int m_key = -1;
    int m_level = 0;
    CLibraryView m_combos;
    CLibraryView m_macros;
    CLibraryView m_emus;
};

} // namespace talvik::keymap
