#include "talvik/editor/CTipWindow.h"

#include "talvik/shell/PaletteColour.h"

#include <QGuiApplication>
#include <QScreen>

namespace talvik::editor {

CTipWindow::CTipWindow(int delayMs, QWidget* owner)
    : QLabel(owner, Qt::ToolTip | Qt::FramelessWindowHint) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    m_delay.setSingleShot(true);
    m_delay.setInterval(delayMs);
    QObject::connect(&m_delay, &QTimer::timeout, this, [this] { showNow(); });
}

void CTipWindow::activate(const QString& text, QPoint globalPos) {
    m_at = globalPos + QPoint(12, 20);
    if (text == m_text) {
        if (isVisible()) {
            move(m_at);
        }
        return;
    }
    m_text = text;
    if (isVisible()) {
        showNow();
    } else {
        m_delay.start();
    }
}

void CTipWindow::deactivate() {
    m_delay.stop();
    m_text.clear();
    hide();
}

void CTipWindow::showNow() {
    if (m_text.isEmpty()) {
        return;
    }
    // Styled when first needed, before its size is taken from the text: most
    // windows that own a tip are closed again without showing it.
    if (styleSheet().isEmpty()) {
        using shell::styleSheetColour;
        setStyleSheet(QStringLiteral("QLabel { color: %1; background: %2;"
                                     " border: 1px solid %3; padding: 2px 5px; }")
                          .arg(styleSheetColour(layout::kTipText),
                               styleSheetColour(layout::kTipBackground),
                               styleSheetColour(layout::kTipBorder)));
    }
    setText(m_text);
    adjustSize();
    QPoint at = m_at;
    if (const QScreen* screen = QGuiApplication::screenAt(m_at)) {
        const QRect area = screen->availableGeometry();
        at.setX(std::min(at.x(), area.right() - width()));
        at.setY(std::min(at.y(), area.bottom() - height()));
    }
    move(at);
    show();
}

} // namespace talvik::editor
