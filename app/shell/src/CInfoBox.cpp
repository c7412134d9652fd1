#include "talvik/shell/CInfoBox.h"

#include <QPalette>

namespace talvik::shell {

CInfoBox::CInfoBox(QWidget* parent) : QPlainTextEdit(parent) {
    setReadOnly(true);
    setFrameShape(QFrame::NoFrame);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setCursorWidth(0);
    QPalette colours = palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        colours.setColor(group, QPalette::Text, QColor(255, 111, 0));
        colours.setColor(group, QPalette::Base, QColor(20, 20, 20));
        colours.setColor(group, QPalette::Window, QColor(20, 20, 20));
    }
    setPalette(colours);
    setAutoFillBackground(true);
}

void CInfoBox::setTextIfChanged(const QString& text) {
    if (text == m_text) {
        return;
    }
    m_text = text;
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    setPlainText(shown);
}

void CInfoBox::focusInEvent(QFocusEvent* event) {
    QPlainTextEdit::focusInEvent(event);
    setCursorWidth(0); // read-only text: a blinking caret would suggest it can be typed into
}

} // namespace talvik::shell
