#pragma once

#include "talvik/skin/SkinPainter.h"

namespace talvik::skin {

// The pictures of the window shown while start-up looks for the keyboard.
void addWaitPictures(PictureSet& pictures);

} // namespace talvik::skin
