#include "DevicePictures.h"

#include "layout/DeviceLayout.h"

#include <QLinearGradient>

namespace talvik::skin {
namespace {

using layout::ElementSpec;
namespace id = layout::firmware_id;

const QColor kBoxFill = toColor(layout::kInfoBackground);

// A text box's recess: the window places its read-only box inside.
void drawBoxRecess(QPainter& p, const layout::SkinRect& box) {
    drawPanel(p, toRect(box).adjusted(-4, -4, 4, 4), 5, kBoxFill);
}

// The trough of the progress bar, and in the active picture the full bar the
// window copies as much of as the download has done.
void drawProgressBar(QPainter& p, bool filled) {
    const QRect bar = toRect(layout::kFirmwareBar);
    drawPanel(p, bar.adjusted(-3, -3, 3, 3), 6, kBoxFill);
    if (!filled) {
        return;
    }
    p.save();
    QLinearGradient fill(0, bar.top(), 0, bar.bottom());
    fill.setColorAt(0.0, QColor(255, 150, 60));
    fill.setColorAt(0.5, toColor(layout::kAccentOrange));
    fill.setColorAt(1.0, QColor(196, 84, 0));
    p.fillRect(bar, fill);
    // Fine stripes, so a moving bar reads as progress even in grey.
    p.setPen(QPen(QColor(255, 255, 255, 36), 3));
    p.setClipRect(bar);
    for (int x = bar.left() - bar.height(); x < bar.right(); x += 12) {
        p.drawLine(x, bar.bottom() + 1, x + bar.height(), bar.top());
    }
    p.restore();
}

} // namespace

QImage drawFirmwarePicture(Look look, int resolution) {
    using layout::kFirmwareHeight;
    using layout::kFirmwareWidth;
    QImage image = makeBody(kFirmwareWidth, kFirmwareHeight,
                            QRect(2, 2, kFirmwareWidth - 5, kFirmwareHeight - 5), 14, resolution,
                            layout::kFirmwareColourKey);
    QPainter p(&image);
    drawBrandTile(p, QRectF(18, 17, 22, 22));
    p.setPen(QColor(52, 53, 58));
    p.drawLine(16, 56, kFirmwareWidth - 18, 56);
    drawBoxRecess(p, layout::kFirmwareVersionBox);
    drawBoxRecess(p, layout::kFirmwareFileBox);
    drawProgressBar(p, look == Look::Active);
    for (const ElementSpec& e : layout::firmwareElements()) {
        if (e.isLabel) {
            continue;
        }
        if (e.id == id::Close) {
            drawWindowButton(p, toRect(e.rect), WindowGlyph::Close, look);
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
