#include "talvik/skin/DevicePictures.h"

#include "talvik/layout/DeviceLayout.h"

namespace talvik::skin {
namespace {

using layout::ElementSpec;
namespace id = layout::firmware_id;

const QColor kBoxFill = toColor(layout::kInfoBackground);

// A text box's recess: the window places its read-only box inside.
void drawBoxRecess(QPainter& p, const layout::SkinRect& box) {
    drawPanel(p, toRect(box).adjusted(-4, -4, 4, 4), 5, kBoxFill);
}

} // namespace

QImage drawFirmwarePicture(Look look, int resolution) {
    using layout::kFirmwareHeight;
    using layout::kFirmwareWidth;
    QImage image = makeBody(kFirmwareWidth, kFirmwareHeight,
                            QRect(2, 2, kFirmwareWidth - 5, kFirmwareHeight - 5), 14, resolution,
                            layout::kFirmwareColourKey);
    QPainter p(&image);
    drawSmallDialogHeader(p, kFirmwareWidth);
    drawBoxRecess(p, layout::kFirmwareVersionBox);
    drawBoxRecess(p, layout::kFirmwareFileBox);
    drawProgressTrack(p, QRectF(toRect(layout::kFirmwareBar)), look == Look::Active);
    for (const ElementSpec& e : layout::firmwareElements()) {
        if (e.isLabel) {
            continue;
        }
        if (e.id == id::Close) {
            // A glyph level with the title's text, as in the progress dialog.
            drawWindowButton(p, QRectF(toRect(e.rect)).adjusted(0.5, 2, -0.5, -14),
                             WindowGlyph::Close, look);
        } else {
            drawButton(p, toRect(e.rect), look);
        }
    }
    return image;
}

void addFirmwarePictures(PictureSet& pictures) {
    pictures[layout::kFirmwarePictureNormal] = [](int r) {
        return drawFirmwarePicture(Look::Normal, r);
    };
    pictures[layout::kFirmwarePictureHover] = [](int r) {
        return drawFirmwarePicture(Look::Hover, r);
    };
    pictures[layout::kFirmwarePictureActive] = [](int r) {
        return drawFirmwarePicture(Look::Active, r);
    };
}

} // namespace talvik::skin
