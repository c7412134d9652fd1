#pragma once

#include "SkinPainter.h"

namespace talvik::skin {

// One of the main window's three pictures for a model: the whole window with
// every element in the given look.
QImage drawMainPicture(int model, Look look);

} // namespace talvik::skin
