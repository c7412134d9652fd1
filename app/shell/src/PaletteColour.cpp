#include "talvik/shell/PaletteColour.h"

namespace talvik::shell {

QColor paletteColour(layout::Rgb c) {
    return QColor(c.red, c.green, c.blue);
}

QString styleSheetColour(layout::Rgb c) {
    return QStringLiteral("rgb(%1,%2,%3)").arg(c.red).arg(c.green).arg(c.blue);
}

QString menuStyleSheet() {
    return QStringLiteral("QMenu { background: %1; color: %2; border: 1px solid %3; padding: 2px; }"
                          "QMenu::item { padding: 3px 18px 3px 12px; }"
                          "QMenu::item:selected { background: %4; color: %5; }"
                          "QMenu::item:disabled { color: %6; background: %1; }"
                          "QMenu::separator { height: 1px; background: %3; margin: 2px 4px; }")
        .arg(styleSheetColour(layout::kMenuBackground), styleSheetColour(layout::kMenuText),
             styleSheetColour(layout::kRecessRim), styleSheetColour(layout::kAccentOrange),
             styleSheetColour(layout::kInkOnAccent), styleSheetColour(layout::kPanelHint));
}

} // namespace talvik::shell
