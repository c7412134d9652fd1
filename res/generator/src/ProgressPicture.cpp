#include "talvik/skin/ProgressPicture.h"

#include "talvik/layout/ProgressLayout.h"

#include <QLinearGradient>
#include <QPainterPath>

namespace talvik::skin {
namespace {

using namespace layout;

const QColor kAccent = toColor(kAccentOrange);

// A keyboard sending to its cable: what the warning under it is about.
void drawIllustration(QPainter& p) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.translate(-22, 0); // the keyboard and its plug together sit in the middle
    const QRectF board(104, 62, 132, 42);
    p.setPen(QPen(toColor(kRecessShadow), 1));
    p.setBrush(toColor(kKeyboardCase));
    p.drawRoundedRect(board, 7, 7);
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 10; ++col) {
            const QRectF cap(board.left() + 7 + col * 12, board.top() + 6 + row * 11, 10, 9);
            const bool lit = (row == 1 && col == 3) || (row == 0 && col == 7);
            p.setPen(Qt::NoPen);
            p.setBrush(toColor(lit ? kAccentOrange : kKeycapNormal.faceTop));
            p.drawRoundedRect(cap, 2, 2);
        }
    }
    // The cable leaves the keyboard's right side and ends in a plug.
    QPainterPath cable(QPointF(board.right(), board.center().y()));
    cable.cubicTo(QPointF(258, 83), QPointF(262, 70), QPointF(282, 70));
    p.setPen(QPen(toColor(kCable), 3, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(cable);
    p.setPen(QPen(toColor(kKeycapEdge), 1));
    p.setBrush(toColor(kPlugBody));
    p.drawRoundedRect(QRectF(282, 63, 20, 14), 2, 2);
    p.setBrush(toColor(kPlugTip));
    p.drawRect(QRectF(302, 66, 8, 8));
    // Data on its way, both directions.
    p.setPen(QPen(kAccent, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    for (const auto& [from, to] : {std::pair{QPointF(252, 92), QPointF(276, 92)},
                                   std::pair{QPointF(276, 100), QPointF(252, 100)}}) {
        const qreal tip = to.x() > from.x() ? -4 : 4;
        p.drawLine(from, to);
        p.drawLine(to, QPointF(to.x() + tip, to.y() - 3));
        p.drawLine(to, QPointF(to.x() + tip, to.y() + 3));
    }
    p.restore();
}

void drawFooter(QPainter& p) {
    p.save();
    p.setPen(toColor(kFaintInk));
    p.setFont(skinFont(12, true));
    p.drawText(QRect(40, 206, 150, 24), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("TALVIK"));
    p.restore();
}

} // namespace

QImage drawProgressPicture(Look look, int resolution) {
    QImage image = makeBody(kProgressWidth, kProgressHeight,
                            QRect(2, 2, kProgressWidth - 5, kProgressHeight - 5), 14, resolution,
                            kProgressColourKey);
    QPainter p(&image);
    drawSmallDialogHeader(p, kProgressWidth);
    drawIllustration(p);
    drawProgressTrack(p, QRectF(toRect(kProgressBarRect)), look == Look::Active);
    drawFooter(p);
    const std::vector<ElementSpec> elements = progressElements();
    // The close control: a glyph level with the title's text.
    drawWindowButton(p, QRectF(toRect(elements[0].rect)).adjusted(0.5, 2, -0.5, -14),
                     WindowGlyph::Close, look);
    drawButton(p, toRect(elements[1].rect), look);
    return image;
}

void addProgressPictures(PictureSet& pictures) {
    for (const std::pair<int, Look>& picture :
         {std::pair{kProgressNormalId, Look::Normal}, std::pair{kProgressHoverId, Look::Hover},
          std::pair{kProgressActiveId, Look::Active}}) {
        const Look look = picture.second;
        pictures[picture.first] = [look](int resolution) {
            return drawProgressPicture(look, resolution);
        };
    }
}

} // namespace talvik::skin
