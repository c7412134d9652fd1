#pragma once

#include <QString>

class QWidget;

namespace talvik::shell {

// Gives `widget` the style sheet `sheet` when it is first shown. Qt parses a
// style sheet and works out its rules for every widget it is set on, when
// the window is polished, hidden widgets included; a window with controls
// that most of its pages keep hidden would pay for all of them each time it
// opens. The sheet is in place before the widget's first paint.
void setStyleSheetWhenShown(QWidget& widget, const QString& sheet);

} // namespace talvik::shell
