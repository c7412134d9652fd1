#include "talvik/skin/ScrollBarPicture.h"

#include <QPainterPath>

namespace talvik::skin {
namespace {

using namespace layout;

enum class Cell { FirstArrow, LastArrow, Thumb, Track };

const ScrollBarShades& shadesOf(Look look) {
    return byLook(look, kScrollBarNormal, kScrollBarHover, kScrollBarActive);
}

// The trough every cell stands in: dark, with a groove along the axis. Along
// the axis nothing changes, so the bar can repeat it to any length.
void drawTrough(QPainter& p) {
    const qreal c = kScrollBarCell;
    p.fillRect(QRectF(0, 0, c, c), toColor(kScrollTrough));
    p.fillRect(QRectF(c / 2 - 1.5, 0, 3, c), toColor(kScrollGroove));
    p.fillRect(QRectF(0, 0, 1, c), toColor(kScrollTroughShade));
    p.fillRect(QRectF(c - 1, 0, 1, c), toColor(kScrollTroughLight));
}

void drawArrow(QPainter& p, bool first, Look look) {
    const qreal c = kScrollBarCell;
    const ScrollBarShades& shades = shadesOf(look);
    p.setPen(QPen(toColor(shades.arrowBorder), 1.0));
    p.setBrush(toColor(shades.arrowFill));
    p.drawRoundedRect(QRectF(1.5, 1.5, c - 3, c - 3), 3, 3);
    // A chevron pointing up for the first arrow, down for the last.
    const qreal tip = first ? 5.0 : c - 5.0;
    const qreal base = first ? c - 6.5 : 6.5;
    p.setPen(QPen(toColor(shades.chevron), 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(
        QPolygonF({QPointF(c / 2 - 3.5, base), QPointF(c / 2, tip), QPointF(c / 2 + 3.5, base)}));
}

// The thumb fills its cell along the axis: its rounded ends lie within the
// first and last few pixels, and between them every row is the same, so
// the bar can stretch the thumb by repeating its middle.
void drawThumb(QPainter& p, Look look) {
    const qreal c = kScrollBarCell;
    const ScrollBarShades& shades = shadesOf(look);
    QLinearGradient across(2.5, 0, c - 2.5, 0);
    across.setColorAt(0, toColor(shades.thumbEdge));
    across.setColorAt(0.5, toColor(shades.thumbMiddle));
    across.setColorAt(1, toColor(shades.thumbEdge));
    QPainterPath thumb;
    const qreal end = layout::kScrollThumbEnd;
    thumb.addRoundedRect(QRectF(2.5, 0, c - 5, c), end, end);
    p.setPen(Qt::NoPen);
    p.fillPath(thumb, across);
}

void drawCell(QPainter& p, Cell cell, Look look) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    drawTrough(p);
    switch (cell) {
    case Cell::FirstArrow:
    case Cell::LastArrow:
        drawArrow(p, cell == Cell::FirstArrow, look);
        break;
    case Cell::Thumb:
        drawThumb(p, look);
        break;
    case Cell::Track:
        break;
    }
    p.restore();
}

// One cell of a vertical bar at `resolution`.
QImage drawVerticalCell(Cell cell, Look look, int resolution) {
    QImage image = makeCanvas(kScrollBarCell, kScrollBarCell, resolution);
    QPainter p(&image);
    drawCell(p, cell, look);
    return image;
}

} // namespace

QImage drawScrollBarPicture(int resolution) {
    const int c = kScrollBarCell;
    QImage image =
        makeCanvas(c * layout::kScrollBarColumns, c * layout::kScrollBarRows, resolution);
    QPainter p(&image);
    const Look looks[] = {Look::Normal, Look::Hover, Look::Active};
    const Cell cells[] = {Cell::FirstArrow, Cell::LastArrow, Cell::Thumb, Cell::Track};
    for (int row = 0; row < layout::kScrollBarRows; ++row) {
        for (int column = 0; column < 4; ++column) {
            // A horizontal cell is its vertical twin with the axes exchanged,
            // pixel for pixel: up becomes left and down right.
            const QImage vertical = drawVerticalCell(cells[column], looks[row], resolution);
            QImage horizontal = vertical.transformed(QTransform(0, 1, 1, 0, 0, 0))
                                    .convertToFormat(QImage::Format_RGB32);
            horizontal.setDevicePixelRatio(resolution);
            p.drawImage(QPoint(column * c, row * c), vertical);
            p.drawImage(QPoint((column + 4) * c, row * c), horizontal);
        }
        p.drawImage(QPoint(8 * c, row * c),
                    drawVerticalCell(Cell::Track, Look::Normal, resolution));
    }
    return image;
}

void addScrollBarPicture(PictureSet& pictures) {
    pictures[layout::kScrollBarPictureId] = [](int resolution) {
        return drawScrollBarPicture(resolution);
    };
}

} // namespace talvik::skin
