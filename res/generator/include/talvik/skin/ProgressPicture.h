#pragma once

#include "talvik/skin/SkinPainter.h"

namespace talvik::skin {

// One of the progress dialog's three pictures; the active one has the bar full.
QImage drawProgressPicture(Look look, int resolution = 1);

// Pictures 139 (normal), 140 (pointer-over) and 141 (active).
void addProgressPictures(PictureSet& pictures);

} // namespace talvik::skin
