#include "CSingleComboPage.h"

#include "KeyMapTables.h"

#include "talvik/editor/COrsaDialogKeyMapSettings.h"
#include "talvik/model/CAppState.h"
#include "talvik/shell/CInfoBox.h"

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

CSingleComboPage::CSingleComboPage(COrsaDialogKeyMapSettings& dialog)
    : CKeyMapPage(dialog), m_combos(dialog.m_comboLibrary, dialog.m_combo, id::FirstComboRow,
                                    layout::kComboRows, text::CollectionKind::Combo) {}

void CSingleComboPage::chooseSingle() {
    m_dialog.m_isSingle = true;
    m_dialog.element(id::SingleRadio).active = true;
    m_dialog.element(id::SingleLabel).active = true;
    m_dialog.element(id::ComboRadio).active = false;
    m_dialog.element(id::ComboLabel).active = false;
}

void CSingleComboPage::chooseCombo() {
    m_dialog.m_isSingle = false;
    m_dialog.element(id::SingleRadio).active = false;
    m_dialog.element(id::SingleLabel).active = false;
    m_dialog.element(id::ComboRadio).active = true;
    m_dialog.element(id::ComboLabel).active = true;
}

void CSingleComboPage::shown() {
    m_dialog.comboText().setEnabled(true);
    m_dialog.comboText().show();
    m_dialog.placeScrollBar(control::LibraryBar, layout::kComboBarPlace);
    syncBar();
}

void CSingleComboPage::syncBar() {
    m_dialog.syncScrollBar(control::LibraryBar, m_dialog.m_comboLibrary);
}

void CSingleComboPage::refresh() {
    const std::string& language = m_dialog.language();
    m_combos.refreshRows(m_dialog, language);
    m_dialog.element(id::SingleKeyName).captions[language] =
        QString::fromStdString(m_dialog.appState().keyEventName(m_dialog.m_singleCode, false));
    m_dialog.comboText().setTextIfChanged(joinedCombo(m_dialog.m_combo));
}

void CSingleComboPage::click(int elementId, int index) {
    const int row = m_combos.rowOf(elementId);
    if (row >= 0) {
        clickComboRow(row, index);
        return;
    }
    switch (elementId) {
    case id::SingleRadio:
    case id::ComboRadio:
        flipRadios(elementId);
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
    default:
        break;
    }
}

void CSingleComboPage::flipRadios(int clickedId) {
    const int otherId = clickedId == id::SingleRadio ? id::ComboRadio : id::SingleRadio;
    SkinElement& clicked = m_dialog.element(clickedId);
    const bool was = clicked.active;
    clicked.active = !was;
    m_dialog.element(clickedId + 50).active = !was; // the radio's label
    m_dialog.element(otherId).active = was;
    m_dialog.element(otherId + 50).active = was;
    m_dialog.m_isSingle = m_dialog.element(id::SingleRadio).active;
    m_dialog.m_capturingSingle = false;
    m_dialog.m_capturingCombo = false;
}

void CSingleComboPage::setRecording(int button, int recordLabel, int stopLabel, bool on) {
    m_dialog.element(button).active = on;
    m_dialog.element(recordLabel).visible = !on;
    m_dialog.element(stopLabel).visible = on;
}

void CSingleComboPage::recordSingle() {
    if (!m_dialog.m_isSingle) {
        return;
    }
    const bool on = !m_dialog.element(id::RecordSingle).active;
    setRecording(id::RecordSingle, id::RecordSingleLabel, id::StopSingleLabel, on);
    m_dialog.m_capturingSingle = on;
    if (!on) {
        m_dialog.stopCapture();
        return;
    }
    m_dialog.m_keyIsDown.fill(0);
    m_dialog.m_lastCode = -1;
    m_dialog.m_lastEventTime = 0;
    m_dialog.startCapture();
}

void CSingleComboPage::recordCombo() {
    if (!m_combos.hasEntries() || m_dialog.m_isSingle) {
        return;
    }
    const bool on = !m_dialog.element(id::RecordCombo).active;
    setRecording(id::RecordCombo, id::RecordComboLabel, id::StopComboLabel, on);
    m_dialog.m_capturingCombo = on;
    m_dialog.m_lastCode = -1;
    m_dialog.m_lastEventTime = 0;
    if (!on) {
        m_dialog.stopCapture();
        m_combos.writeBack();
        return;
    }
    m_dialog.m_keyIsDown.fill(0);
    m_dialog.m_combo.clear();
    m_dialog.startCapture();
}

bool CSingleComboPage::capturing() const {
    return m_dialog.m_capturingSingle || m_dialog.m_capturingCombo;
}

CaptureClick CSingleComboPage::interruptCapture(int elementId) {
    if (m_dialog.m_capturingSingle) {
        if (elementId == id::VirtualSingle) {
            return CaptureClick::NotStopped;
        }
        stopSingle();
        return CaptureClick::StoppedGoesOn;
    }
    if (m_dialog.m_capturingCombo) {
        if (elementId == id::VirtualCombo) {
            return CaptureClick::NotStopped;
        }
        stopCombo();
        return CaptureClick::StoppedGoesOn;
    }
    return CaptureClick::NotStopped;
}

void CSingleComboPage::stopSingle() {
    m_dialog.stopCapture();
    m_dialog.m_capturingSingle = false;
    setRecording(id::RecordSingle, id::RecordSingleLabel, id::StopSingleLabel, false);
}

void CSingleComboPage::stopCombo() {
    m_dialog.stopCapture();
    m_combos.writeBack();
    m_dialog.m_capturingCombo = false;
    setRecording(id::RecordCombo, id::RecordComboLabel, id::StopComboLabel, false);
}

void CSingleComboPage::abandonCapture() {
    if (m_dialog.m_capturingSingle) {
        stopSingle();
    }
    if (m_dialog.m_capturingCombo) {
        stopCombo();
    }
}

void CSingleComboPage::hookKey(const CHookKey& key) {
    // A held key repeats its press: it counts again only after its release.
    if (key.dir != 0 || key.code == m_dialog.m_lastCode) {
        return;
    }
    if (m_dialog.m_capturingSingle) {
        captureSingleKey(key.code);
    } else if (m_dialog.m_capturingCombo && m_dialog.m_combo.count() < kMaxComboKeys) {
        m_dialog.m_combo.append(m_dialog.appState().keyEventName(key.code, false));
        m_dialog.update();
    }
}

void CSingleComboPage::captureSingleKey(int code) {
    const model::CAppState& state = m_dialog.appState();
    const int h = codeAt(state.vkToHWCode, code & 0x1FF);
    m_dialog.m_singleCode = h < 0 ? -1 : codeAt(state.hwCodeToVk, h);
    m_dialog.update();
    // Every key goes on replacing the single key while the box is open; one
    // box at a time is enough to say that a key does not map back to itself.
    if (m_dialog.m_singleCode != code && !m_showingMismatch) {
        m_showingMismatch = true;
        m_dialog.showMessage(
            QStringLiteral("a=%1, b=%2, c=%3").arg(code).arg(h).arg(m_dialog.m_singleCode));
        m_showingMismatch = false;
    }
}

void CSingleComboPage::virtualSingle() {
    if (!m_dialog.m_isSingle || capturing()) {
        return;
    }
    model::CAppState& state = m_dialog.appState();
    const int single = m_dialog.m_singleCode;
    state.vkSingleCode = single < 0 ? -1 : codeAt(state.vkToHWCode, single & 0x1FF);
    if (m_dialog.runVirtualKeyboard(1)) {
        const int chosen = state.vkSingleCode;
        m_dialog.m_singleCode = chosen < 0 ? -1 : codeAt(state.hwCodeToVk, chosen);
    }
}

void CSingleComboPage::virtualCombo() {
    if (m_dialog.m_isSingle || m_dialog.m_capturingCombo || !m_combos.hasEntries()) {
        return;
    }
    model::CAppState& state = m_dialog.appState();
    if (!m_dialog.runVirtualKeyboard(2)) {
        return;
    }
    model::CActionList& combo = m_dialog.m_combo;
    combo.clear();
    const int count =
        std::clamp(state.vkComboCount, 0, static_cast<int>(state.vkComboCodes.size()));
    for (int i = 0; i < count && combo.count() < kMaxComboKeys; ++i) {
        const int h = state.vkComboCodes[static_cast<std::size_t>(i)];
        combo.append(state.keyEventName(h < 0 ? -1 : codeAt(state.hwCodeToVk, h), false));
    }
}

void CSingleComboPage::newCombo() {
    if (m_dialog.m_isSingle) {
        return;
    }
    const std::string name = m_combos.addEntry(m_dialog.language());
    syncBar();
    const int row = m_combos.selectedRow();
    if (row >= 0) {
        m_dialog.refresh();
        m_dialog.openInPlaceEditor(m_dialog.indexOfId(m_combos.rowId(row)),
                                   QString::fromStdString(name));
    }
}

void CSingleComboPage::deleteCombo() {
    if (m_dialog.m_isSingle || !m_combos.hasEntries()) {
        return;
    }
    m_combos.removeSelected();
    syncBar();
}

void CSingleComboPage::clickComboRow(int row, int index) {
    switch (m_combos.clickRow(row)) {
    case CLibraryView::RowClick::Rename:
        m_dialog.openInPlaceEditor(index,
                                   QString::fromStdString(m_dialog.m_comboLibrary.itemAtRow(row)));
        break;
    case CLibraryView::RowClick::Selected:
        syncBar();
        break;
    case CLibraryView::RowClick::Ignored:
        break;
    }
}

void CSingleComboPage::commitRow(int index, const std::string& text) {
    const int row = m_combos.rowOf(m_dialog.elementAt(index).id);
    if (row >= 0) {
        m_combos.rename(row, text);
    }
}

void CSingleComboPage::scrolled(int control, int position) {
    if (control == control::LibraryBar) {
        m_combos.moveTo(position);
    }
}

void CSingleComboPage::apply(model::CAppState& state, int key, int level) {
    model::CKeyConfig& config = state.keyConfig;
    auto& mode = config.Mode[static_cast<std::size_t>(key)][static_cast<std::size_t>(level)];
    auto& code = config.HWCode[static_cast<std::size_t>(key)][static_cast<std::size_t>(level)];
    if (m_dialog.m_isSingle) {
        const int single = m_dialog.m_singleCode;
        const int h = single < 0 ? -1 : codeAt(state.vkToHWCode, single & 0x1FF);
        if (h > 0) {
            code = h;
            mode = model::KeyMode::Single;
        }
    } else if (!m_dialog.m_combo.empty()) {
        config.ComboKey[static_cast<std::size_t>(key)][static_cast<std::size_t>(level)].assign(
            m_dialog.m_combo);
        mode = model::KeyMode::Combo;
        code = 0;
    }
    // The library keeps what the user did to the selected entry, also what
    // the virtual keyboard chose since its last write-back.
    m_combos.writeBack();
    config.PredefinedCombo.assign(m_dialog.m_comboLibrary);
}

} // namespace talvik::editor
