#include "MainPicture.h"

#include <QPainterPath>

namespace talvik::skin {
namespace {

using layout::ElementSpec;
namespace id = layout::main_id;

const QColor kAccent = toColor(layout::kAccentOrange);

void drawTitle(QPainter& p, int model) {
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
    p.setBrush(kAccent);
    p.drawRoundedRect(QRectF(22, 22, 6, 28), 3, 3);
    p.setPen(QColor(236, 236, 240));
    p.setFont(skinFont(22, true));
    p.drawText(QRect(38, 16, 400, 40), Qt::AlignLeft | Qt::AlignVCenter,
               QString::fromStdString(layout::modelName(model)));
    const int nameWidth =
        p.fontMetrics().horizontalAdvance(QString::fromStdString(layout::modelName(model)));
    p.setPen(QColor(130, 132, 140));
    p.setFont(skinFont(13));
    p.drawText(QRect(38 + nameWidth + 14, 20, 300, 36), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("v1.1.2"));
    p.setPen(QColor(52, 53, 58));
    p.drawLine(20, 70, 1220, 70);
}

// Minimise, help and exit: glyphs in a rounded square.
void drawWindowButton(QPainter& p, const QRect& r, int elementId, Look look) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    const QRectF box = QRectF(r).adjusted(0.5, 2.5, -0.5, -2.5);
    QColor glyph(170, 172, 180);
    if (look != Look::Normal) {
        p.setPen(Qt::NoPen);
        p.setBrush(elementId == id::Exit ? QColor(210, 56, 40) : QColor(74, 76, 84));
        p.drawRoundedRect(box, 5, 5);
        glyph = QColor(255, 255, 255);
    }
    p.setPen(QPen(glyph, 2.0, Qt::SolidLine, Qt::RoundCap));
    const QPointF c = box.center();
    if (elementId == id::Minimise) {
        p.drawLine(QPointF(c.x() - 6, c.y() + 5), QPointF(c.x() + 6, c.y() + 5));
    } else if (elementId == id::Exit) {
        p.drawLine(QPointF(c.x() - 5, c.y() - 5), QPointF(c.x() + 5, c.y() + 5));
        p.drawLine(QPointF(c.x() - 5, c.y() + 5), QPointF(c.x() + 5, c.y() - 5));
    } else {
        p.setFont(skinFont(17, true));
        p.drawText(box, Qt::AlignCenter, QStringLiteral("?"));
    }
    p.restore();
}

// The layer switch: a sliding toggle, knob left for the top layer, right and
// orange for the Fn layer.
void drawLayerSwitch(QPainter& p, const QRect& r, Look look) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    const QRectF track(r.center().x() - 21, r.top() + 20.5, 42, 22);
    const bool on = look == Look::Active;
    p.setPen(QPen(look == Look::Hover ? kAccent : QColor(86, 88, 96), 1.5));
    p.setBrush(on ? QColor(200, 86, 0) : QColor(44, 45, 50));
    p.drawRoundedRect(track, 11, 11);
    const qreal knobX = on ? track.right() - 20 : track.left() + 2;
    p.setPen(Qt::NoPen);
    p.setBrush(look == Look::Normal ? QColor(190, 192, 198) : QColor(255, 255, 255));
    p.drawEllipse(QRectF(knobX, track.top() + 2, 18, 18));
    p.restore();
}

void drawElement(QPainter& p, const ElementSpec& e, Look look) {
    const QRect r = toRect(e.rect);
    if (e.keyIndex > 0) {
        drawKeycap(p, r, QString::fromUtf8(e.legend.c_str()), look);
    } else if (e.id == id::Layer) {
        drawLayerSwitch(p, r, look);
    } else if (e.id == id::Help || e.id == id::Minimise || e.id == id::Exit) {
        drawWindowButton(p, r, e.id, look);
    } else {
        drawButton(p, r, look);
    }
}

void drawLegendSamples(QPainter& p, const std::vector<ElementSpec>& elements) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    for (const ElementSpec& e : elements) {
        const int mode = e.id - id::FirstLegendLabel + 2;
        if (!e.isLabel || mode < 2 || mode > 8) {
            continue;
        }
        const QRectF sample(e.rect.left - 22, e.rect.top + 6, 15, 8);
        p.setPen(Qt::NoPen);
        p.setBrush(toColor(layout::modeColors()[mode]));
        p.drawRoundedRect(sample, 2, 2);
    }
    p.restore();
}

void drawBrand(QPainter& p, int model) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    const QRect block(985, 506, 230, 144);
    drawPanel(p, block, 10, QColor(26, 26, 29));
    p.setPen(Qt::NoPen);
    p.setBrush(kAccent);
    p.drawRoundedRect(QRectF(1005, 530, 40, 40), 9, 9);
    p.setPen(QColor(20, 20, 20));
    p.setFont(skinFont(26, true));
    p.drawText(QRectF(1005, 528, 40, 40), Qt::AlignCenter, QStringLiteral("T"));
    p.setPen(QColor(236, 236, 240));
    p.setFont(skinFont(20, true));
    p.drawText(QRect(1056, 528, 150, 24), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("TALVIK"));
    p.setPen(QColor(140, 142, 150));
    p.setFont(skinFont(12));
    p.drawText(QRect(1056, 552, 150, 20), Qt::AlignLeft | Qt::AlignVCenter,
               QString::fromStdString(layout::modelName(model)));
    p.setPen(QColor(110, 112, 120));
    p.drawText(QRect(1005, 585, 200, 20), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("87 keys \u00b7 2 layers"));
    p.drawText(QRect(1005, 605, 200, 20), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("87 \u952e \u00b7 \u53cc\u5c42"));
    p.restore();
}

} // namespace

QImage drawMainPicture(int model, Look look) {
    using layout::kMainHeight;
    using layout::kMainWidth;
    QImage image =
        makeBody(kMainWidth, kMainHeight, QRect(2, 2, kMainWidth - 5, kMainHeight - 5), 18);
    QPainter p(&image);
    drawTitle(p, model);
    // The keyboard case, with a thin accent line along its top edge.
    drawPanel(p, QRect(204, 150, 870, 326), 14, QColor(17, 17, 19));
    p.fillRect(QRect(230, 151, 818, 2), QColor(255, 111, 0, 150));
    drawPanel(p, toRect(layout::kMainInfoRect).adjusted(-5, -5, 5, 5), 8,
              toColor(layout::kInfoBackground));
    drawBrand(p, model);

    const std::vector<ElementSpec> elements = layout::mainElements(model);
    drawLegendSamples(p, elements);
    for (const ElementSpec& e : elements) {
        if (!e.isLabel) {
            drawElement(p, e, look);
        }
    }
    return image;
}

} // namespace talvik::skin

namespace talvik::skin {

QImage drawProgramIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
    p.setBrush(toColor(layout::kAccentOrange));
    p.drawRoundedRect(QRectF(0, 0, size, size), size * 0.22, size * 0.22);
    p.setPen(QColor(20, 20, 20));
    p.setFont(skinFont(size * 2 / 3, true));
    p.drawText(QRectF(0, -size * 0.04, size, size), Qt::AlignCenter, QStringLiteral("T"));
    return image;
}

} // namespace talvik::skin
