#pragma once

#include "talvik/skin/SkinPainter.h"

namespace talvik::skin {

// One of the main window's three pictures for a model: the whole window with
// every element in the given look.
QImage drawMainPicture(int model, Look look, int resolution = 1);

// The three main window pictures of every model.
void addMainPictures(PictureSet& pictures);

} // namespace talvik::skin
