#pragma once

#include <QImage>
#include <QPainter>
#include <QRectF>

namespace talvik::shell {

// Draws the part `source` of a skin picture onto `target` of the painter,
// stretched when the two differ in size. `source` is in design pixels: the
// picture may be drawn at a higher resolution (its device pixel ratio says
// which), and its own pixels are what is copied.
void copyPicture(QPainter& p, const QRectF& target, const QImage& picture, const QRectF& source);

} // namespace talvik::shell
