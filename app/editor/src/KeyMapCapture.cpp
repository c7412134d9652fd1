// Keystrokes in the key settings dialog: taking the keyboard for a capture,
// the hook's messages, the dialog's own key events (the only source of keys
// where the desktop keyboard cannot be taken) and what the user is told then.

#include "talvik/editor/COrsaDialogKeyMapSettings.h"

#include "talvik/hwi/KeyboardHook.h"
#include "talvik/model/CAppState.h"
#include "talvik/text/Language.h"

#include <QGuiApplication>
#include <QKeyEvent>

namespace talvik::editor {
namespace {

namespace id = layout::keymap_id;

constexpr int kShift = 16;
constexpr int kLeftShift = 160;
constexpr int kRightShift = 161;
constexpr int kReturn = 13;
constexpr int kKeypadEnter = 269;

bool isEnter(const QKeyEvent* event) {
    return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}

} // namespace

void COrsaDialogKeyMapSettings::startCapture() {
    m_capture.start();
    // Where no grab is possible the keys come through this window: it needs the focus.
    activateWindow();
    setFocus(Qt::OtherFocusReason);
    updateNotice();
    m_captureWatch.start();
}

void COrsaDialogKeyMapSettings::stopCapture() {
    m_capture.stop();
    m_captureWatch.stop();
    updateNotice();
}

void COrsaDialogKeyMapSettings::onCaptureEndedByHook(HookStatus why) {
    // The desktop has its keyboard back already: end the capture as a click would.
    currentPage().abandonCapture();
    stopCapture();
    refresh();
    update();
    showMessage(shell::CKeyCapture::noticeText(why, m_state.language));
}

QString COrsaDialogKeyMapSettings::captureNotice() {
    if (!m_capture.running()) {
        return {};
    }
    const text::Language language = m_state.language;
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        if (m_capture.desktopShortcuts() == shell::CShortcutInhibitor::EState::Active) {
            return QString::fromUtf8(
                text::textIn(language, "Wayland 会话：只能捕获在本窗口中按下的键",
                             "Wayland session: only keys typed into this window are captured"));
        }
        return QString::fromUtf8(
            text::textIn(language, "Wayland 会话：只捕获在本窗口中按下的键，桌面快捷键不会录入",
                         "Wayland session: only keys typed into this window are captured, "
                         "desktop shortcuts are not"));
    }
    switch (GetHookStatus()) {
    case HookStatus::Active:
        return {};
    case HookStatus::KeyboardBusy:
        return QString::fromUtf8(text::textIn(
            language, "另一个程序占用了键盘：只能捕获在本窗口中按下的键",
            "Another program holds the keyboard: only keys typed into this window are captured"));
    default:
        return QString::fromUtf8(text::textIn(
            language, "无法接管桌面键盘：只能捕获在本窗口中按下的键",
            "The desktop keyboard cannot be taken: only keys typed into this window are captured"));
    }
}

void COrsaDialogKeyMapSettings::updateNotice() {
    SkinElement& notice = element(id::CaptureNotice);
    const QString text = captureNotice();
    const bool show = !text.isEmpty();
    if (notice.visible == show && notice.caption(m_state.language) == text) {
        return;
    }
    notice.caption(m_state.language) = text;
    notice.visible = show;
    update();
}

void COrsaDialogKeyMapSettings::onWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TALVIK_HOOKKEY) {
        onHookKey(wParam, lParam);
    }
}

int COrsaDialogKeyMapSettings::resolveShift(int vk, int dir) {
    const bool left = m_keyState(kLeftShift);
    const bool right = m_keyState(kRightShift);
    if (dir == 0) {
        return left ? kLeftShift : (right ? kRightShift : vk);
    }
    // A release: the side whose state moved since the last Shift release.
    int side = vk;
    if (left != m_shiftUpState[0]) {
        side = kLeftShift;
    } else if (right != m_shiftUpState[1]) {
        side = kRightShift;
    }
    m_shiftUpState = {left, right};
    return side;
}

void COrsaDialogKeyMapSettings::onHookKey(WPARAM wParam, LPARAM lParam) {
    const int dir = (wParam & HOOKKEY_RELEASED) != 0 ? 1 : 0;
    int vk = static_cast<int>(wParam & 0xFF);
    if (vk == kShift) {
        vk = resolveShift(vk, dir);
    }
    int code = (dir << 9) | vk;
    if (dir == 0 && vk == kReturn && (lParam & HOOKKEY_EXTENDED) != 0) {
        code = kKeypadEnter;
    }
    const std::int64_t now = m_clock();
    currentPage().hookKey(m_session.keystroke(vk, dir, code, now));
    m_session.keystrokeTaken(code, now);
}

void COrsaDialogKeyMapSettings::keyPressEvent(QKeyEvent* event) {
    const bool control = (event->modifiers() & Qt::ControlModifier) != 0;
    if (control && (event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab)) {
        const bool back =
            event->key() == Qt::Key_Backtab || (event->modifiers() & Qt::ShiftModifier) != 0;
        turnPage(back ? -1 : 1);
        return;
    }
    if (stepFocusedList(*event)) {
        return;
    }
    switch (event->key()) {
    case Qt::Key_Escape:
        done(QDialog::Rejected);
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Enter acts on the element with the focus ring; without one it
        // confirms the dialog, the same way its OK button does.
        if (!activateFocused(*event)) {
            dispatchClick(indexOfKnownId(id::Ok));
        }
        break;
    default:
        CSkinWindow::keyPressEvent(event);
    }
}

bool COrsaDialogKeyMapSettings::eventFilter(QObject* watched, QEvent* event) {
    const bool editor = watched == &m_renameEdit;
    const bool editing = m_renaming || m_editingDelay;
    if (event->type() == QEvent::MouseButtonPress && !editor &&
        (editing || currentPage().capturing())) {
        // A click on a child control ends a capture or the in-place editor
        // like a click anywhere else, and does nothing more.
        dispatchClick(-1);
        return true;
    }
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (editor && editing && (isEnter(key) || key->key() == Qt::Key_Escape)) {
            commitInPlaceEdit();
            return true;
        }
        // The number fields take Enter as the end of typing, not as OK.
        if ((watched == &m_countEdit || watched == &m_intervalEdit) && isEnter(key)) {
            return true;
        }
    }
    if (editor && editing && event->type() == QEvent::FocusOut) {
        commitInPlaceEdit();
    }
    return CSkinWindow::eventFilter(watched, event);
}

} // namespace talvik::editor
