#include "talvik/skin/ProgramIcon.h"

#include "talvik/skin/SkinPainter.h"

#include <QFontMetricsF>
#include <QPainterPath>

namespace talvik::skin {
namespace {

// The icon is designed on this grid; every size is the same drawing scaled.
constexpr double kDesign = 512.0;
constexpr double kCornerRadius = kDesign * 0.22;
const QColor kInk = toColor(layout::kInkOnAccent);

// The letter's outline on the design grid, centred as the brand tile of the
// main window centres it.
QPainterPath letterPath() {
    QFont font = skinFont(static_cast<int>(kDesign * 2 / 3), true);
    font.setHintingPreference(QFont::PreferNoHinting);
    const QString letter = QStringLiteral("T");
    const QFontMetricsF metrics(font);
    const QRectF box(0, -kDesign * 0.04, kDesign, kDesign);
    const double x = box.left() + (box.width() - metrics.horizontalAdvance(letter)) / 2;
    const double baseline =
        box.top() + (box.height() - (metrics.ascent() + metrics.descent())) / 2 + metrics.ascent();
    QPainterPath path;
    path.addText(QPointF(x, baseline), font, letter);
    return path;
}

QString svgNumber(double value) {
    return QString::number(value, 'f', 2);
}

QString svgPathData(const QPainterPath& path) {
    QString data;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        const QString point = svgNumber(e.x) + QLatin1Char(' ') + svgNumber(e.y);
        if (e.isMoveTo()) {
            data += QStringLiteral("M") + point;
        } else if (e.isLineTo()) {
            data += QStringLiteral("L") + point;
        } else if (e.type == QPainterPath::CurveToElement) {
            data += QStringLiteral("C") + point;
        } else {
            data += QLatin1Char(' ') + point; // the curve's further control points
        }
    }
    return data + QLatin1Char('Z');
}

} // namespace

QImage drawProgramIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.scale(size / kDesign, size / kDesign);
    p.setPen(Qt::NoPen);
    p.setBrush(toColor(layout::kAccentOrange));
    p.drawRoundedRect(QRectF(0, 0, kDesign, kDesign), kCornerRadius, kCornerRadius);
    p.fillPath(letterPath(), kInk);
    return image;
}

QByteArray programIconSvg() {
    const QString svg =
        QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                       "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%1\" "
                       "viewBox=\"0 0 %1 %1\">\n"
                       "  <rect width=\"%1\" height=\"%1\" rx=\"%2\" fill=\"%3\"/>\n"
                       "  <path d=\"%4\" fill=\"%5\" fill-rule=\"%6\"/>\n"
                       "</svg>\n")
            .arg(kDesign)
            .arg(svgNumber(kCornerRadius), toColor(layout::kAccentOrange).name(),
                 svgPathData(letterPath()), kInk.name(),
                 letterPath().fillRule() == Qt::WindingFill ? QStringLiteral("nonzero")
                                                            : QStringLiteral("evenodd"));
    return svg.toUtf8();
}

} // namespace talvik::skin
