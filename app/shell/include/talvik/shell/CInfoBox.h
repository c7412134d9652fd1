#pragma once

#include <QTextEdit>

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

protected:
    void focusInEvent(QFocusEvent* event) override;

private:
    QString m_text;
};

} // namespace talvik::shell
