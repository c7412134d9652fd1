#include "talvik/skin/WaitPicture.h"

#include "talvik/layout/WaitLayout.h"

namespace talvik::skin {
namespace {

using namespace layout;

void drawHeader(QPainter& p) {
    drawTitleBar(p, QRectF(20, 20, 5, 22), QRect(34, 14, 300, 34), 17, QStringLiteral("Talvik"));
    p.setPen(toColor(kTitleRule));
    p.drawLine(18, 60, layout::kWaitWidth - 18, 60);
}

// A small keycap; lit, its face glows in the accent colour.
void drawSmallKeycap(QPainter& p, const QRect& r, bool lit) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    const QRectF cap = QRectF(r).adjusted(2, 2, -2, -2);
    p.setPen(QPen(toColor(lit ? kAccentBright : kKeycapEdge), 1));
    p.setBrush(toColor(lit ? kLitSmallKeycap : kControlFill));
    p.drawRoundedRect(cap, 5, 5);
    p.setPen(Qt::NoPen);
    p.setBrush(toColor(lit ? kAccentOrange : kSmallKeycapFace));
    p.drawRoundedRect(cap.adjusted(4, 4, -4, -8), 3, 3);
    p.restore();
}

void drawHeadline(QPainter& p) {
    p.save();
    p.setPen(toColor(kTitleText));
    p.setFont(skinFont(17, true));
    p.drawText(toRect(layout::kWaitHeadlineZhRect), Qt::AlignLeft | Qt::AlignVCenter,
               QString::fromUtf8(layout::kWaitHeadlineZh));
    p.setPen(toColor(kPaleInk));
    p.setFont(skinFont(14));
    p.drawText(toRect(layout::kWaitHeadlineEnRect), Qt::AlignLeft | Qt::AlignVCenter,
               QString::fromUtf8(layout::kWaitHeadlineEn));
    p.restore();
}

// The Quit button carries its caption in both languages.
void drawQuit(QPainter& p, const layout::ElementSpec& e, Look look) {
    const QRect r = toRect(e.rect);
    drawButton(p, r, look);
    p.save();
    p.setPen(toColor(look == Look::Normal ? kCaptionGrey : kLitInk));
    p.setFont(skinFont(13));
    p.drawText(r, Qt::AlignCenter,
               QString::fromUtf8(e.zh.c_str()) + QStringLiteral(" \u00b7 ") +
                   QString::fromUtf8(e.en.c_str()));
    p.restore();
}

QImage drawWaitPicture(Look look, int resolution) {
    using layout::kWaitHeight;
    using layout::kWaitWidth;
    QImage image = makeBody(kWaitWidth, kWaitHeight, QRect(2, 2, kWaitWidth - 5, kWaitHeight - 5),
                            14, resolution);
    QPainter p(&image);
    drawHeader(p);
    drawPanel(p, QRect(16, 86, 158, 54), 10, toColor(kKeyboardCase));
    drawHeadline(p);
    for (const layout::ElementSpec& e : layout::waitElements()) {
        if (e.id == layout::wait_id::Quit) {
            drawQuit(p, e, look);
        } else if (e.id >= layout::wait_id::FirstKeycap) {
            drawSmallKeycap(p, toRect(e.rect), look == Look::Active);
        }
    }
    return image;
}

} // namespace

void addWaitPictures(PictureSet& pictures) {
    addThreeLooks(pictures, layout::kWaitPictureIds, drawWaitPicture);
}

} // namespace talvik::skin
