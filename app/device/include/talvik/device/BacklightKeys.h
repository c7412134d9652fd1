#pragma once

// What both backlight dialogs draw on each key: a frame in the key's colour
// just outside its rectangle, and the key's name over it.

#include "talvik/model/CKeyConfig.h"

#include "talvik/layout/SkinLayout.h"

#include <QColor>
#include <QString>

#include <array>

class QPainter;

namespace talvik::shell {
class CFontTable;
}

namespace talvik::device {

// The colours of light index 0..87; index 0 carries no key.
using LightTable = std::array<model::LightArea, model::kKeyRows>;

QColor toQColor(const model::LightArea& light);
model::LightArea toLightArea(const QColor& colour);
bool sameColour(const model::LightArea& a, const model::LightArea& b);

// Four strips of the frame width along the left, right, top and bottom sides
// of `key` (design pixels), outside it.
void drawLightFrame(QPainter& p, const layout::SkinRect& key, const QColor& colour);

// The name centred on the key in the largest of the table's fonts, up to the
// caption size, that fits its width.
void drawKeyName(QPainter& p, const shell::CFontTable& fonts, const layout::SkinRect& key,
                 const QString& name, const QColor& ink);

} // namespace talvik::device
