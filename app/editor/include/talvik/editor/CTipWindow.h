#pragma once

#include <QLabel>
#include <QPoint>
#include <QTimer>

namespace talvik::editor {

// The key settings dialog's tooltip: one tip for the whole dialog, blue on
// yellow, shown a moment after the pointer has come to rest on a button.
class CTipWindow : public QLabel {
public:
    explicit CTipWindow(int delayMs, QWidget* owner);

    // Shows `text` near `globalPos` after the delay; at once when a tip is
    // already up. The same text again only follows the pointer.
    void activate(const QString& text, QPoint globalPos);
    void deactivate();
    // The text shown or about to be shown; empty while inactive.
    const QString& activeText() const { return m_text; }
    // True while a tip waits out its delay before it shows.
    bool waiting() const { return m_delay.isActive(); }

private:
    void showNow();

    QTimer m_delay;
    QString m_text;
    QPoint m_at;
};

} // namespace talvik::editor
