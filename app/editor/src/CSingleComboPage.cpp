#include "CSingleComboPage.h"

#include "talvik/model/CAppState.h"
#include "talvik/shell/CInfoBox.h"

#include <QStringList>

#include <algorithm>

namespace talvik::editor {
namespace {

namespace id = layout::keymap_id;
namespace control = layout::keymap_control;

QString joinedCombo(const model::CActionList& combo) {
    QStringList names;
    for (const std::string& item : combo.items()) {
        names << QString::fromStdString(item);
    }
    return names.join(QStringLiteral(" + "));
}

} // namespace

CSingleComboPage::CSingleComboPage(IKeyMapHost& host) : CKeyMapPage(host) {}

void CSingleComboPage::shown() {
    m_host.comboText().setEnabled(true);
    m_host.comboText().show();
    m_host.placeScrollBar(control::LibraryBar, layout::kComboBarPlace);
    syncBar();
}

void CSingleComboPage::syncBar() {
    m_host.syncScrollBar(control::LibraryBar, session().m_comboLibrary);
}

void CSingleComboPage::refresh() {
    const keymap::CKeyMapSession& s = session();
    // The radios and their labels always show the session's one choice.
    m_host.element(id::SingleRadio).active = s.m_isSingle;
    m_host.element(id::SingleLabel).active = s.m_isSingle;
    m_host.element(id::ComboRadio).active = !s.m_isSingle;
    m_host.element(id::ComboLabel).active = !s.m_isSingle;
    showRows(combos());
    m_host.element(id::SingleKeyName).caption(m_host.language()) =
        QString::fromStdString(s.state().keyEventName(s.m_singleCode, false));
    m_host.comboText().setTextIfChanged(joinedCombo(s.m_combo));
}

void CSingleComboPage::click(int elementId, int index) {
    const int row = combos().rowOf(elementId);
    if (row >= 0) {
        clickComboRow(row, index);
        return;
    }
    switch (elementId) {
    case id::SingleRadio:
    case id::ComboRadio:
        flipRadios();
        break;
    case id::RecordSingle:
        recordSingle();
        break;
    case id::VirtualSingle:
        virtualSingle();
        break;
    case id::NewCombo:
        newCombo();
        break;
    case id::DeleteCombo:
        deleteCombo();
        break;
    case id::RecordCombo:
        recordCombo();
        break;
    case id::VirtualCombo:
        virtualCombo();
        break;
    }
}

void CSingleComboPage::flipRadios() {
    // Either radio flips the choice, also the one already chosen.
    keymap::CKeyMapSession& s = session();
    s.m_isSingle = !s.m_isSingle;
    s.m_capturingSingle = false;
    s.m_capturingCombo = false;
}

void CSingleComboPage::setRecording(int button, int recordLabel, int stopLabel, bool on) {
    m_host.element(button).active = on;
    m_host.element(recordLabel).visible = !on;
    m_host.element(stopLabel).visible = on;
}

void CSingleComboPage::recordSingle() {
    keymap::CKeyMapSession& s = session();
    if (!s.m_isSingle) {
        return;
    }
    const bool on = !m_host.element(id::RecordSingle).active;
    setRecording(id::RecordSingle, id::RecordSingleLabel, id::StopSingleLabel, on);
    s.m_capturingSingle = on;
    if (!on) {
        m_host.stopCapture();
        return;
    }
    s.m_keyIsDown.fill(0);
    s.forgetKeystrokes();
    m_host.startCapture();
}

void CSingleComboPage::recordCombo() {
    keymap::CKeyMapSession& s = session();
    if (!combos().hasEntries() || s.m_isSingle) {
        return;
    }
    const bool on = !m_host.element(id::RecordCombo).active;
    setRecording(id::RecordCombo, id::RecordComboLabel, id::StopComboLabel, on);
    s.m_capturingCombo = on;
    s.forgetKeystrokes();
    if (!on) {
        m_host.stopCapture();
        combos().writeBack();
        return;
    }
    s.m_keyIsDown.fill(0);
    s.m_combo.clear();
    m_host.startCapture();
}

bool CSingleComboPage::capturing() const {
    return session().m_capturingSingle || session().m_capturingCombo;
}

CaptureClick CSingleComboPage::interruptCapture(int elementId) {
    if (session().m_capturingSingle) {
        if (elementId == id::VirtualSingle) {
            return CaptureClick::NotStopped;
        }
        stopSingle();
        return CaptureClick::StoppedGoesOn;
    }
    if (session().m_capturingCombo) {
        if (elementId == id::VirtualCombo) {
            return CaptureClick::NotStopped;
        }
        stopCombo();
        return CaptureClick::StoppedGoesOn;
    }
    return CaptureClick::NotStopped;
}

void CSingleComboPage::stopSingle() {
    m_host.stopCapture();
    session().m_capturingSingle = false;
    setRecording(id::RecordSingle, id::RecordSingleLabel, id::StopSingleLabel, false);
}

void CSingleComboPage::stopCombo() {
    m_host.stopCapture();
    combos().writeBack();
    session().m_capturingCombo = false;
    setRecording(id::RecordCombo, id::RecordComboLabel, id::StopComboLabel, false);
}

void CSingleComboPage::abandonCapture() {
    if (session().m_capturingSingle) {
        stopSingle();
    }
    if (session().m_capturingCombo) {
        stopCombo();
    }
}

void CSingleComboPage::hookKey(const CHookKey& key) {
    keymap::CKeyMapSession& s = session();
    // A held key repeats its press: it counts again only after its release.
    if (key.dir != 0 || key.code == s.m_lastCode) {
        return;
    }
    if (s.m_capturingSingle) {
        captureSingleKey(key.code);
    } else if (s.m_capturingCombo && s.m_combo.count() < kMaxComboKeys) {
        s.m_combo.append(s.state().keyEventName(key.code, false));
        m_host.redraw();
    }
}

void CSingleComboPage::captureSingleKey(int code) {
    keymap::CKeyMapSession& s = session();
    const int h = s.hwCodeOfVk(code);
    s.m_singleCode = s.vkOfHWCode(h);
    m_host.redraw();
    // Every key goes on replacing the single key while the box is open; one
    // box at a time is enough to say that a key does not map back to itself.
    if (s.m_singleCode != code && !m_showingMismatch) {
        m_showingMismatch = true;
        m_host.showMessage(QStringLiteral("a=%1, b=%2, c=%3").arg(code).arg(h).arg(s.m_singleCode));
        m_showingMismatch = false;
    }
}

void CSingleComboPage::virtualSingle() {
    keymap::CKeyMapSession& s = session();
    if (!s.m_isSingle || capturing()) {
        return;
    }
    model::CAppState& state = s.state();
    state.vkSingleCode = s.hwCodeOfVk(s.m_singleCode);
    if (m_host.runVirtualKeyboard(1)) {
        s.m_singleCode = s.vkOfHWCode(state.vkSingleCode);
    }
}

void CSingleComboPage::virtualCombo() {
    keymap::CKeyMapSession& s = session();
    if (s.m_isSingle || s.m_capturingCombo || !combos().hasEntries()) {
        return;
    }
    const model::CAppState& state = s.state();
    if (!m_host.runVirtualKeyboard(2)) {
        return;
    }
    model::CActionList& combo = s.m_combo;
    combo.clear();
    const int count =
        std::clamp(state.vkComboCount, 0, static_cast<int>(state.vkComboCodes.size()));
    for (int i = 0; i < count && combo.count() < kMaxComboKeys; ++i) {
        const int h = state.vkComboCodes[static_cast<std::size_t>(i)];
        combo.append(state.keyEventName(s.vkOfHWCode(h), false));
    }
}

void CSingleComboPage::newCombo() {
    if (session().m_isSingle) {
        return;
    }
    const std::string name = combos().addEntry(m_host.language());
    syncBar();
    const int row = combos().selectedRow();
    if (row >= 0) {
        m_host.refresh();
        m_host.openInPlaceEditor(m_host.indexOfKnownId(combos().rowId(row)),
                                 QString::fromStdString(name), false);
    }
}

void CSingleComboPage::deleteCombo() {
    if (session().m_isSingle || !combos().hasEntries()) {
        return;
    }
    combos().removeSelected();
    syncBar();
}

void CSingleComboPage::clickComboRow(int row, int index) {
    switch (combos().clickRow(row)) {
    case keymap::CLibraryView::RowClick::Rename:
        m_host.openInPlaceEditor(index, QString::fromStdString(combos().nameAtRow(row)), false);
        break;
    case keymap::CLibraryView::RowClick::Selected:
        syncBar();
        break;
    case keymap::CLibraryView::RowClick::Ignored:
        break;
    }
}

void CSingleComboPage::commitRow(int index, const std::string& text) {
    const int row = combos().rowOf(m_host.elementAt(index).id);
    if (row >= 0) {
        combos().rename(row, text);
    }
}

void CSingleComboPage::scrolled(int control, int position) {
    if (control == control::LibraryBar) {
        combos().moveTo(position);
    }
}

int CSingleComboPage::listOf(int elementId) const {
    return combos().rowOf(elementId) >= 0 ? id::FirstComboRow : 0;
}

std::optional<int> CSingleComboPage::selectedRowId(int list) const {
    const int row = combos().selectedRow();
    if (list != id::FirstComboRow || row < 0) {
        return std::nullopt;
    }
    return combos().rowId(row);
}

void CSingleComboPage::stepList(int list, int step) {
    if (list == id::FirstComboRow) {
        combos().step(step);
        syncBar();
    }
}

} // namespace talvik::editor
