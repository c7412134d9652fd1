#pragma once

// The user-interface scale and the conversions that use it. Every conversion
// from the scale to whole pixels truncates toward zero, so a rectangle scaled
// up and back down lands on the same pixels everywhere in the program.

#include "talvik/layout/SkinLayout.h"

#include <QRect>

namespace talvik::shell {

// Screen height / 1080, never below 1.0.
float uiScale(int screenHeight);

int scaledBy(int value, float scale);
int unscaledBy(int value, float scale);
talvik::layout::SkinRect scaledBy(const talvik::layout::SkinRect& r, float scale);
talvik::layout::SkinRect unscaledBy(const talvik::layout::SkinRect& r, float scale);

QRect toQRect(const talvik::layout::SkinRect& r);

} // namespace talvik::shell
