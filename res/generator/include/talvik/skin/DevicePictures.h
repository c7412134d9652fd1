#pragma once

// The pictures of the device dialogs: the backlight settings dialog, its
// multi-key selection dialog and the firmware update dialog.

#include "talvik/skin/SkinPainter.h"

namespace talvik::skin {

// The backlight settings dialog in its normal or pointer-over look.
QImage drawBacklightPicture(int model, Look look, int resolution = 1);
// The multi-key selection dialog in its normal or active (selected) look.
QImage drawMultiSelectPicture(int model, Look look, int resolution = 1);
// The firmware update dialog in one of its three looks; the active one holds
// the full progress bar.
QImage drawFirmwarePicture(Look look, int resolution = 1);

void addBacklightPictures(PictureSet& pictures);
void addFirmwarePictures(PictureSet& pictures);

// The brand tile and name in a dialog's top left corner.
void drawDialogBrand(QPainter& p, QPointF at, qreal tile, const QString& subtitle);

} // namespace talvik::skin
