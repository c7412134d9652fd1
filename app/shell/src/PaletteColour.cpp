#include "talvik/shell/PaletteColour.h"

namespace talvik::shell {

QColor paletteColour(layout::Rgb c) {
    return QColor(c.red, c.green, c.blue);
}

QString styleSheetColour(layout::Rgb c) {
    return QStringLiteral("rgb(%1,%2,%3)").arg(c.red).arg(c.green).arg(c.blue);
}

} // namespace talvik::shell
