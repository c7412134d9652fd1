#pragma once

#include "talvik/skin/SkinPainter.h"

namespace talvik::skin {

// The skinned scroll bar's picture of nine columns by three rows of cells:
// arrows, thumb and track of a vertical bar, the same of a horizontal bar,
// and one spare column, each in the normal, pointed-at and pressed look.
QImage drawScrollBarPicture(int resolution = 1);

void addScrollBarPicture(PictureSet& pictures);

} // namespace talvik::skin
