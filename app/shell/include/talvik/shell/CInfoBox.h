#pragma once

#include <QTextEdit>

class QScrollBar;

namespace talvik::shell {

// A read-only multi-line text box in the program's look: orange text on a
// near-black ground, no frame, and no caret even when focused.
class CInfoBox : public QTextEdit {
public:
    explicit CInfoBox(QWidget* parent = nullptr);

    // Replaces the text only when it changed, so repaints do not reset the
    // scroll position or selection. Accepts CR LF line ends.
    void setTextIfChanged(const QString& text);
    // Gives a box not shown yet its place, and lays it out for it at once:
    // text set afterwards is laid out a single time, at the width it is shown
    // at, instead of at a default width and then again as the window first
    // shows (a box's layout shapes every line of its text).
    void place(const QRect& place);
    const QString& text() const { return m_text; }
    // Whether the scroll bar has taken the skin's look (it does once the
    // text first needs it).
    bool scrollBarStyled() const { return m_barStyled; }

protected:
    void focusInEvent(QFocusEvent* event) override;

private:
    static void styleScrollBar(QScrollBar& bar);

    QString m_text;
    bool m_barStyled = false;
};

} // namespace talvik::shell
