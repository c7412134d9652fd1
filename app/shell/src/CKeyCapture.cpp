#include "talvik/shell/CKeyCapture.h"

#include "talvik/shell/CSkinWindow.h"
#include "talvik/text/Language.h"

#include <QCoreApplication>
#include <QKeyEvent>

#include <utility>

namespace talvik::shell {
namespace {

// Pointer events come by the dozen; the hook needs to hear of them now and
// then, not for every one.
constexpr qint64 kPointerNoteEveryMs = 1000;

bool isPointerEvent(QEvent::Type type) {
    switch (type) {
    case QEvent::MouseMove:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::TabletMove:
    case QEvent::TabletPress:
    case QEvent::NonClientAreaMouseMove:
    case QEvent::NonClientAreaMouseButtonPress:
        return true;
    default:
        return false;
    }
}

} // namespace

CKeyCapture::CKeyCapture(CSkinWindow& window, EndedByHook onEndedByHook)
    : m_window(window), m_onEndedByHook(std::move(onEndedByHook)) {
    m_poll.setInterval(kPollInterval);
    connect(&m_poll, &QTimer::timeout, this, [this] { checkHook(); });
}

CKeyCapture::~CKeyCapture() {
    stop();
}

void CKeyCapture::start() {
    stop();
    InstallHook(m_window.handle());
    m_running = true;
    // Application-wide: the key may be meant for any widget of the program,
    // and the pointer may be over any of its windows.
    QCoreApplication::instance()->installEventFilter(this);
    m_sincePointerNoted.invalidate();
    m_poll.start();
    // On Wayland the keys come through the window: the compositor is asked
    // to let its own shortcuts come too.
    m_inhibitor.inhibit(m_window.windowHandle());
}

void CKeyCapture::stop() {
    if (!m_running) {
        return;
    }
    m_running = false;
    m_inhibitor.release();
    m_poll.stop();
    QCoreApplication::instance()->removeEventFilter(this);
    UninstallHook();
}

QString CKeyCapture::noticeText(HookStatus why, text::Language language) {
    std::string_view text;
    switch (why) {
    case HookStatus::DeliveryStalled:
        text = text::textIn(language,
                            "录制已停止：Talvik 有 3 秒没有响应，键盘已交还给桌面。"
                            "其间按下的键没有录入。",
                            "Recording stopped: Talvik did not respond for 3 seconds, so the "
                            "keyboard was given back to the desktop. Keys pressed meanwhile "
                            "were not recorded.");
        break;
    case HookStatus::IdleEnded:
        text =
            text::textIn(language, "2 分钟内没有按键或鼠标操作，录制已自动停止，以便屏幕能够锁定。",
                         "Recording stopped after 2 minutes without a key press or mouse "
                         "action, so that the screen can lock.");
        break;
    default:
        break;
    }
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

bool CKeyCapture::eventFilter(QObject* watched, QEvent* event) {
    if (!m_running) {
        return QObject::eventFilter(watched, event);
    }
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        // A key event reaches the program only when the desktop keyboard is
        // not grabbed; it is the capture's, as a grabbed one would be.
        forwardKey(*static_cast<QKeyEvent*>(event));
        return true;
    case QEvent::ShortcutOverride:
        // Claimed, so that no shortcut fires and the key press comes here.
        event->accept();
        return true;
    default:
        if (isPointerEvent(event->type())) {
            notePointer();
        }
        return QObject::eventFilter(watched, event);
    }
}

void CKeyCapture::forwardKey(const QKeyEvent& event) {
    // A held key must arrive as repeated presses, as from the grab; Qt
    // reports each repeat as a release and a press.
    if (event.type() == QEvent::KeyRelease && event.isAutoRepeat()) {
        return;
    }
    ForwardWindowKey(event.nativeScanCode(), event.type() == QEvent::KeyPress);
}

void CKeyCapture::notePointer() {
    if (!m_sincePointerNoted.isValid() || m_sincePointerNoted.elapsed() >= kPointerNoteEveryMs) {
        NoteHookPointerActivity();
        m_sincePointerNoted.start();
    }
}

void CKeyCapture::checkHook() {
    const HookStatus status = GetHookStatus();
    if (status == HookStatus::NotInstalled) {
        // Uninstalled behind our back: keys must not stay diverted for a
        // capture that no longer exists.
        stop();
        return;
    }
    if (status != HookStatus::DeliveryStalled && status != HookStatus::IdleEnded) {
        return;
    }
    stop();
    if (m_onEndedByHook) {
        m_onEndedByHook(status);
    }
}

} // namespace talvik::shell
