#include "talvik/skin/VirtualKeyboardPicture.h"

#include "talvik/layout/VirtualKeys.h"

namespace talvik::skin {
namespace {

using namespace layout;

// The title is written by the window in the user's language; the picture
// gives it its place: a rule across the dialog with the accent under it.
void drawHeader(QPainter& p) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(toColor(kTitleRule));
    p.drawLine(20, 48, layout::kVirtualWidth - 20, 48);
    p.setPen(Qt::NoPen);
    p.setBrush(toColor(kAccentOrange));
    p.drawRoundedRect(QRectF(layout::kVirtualWidth / 2.0 - 20, 45.5, 40, 5), 2.5, 2.5);
    p.restore();
}

// Above the keypad, where a keyboard has its lights, the brand.
void drawBrand(QPainter& p) {
    drawBrandTile(p, QPointF(800, 72), 20);
    p.save();
    p.setPen(toColor(kMutedInk));
    p.setFont(skinFont(13, true));
    p.drawText(QRect(827, 71, 80, 22), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("TALVIK"));
    p.restore();
}

void drawHint(QPainter& p) {
    p.save();
    p.setPen(toColor(kFaintInk));
    p.setFont(skinFont(11));
    p.drawText(QRect(766, 303, 150, 18), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("\u70b9\u51fb\u6309\u952e\u8fdb\u884c\u9009\u62e9"));
    p.drawText(QRect(766, 320, 150, 18), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Click the keys to choose"));
    p.restore();
}

} // namespace

QImage drawVirtualKeyboardPicture(Look look, int resolution) {
    using layout::kVirtualHeight;
    using layout::kVirtualWidth;
    QImage image = makeBody(kVirtualWidth, kVirtualHeight,
                            QRect(2, 2, kVirtualWidth - 5, kVirtualHeight - 5), 16, resolution);
    QPainter p(&image);
    drawHeader(p);
    // The keyboard case, with the accent along its top edge as on the main window.
    drawPanel(p, QRect(20, 57, 894, 236), 12, toColor(kKeyboardCase));
    p.fillRect(QRect(44, 58, 846, 2), toColor(kAccentOrange, kCaseRimAlpha));
    drawPanel(p, toRect(layout::kVirtualInfoRect).adjusted(-4, -4, 4, 4), 6,
              toColor(kInfoBackground));
    drawHint(p);
    drawBrand(p);
    for (const ElementSpec& e : layout::virtualKeyboardElements()) {
        if (e.isLabel || e.rect.left < 0) {
            continue;
        }
        if (e.keyIndex > 0) {
            drawKeycap(p, toRect(e.rect), QString::fromUtf8(e.legend.c_str()), look,
                       Keycap::Compact);
        } else {
            drawButton(p, toRect(e.rect), look);
        }
    }
    return image;
}

void addVirtualKeyboardPictures(PictureSet& pictures) {
    const layout::VirtualPictureIds ids = layout::kVirtualPictures;
    for (const auto& [id, look] :
         {std::pair{ids.normal, Look::Normal}, std::pair{ids.hover, Look::Hover},
          std::pair{ids.active, Look::Active}}) {
        pictures[id] = [look = look](int resolution) {
            return drawVirtualKeyboardPicture(look, resolution);
        };
    }
}

} // namespace talvik::skin
