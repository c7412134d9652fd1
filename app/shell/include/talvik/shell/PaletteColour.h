#pragma once

// The skin's palette as the windows take it: for painting over their pictures
// and for the style sheets of the widgets that sit in them.

#include "talvik/layout/SkinPalette.h"

#include <QColor>
#include <QString>

namespace talvik::shell {

QColor paletteColour(layout::Rgb c);

// The colour as a style sheet value, "rgb(255,111,0)". A sheet names a colour
// through this rather than its own digits, so a widget cannot drift from the
// picture around it.
QString styleSheetColour(layout::Rgb c);

// The style sheet of the program's menus: light text on the dark body, the orange accent
// under the pointer, entries that cannot be used in the quiet grey of the panels' hints.
QString menuStyleSheet();

} // namespace talvik::shell
