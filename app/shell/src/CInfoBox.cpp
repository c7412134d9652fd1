#include "talvik/shell/CInfoBox.h"

#include "talvik/shell/PaletteColour.h"

#include <QCoreApplication>
#include <QPalette>
#include <QResizeEvent>
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
    // A read-out, not a control: Tab passes it by (and so does the focus a
    // window hands out when it opens); a click still focuses it to select and scroll.
    setFocusPolicy(Qt::ClickFocus);
    QPalette colours = palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        colours.setColor(group, QPalette::Text, paletteColour(layout::kAccentOrange));
        colours.setColor(group, QPalette::Base, paletteColour(layout::kInfoBackground));
        colours.setColor(group, QPalette::Window, paletteColour(layout::kInfoBackground));
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
    bar.setStyleSheet(
        QStringLiteral("QScrollBar:vertical { background: %1; width: 8px; margin: 0; }"
                       "QScrollBar::handle:vertical { background: %2; border-radius: 4px;"
                       " min-height: 20px; }"
                       "QScrollBar::handle:vertical:hover { background: %3; }"
                       "QScrollBar::add-line, QScrollBar::sub-line { height: 0; }"
                       "QScrollBar::add-page, QScrollBar::sub-page { background: none; }")
            .arg(styleSheetColour(layout::kInfoBackground),
                 styleSheetColour(layout::kInfoScrollHandle),
                 styleSheetColour(layout::kAccentOrange)));
}

void CInfoBox::place(const QRect& place) {
    setGeometry(place);
    if (isVisible()) {
        return;
    }
    // What showing the window would send later: the box's resize, then the
    // viewport's that the box's layout gives. Sent now, they are not sent again.
    for (QWidget* widget : {static_cast<QWidget*>(this), viewport()}) {
        if (widget->testAttribute(Qt::WA_PendingResizeEvent)) {
            QResizeEvent resized(widget->size(), QSize());
            QCoreApplication::sendEvent(widget, &resized);
            widget->setAttribute(Qt::WA_PendingResizeEvent, false);
        }
    }
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
