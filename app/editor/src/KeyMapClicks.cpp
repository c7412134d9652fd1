// Clicks on the key settings dialog: the double-click guard, the order in
// which a click meets the in-place editor and a running capture, the buttons
// every page has, and OK.

#include "talvik/editor/COrsaDialogKeyMapSettings.h"

#include "talvik/model/CAppState.h"

#include <QMouseEvent>

namespace talvik::editor {
namespace {

namespace id = layout::keymap_id;

constexpr int kNoPendingClick = -2;

bool endsOrConfirms(int elementId) {
    return elementId == id::Ok || elementId == id::Cancel;
}

// The page tab `elementId` shows, if it is a tab: the tabs count the pages from FirstTab.
std::optional<keymap::KeyMapPage> tabPage(int elementId) {
    const int n = elementId - id::FirstTab;
    return n >= 0 && n < keymap::kKeyMapPageCount ? keymap::pageNumbered(n + 1) : std::nullopt;
}

} // namespace

void COrsaDialogKeyMapSettings::onElementClicked(int index) {
    // A click still waiting acts before the next one starts its own wait.
    flushPendingClick();
    m_pendingClick = index;
    m_clickGuard.start();
}

void COrsaDialogKeyMapSettings::onElementActivated(int index) {
    // A key has no double click to wait for; a click still waiting acts first.
    flushPendingClick();
    dispatchClick(index);
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
    } else if (keymap::pageOwning(elementId) == m_session.m_page) {
        current.click(elementId, index);
    }
    refresh();
    update();
}

void COrsaDialogKeyMapSettings::dispatchCommon(int elementId) {
    if (const auto page = tabPage(elementId)) {
        switchPage(*page);
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
        showPreset(m_session.presetKeyDefault());
        break;
    case id::Clear:
        switchPage(m_session.clear());
        break;
    default:
        break;
    }
}

void COrsaDialogKeyMapSettings::presetDefault(int d) {
    showPreset(m_session.presetDefault(d));
}

void COrsaDialogKeyMapSettings::showPreset(std::optional<keymap::KeyMapPage> page) {
    if (page) {
        switchPage(*page);
    }
}

void COrsaDialogKeyMapSettings::applyAssignment() {
    if (!m_session.apply()) {
        // No key to give a function to: nothing changed, and the caller must not think so.
        done(QDialog::Rejected);
        return;
    }
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
