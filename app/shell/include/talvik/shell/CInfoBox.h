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
