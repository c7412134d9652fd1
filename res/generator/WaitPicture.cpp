#include "WaitPicture.h"

#include "layout/WaitLayout.h"

namespace talvik::skin {
namespace {

const QColor kAccent = toColor(layout::kAccentOrange);

void drawHeader(QPainter& p) {
    drawTitleBar(p, QRectF(20, 20, 5, 22), QRect(34, 14, 300, 34), 17, QStringLiteral("Talvik"));
    p.setPen(QColor(52, 53, 58));
    p.drawLine(18, 60, layout::kWaitWidth - 18, 60);
}

// A small keycap; lit, its face glows in the accent colour.
void drawSmallKeycap(QPainter& p, const QRect& r, bool lit) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    const QRectF cap = QRectF(r).adjusted(2, 2, -2, -2);
    p.setPen(QPen(lit ? QColor(255, 150, 60) : QColor(24, 24, 26), 1));
    p.setBrush(lit ? QColor(70, 44, 24) : QColor(44, 45, 50));
    p.drawRoundedRect(cap, 5, 5);
    p.setPen(Qt::NoPen);
    p.setBrush(lit ? kAccent : QColor(70, 72, 78));
    p.drawRoundedRect(cap.adjusted(4, 4, -4, -8), 3, 3);
    p.restore();
}

void drawHeadline(QPainter& p) {
    p.save();
    p.setPen(QColor(236, 236, 240));
    p.setFont(skinFont(17, true));
    p.drawText(toRect(layout::kWaitHeadlineZhRect), Qt::AlignLeft | Qt::AlignVCenter,
               QString::fromUtf8(layout::kWaitHeadlineZh));
    p.setPen(QColor(190, 192, 198));
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
    p.setPen(look == Look::Normal ? QColor(200, 200, 200) : QColor(255, 255, 255));
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
    drawPanel(p, QRect(16, 86, 158, 54), 10, QColor(17, 17, 19));
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
