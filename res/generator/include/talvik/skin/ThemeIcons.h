#pragma once

// Symbolic icons of the desktop icon theme the build installs (Adwaita,
// CC-BY-SA 3.0 or LGPL-3), drawn in one colour so they take the skin's ink.
// Symbolic icons are drawn on a 16-pixel grid: at 16 design pixels they are
// sharp in the 1x pictures and, drawn at twice the size, in the 2x ones.

#include <QColor>
#include <QPainter>
#include <QRectF>
#include <QString>
#include <QStringList>

namespace talvik::skin {

inline constexpr qreal kThemeIconGrid = 16;

// Draws the symbolic icon `name` (without "-symbolic") into `box` in `ink`,
// at the resolution of the painter's device. An icon the theme lacks draws
// nothing and is remembered in missingThemeIcons().
void drawThemeIcon(QPainter& p, const QRectF& box, const QString& name, const QColor& ink);

// Icons asked for that the theme does not have, so the generator can fail
// instead of shipping buttons without pictures.
QStringList missingThemeIcons();

// The theme folder the icons come from.
QString themeIconFolder();

} // namespace talvik::skin
