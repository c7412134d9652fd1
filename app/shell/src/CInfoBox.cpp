#include "talvik/shell/CInfoBox.h"

#include <QPalette>
#include <QScrollBar>
#include <QTextBlockFormat>
#include <QTextCursor>

namespace talvik::shell {

CInfoBox::CInfoBox(QWidget* parent) : QTextEdit(parent) {
    setReadOnly(true);
    setFrameShape(QFrame::NoFrame);
    setLineWrapMode(QTextEdit::WidgetWidth);
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
    // Long key details scroll; the bar keeps to the skin's dark look. It is
    // styled when it is first needed: a style sheet is parsed for each widget
    // it is set on, which would cost every window with a box, and most boxes
    // never scroll.
    QScrollBar* bar = verticalScrollBar();
    connect(bar, &QScrollBar::rangeChanged, this, [this, bar](int, int maximum) {
        if (maximum > 0 && !m_barStyled) {
            m_barStyled = true;
            styleScrollBar(*bar);
        }
    });
}

void CInfoBox::styleScrollBar(QScrollBar& bar) {
    bar.setStyleSheet(QStringLiteral(
        "QScrollBar:vertical { background: rgb(20,20,20); width: 8px; margin: 0; }"
        "QScrollBar::handle:vertical { background: rgb(90,60,30); border-radius: 4px;"
        " min-height: 20px; }"
        "QScrollBar::handle:vertical:hover { background: rgb(255,111,0); }"
        "QScrollBar::add-line, QScrollBar::sub-line { height: 0; }"
        "QScrollBar::add-page, QScrollBar::sub-page { background: none; }"));
}

void CInfoBox::setTextIfChanged(const QString& text) {
    if (text == m_text) {
        return;
    }
    m_text = text;
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    setPlainText(shown);
    // The CJK face's own line spacing is generous; tighter lines let the
    // header and both layers' details fit the box without scrolling.
    QTextBlockFormat lines;
    lines.setLineHeight(font().pixelSize() * 12 / 10, QTextBlockFormat::FixedHeight);
    QTextCursor all(document());
    all.select(QTextCursor::Document);
    all.mergeBlockFormat(lines);
}

void CInfoBox::focusInEvent(QFocusEvent* event) {
    QTextEdit::focusInEvent(event);
    setCursorWidth(0); // read-only text: a blinking caret would suggest it can be typed into
}

} // namespace talvik::shell
