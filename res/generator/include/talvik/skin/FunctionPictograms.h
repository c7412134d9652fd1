#pragma once

// The selection buttons of the key settings dialog's function pages, drawn
// in the skin's style: the multimedia and function buttons are keycaps with
// a pictogram of their function, the mouse buttons are rows that carry a
// caption, the power buttons have their pictogram beside the caption.
// The page faces draw their buttons with these, in each of the three looks.

#include "talvik/skin/SkinPainter.h"
#include "talvik/layout/FunctionCodes.h"

namespace talvik::skin {

// Draws the pictogram of function `code` centred on `face` (a keycap face,
// about 24 x 24 design pixels) in `ink`; `face` also gives the colour that
// separates a badge from the picture under it. False, drawing nothing, for a
// code without a pictogram (the mouse page's functions).
bool drawFunctionPictogram(QPainter& p, const QRectF& face, int code, const QColor& ink,
                           const QColor& faceColour);

// One button of function page `page` (4 to 7) in one look.
void drawFunctionButton(QPainter& p, int page, const layout::FunctionButton& button, Look look);

// Every button of a page in one look, where the page face has it.
void drawFunctionButtons(QPainter& p, int page, Look look);

} // namespace talvik::skin
