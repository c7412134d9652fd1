// Clicks on the key settings dialog: the double-click guard, the order in
// which a click meets the in-place editor and a running capture, the buttons
// every page has, and OK.

#include "talvik/editor/COrsaDialogKeyMapSettings.h"

#include "CSingleComboPage.h"
#include "KeyMapTables.h"
#include "talvik/model/CAppState.h"

#include <QMouseEvent>

namespace talvik::editor {
namespace {

namespace id = layout::keymap_id;

constexpr int kNoPendingClick = -2;

bool endsOrConfirms(int elementId) {
    return elementId == id::Ok || elementId == id::Cancel;
}

} // namespace

void COrsaDialogKeyMapSettings::onElementClicked(int index) {
    // A click still waiting acts before the next one starts its own wait.
    flushPendingClick();
    m_pendingClick = index;
    m_clickGuard.start();
}

void COrsaDialogKeyMapSettings::mouseDoubleClickEvent(QMouseEvent* event) {
    // The first click of a double click is dropped; the second acts alone.
    if (event->button() == Qt::LeftButton) {
        m_clickGuard.stop();
        m_pendingClick = kNoPendingClick;
    }
    CSkinWindow::mouseDoubleClickEvent(event);
}

void COrsaDialogKeyMapSettings::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        currentPage().rightClick(hitTest(event->position().toPoint()),
                                 event->globalPosition().toPoint());
        return;
    }
    CSkinWindow::mouseReleaseEvent(event);
}

void COrsaDialogKeyMapSettings::flushPendingClick() {
    const int index = m_pendingClick;
    if (index == kNoPendingClick) {
        return;
    }
    m_clickGuard.stop();
    m_pendingClick = kNoPendingClick;
    dispatchClick(index);
}

void COrsaDialogKeyMapSettings::dispatchClick(int index) {
    const int elementId = index >= 0 ? elementAt(index).id : -1;
    if (m_renaming || m_editingDelay) {
        commitInPlaceEdit();
        if (!endsOrConfirms(elementId)) {
            return;
        }
    }
    CKeyMapPage& current = currentPage();
    if (current.capturing()) {
        const CaptureClick stopped = current.interruptCapture(elementId);
        if (stopped == CaptureClick::Stopped ||
            (stopped == CaptureClick::StoppedGoesOn && !endsOrConfirms(elementId))) {
            refresh();
            update();
            return;
        }
    }
    if (layout::pageOfElement(elementId) == 0) {
        dispatchCommon(elementId);
    } else if (layout::pageOfElement(elementId) == m_page) {
        current.click(elementId, index);
    }
    refresh();
    update();
}

void COrsaDialogKeyMapSettings::dispatchCommon(int elementId) {
    if (elementId >= id::FirstTab && elementId < id::FirstTab + layout::kKeyMapPageCount) {
        switchPage(elementId - id::FirstTab);
        return;
    }
    switch (elementId) {
    case id::Close:
    case id::Cancel:
        done(QDialog::Rejected);
        break;
    case id::Ok:
        applyAssignment();
        break;
    case id::Default:
        chooseDefault();
        break;
    case id::Clear:
        clearChoice();
        break;
    default:
        break;
    }
}

void COrsaDialogKeyMapSettings::chooseDefault() {
    presetDefault(m_state.editKey < 0 ? -1
                                      : m_state.defaultHWCode(m_state.editKey, m_state.editLevel));
}

void COrsaDialogKeyMapSettings::presetDefault(int d) {
    if (d == 76) {
        m_powerCode = d;
        switchPage(6);
    } else if (d < 108 || d == 204) {
        singleCombo().chooseSingle();
        m_capturingSingle = false;
        m_capturingCombo = false;
        m_singleCode = d < 0 ? -1 : codeAt(m_state.hwCodeToVk, d);
        switchPage(0);
    } else if (d <= 125) {
        m_mediaCode = d;
        switchPage(3);
    } else if (d <= 134 || d == 157 || d == 158 || d == 173) {
        m_mouseCode = d;
        switchPage(4);
    } else if (d <= 198) {
        m_functionCode = d;
        switchPage(5);
    }
}

void COrsaDialogKeyMapSettings::clearChoice() {
    m_singleCode = -1;
    singleCombo().chooseSingle();
    m_capturingSingle = false;
    m_capturingCombo = false;
    switchPage(0);
}

void COrsaDialogKeyMapSettings::applyAssignment() {
    const int key = m_state.editKey;
    const int level = m_state.editLevel;
    if (key < 1 || key > model::kKeyCount || level < 0 || level >= model::kLayerCount) {
        // No key to give a function to: nothing changed, and the caller must not think so.
        done(QDialog::Rejected);
        return;
    }
    m_state.keyConfig.Mode[static_cast<std::size_t>(key)][static_cast<std::size_t>(level)] =
        model::KeyMode::NotSet;
    currentPage().apply(m_state, key, level);
    update();
    done(QDialog::Accepted);
}

void COrsaDialogKeyMapSettings::openInPlaceEditor(int index, const QString& text, bool delay) {
    m_editRow = index;
    m_renameEdit.setGeometry(windowRect(elementAt(index)));
    m_renameEdit.setText(text);
    m_renameEdit.setEnabled(true);
    m_renameEdit.show();
    m_renameEdit.setFocus();
    m_renameEdit.selectAll();
    m_renaming = !delay;
    m_editingDelay = delay;
}

void COrsaDialogKeyMapSettings::commitInPlaceEdit() {
    const bool open = m_renaming || m_editingDelay;
    const int row = m_editRow;
    // Cleared first: hiding the editor takes its focus, which commits again.
    m_renaming = false;
    m_editingDelay = false;
    m_editRow = -1;
    if (open && row >= 0) {
        currentPage().commitRow(row, m_renameEdit.text().toStdString());
    }
    m_renameEdit.setEnabled(false);
    m_renameEdit.hide();
    refresh();
    update();
}

void COrsaDialogKeyMapSettings::done(int result) {
    m_clickGuard.stop();
    m_pendingClick = kNoPendingClick;
    if (m_renaming || m_editingDelay) {
        commitInPlaceEdit();
    }
    // Whatever way the dialog ends, it never leaves the keyboard taken.
    if (currentPage().capturing()) {
        currentPage().abandonCapture();
    }
    if (m_capture.running()) {
        stopCapture();
    }
    m_tip.deactivate();
    CSkinWindow::done(result);
}

} // namespace talvik::editor
