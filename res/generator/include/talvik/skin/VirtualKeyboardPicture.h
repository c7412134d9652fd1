#pragma once

#include "talvik/skin/SkinPainter.h"

namespace talvik::skin {

// One of the virtual keyboard's three pictures: the whole dialog with every
// key and button in the given look.
QImage drawVirtualKeyboardPicture(Look look, int resolution = 1);

void addVirtualKeyboardPictures(PictureSet& pictures);

} // namespace talvik::skin
