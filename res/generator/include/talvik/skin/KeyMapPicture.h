#pragma once

#include "talvik/skin/SkinPainter.h"

#include "talvik/layout/KeySettingsLayout.h"

namespace talvik::skin {

// One face of the key settings dialog: page `page` (1..7) with every element
// of that page and of every page in the given look. The page's own tab is
// drawn as the chosen one.
QImage drawKeyMapFace(int model, int page, Look look, int resolution = 1);

// The 21 faces of every model.
void addKeyMapPictures(PictureSet& pictures);

// Parts of the faces, in the skin's look.
void drawRadio(QPainter& p, const QRect& hot, Look look);
void drawListBox(QPainter& p, const QRect& box, int headerHeight);
void drawListRow(QPainter& p, const QRect& row, Look look);
void drawRecordButton(QPainter& p, const QRect& r, Look look);
void drawTab(QPainter& p, const QRect& r, Look look, bool chosen);

// Page contents below the tabs; the elements themselves are drawn after them.
void drawSingleComboPage(QPainter& p);
void drawMacroPage(QPainter& p);
void drawEmulatePage(QPainter& p);

} // namespace talvik::skin
