#pragma once

// A message posted to a window handle, carried to the GUI thread as an event,
// so messages are handled there in the order they were posted.

#include "talvik/hwi/WindowHandle.h"

#include <QEvent>

namespace talvik::shell {

class CWindowMessageEvent : public QEvent {
public:
    static QEvent::Type eventType() {
        static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
        return type;
    }
    CWindowMessageEvent(UINT message, WPARAM wParam, LPARAM lParam)
        : QEvent(eventType()), m_message(message), m_wParam(wParam), m_lParam(lParam) {}

    UINT m_message;
    WPARAM m_wParam;
    LPARAM m_lParam;
};

} // namespace talvik::shell
