#include "talvik/skin/SkinPainter.h"
#include "talvik/layout/MainPanels.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainterPath>

namespace talvik::skin {

namespace {
const QColor kAccent = toColor(layout::kAccentOrange);
}

using namespace layout;

void addThreeLooks(PictureSet& pictures, const layout::MainPictureIds& ids,
                   const std::function<QImage(Look look, int resolution)>& draw) {
    for (const std::pair<int, Look>& picture :
         {std::pair{ids.normal, Look::Normal}, std::pair{ids.hover, Look::Hover},
          std::pair{ids.active, Look::Active}}) {
        const Look look = picture.second;
        pictures[picture.first] = [draw, look](int resolution) { return draw(look, resolution); };
    }
}

QColor toColor(layout::Rgb rgb, int alpha) {
    return QColor(rgb.red, rgb.green, rgb.blue, alpha);
}

QRect toRect(const layout::SkinRect& r) {
    return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

QImage makeCanvas(int width, int height, int resolution, QImage::Format format) {
    QImage image(width * resolution, height * resolution, format);
    image.setDevicePixelRatio(resolution);
    return image;
}

QImage makeBody(int width, int height, const QRect& outline, int radius, int resolution,
                layout::Rgb key) {
    QImage image = makeCanvas(width, height, resolution);
    image.fill(toColor(key));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    QPainterPath path;
    path.addRoundedRect(outline, radius, radius);
    QLinearGradient body(0, outline.top(), 0, outline.bottom());
    body.setColorAt(0.0, toColor(kBodyTop));
    body.setColorAt(0.25, toColor(kBodyMiddle));
    body.setColorAt(1.0, toColor(kBodyBottom));
    p.fillPath(path, body);
    p.setPen(toColor(kBodyOutline));
    p.drawPath(path);
    return image;
}

QFont skinFont(int pixelSize, bool bold) {
    QFont font(QStringLiteral("Noto Sans CJK SC"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

void drawBrandTile(QPainter& p, const QRectF& tile, qreal radius, int fontPixels, qreal textRise) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
    p.setBrush(kAccent);
    p.drawRoundedRect(tile, radius, radius);
    p.setPen(toColor(kInkOnAccent));
    p.setFont(skinFont(fontPixels, true));
    p.drawText(tile.translated(0, -textRise), Qt::AlignCenter, QStringLiteral("T"));
    p.restore();
}

void drawSmallDialogHeader(QPainter& p, int width) {
    drawBrandTile(p, QRectF(20, 13, 22, 22), 6, 15, 1);
    p.save();
    p.setPen(toColor(kTitleRule));
    p.drawLine(18, 50, width - 18, 50);
    p.restore();
}

void drawProgressTrack(QPainter& p, const QRectF& track, bool filled) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(toColor(kRecessShadow), 1));
    p.setBrush(toColor(kKeyboardCase));
    p.drawRoundedRect(track.adjusted(0.5, 0.5, -0.5, -0.5), 10.5, 10.5);
    p.setPen(QPen(toColor(kTrackRim), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(track.adjusted(1.5, 1.5, -1.5, -1.5), 9.5, 9.5);
    if (filled) {
        const QRectF fill = track.adjusted(3, 3, -3, -3);
        QLinearGradient glow(0, fill.top(), 0, fill.bottom());
        glow.setColorAt(0, toColor(kAccentGlow));
        glow.setColorAt(0.5, kAccent);
        glow.setColorAt(1, toColor(kAccentDeep));
        p.setPen(Qt::NoPen);
        p.setBrush(glow);
        p.drawRoundedRect(fill, 8, 8);
        // Light stripes across the fill, clipped to it.
        QPainterPath clip;
        clip.addRoundedRect(fill, 8, 8);
        p.setClipPath(clip);
        p.setPen(QPen(toColor(kLitInk, kProgressStripeAlpha), 5));
        for (qreal x = fill.left() - 10; x < fill.right() + 10; x += 14) {
            p.drawLine(QPointF(x, fill.bottom() + 2), QPointF(x + 12, fill.top() - 2));
        }
    }
    p.restore();
}

int drawTitleBar(QPainter& p, const QRectF& bar, const QRect& textBox, int fontSize,
                 const QString& title) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
    p.setBrush(kAccent);
    p.drawRoundedRect(bar, bar.width() / 2, bar.width() / 2);
    p.setPen(toColor(kTitleText));
    p.setFont(skinFont(fontSize, true));
    p.drawText(textBox, Qt::AlignLeft | Qt::AlignVCenter, title);
    const int width = p.fontMetrics().horizontalAdvance(title);
    p.restore();
    return width;
}

const ButtonShades& buttonShades(Look look) {
    return byLook(look, kButtonNormal, kButtonHover, kButtonActive);
}

void drawButton(QPainter& p, const QRect& r, Look look) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    const QRectF box = QRectF(r).adjusted(1.5, 1.5, -1.5, -1.5);
    const ButtonShades& c = buttonShades(look);
    QLinearGradient fill(0, box.top(), 0, box.bottom());
    fill.setColorAt(0, toColor(c.fillTop));
    fill.setColorAt(1, toColor(c.fillBottom));
    p.setPen(QPen(toColor(c.border), 1.2));
    p.setBrush(fill);
    p.drawRoundedRect(box, 6, 6);
    p.restore();
}

void drawWindowButton(QPainter& p, const QRectF& box, WindowGlyph glyph, Look look) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    QColor ink = toColor(kWindowGlyph);
    if (look != Look::Normal) {
        p.setPen(Qt::NoPen);
        p.setBrush(toColor(glyph == WindowGlyph::Close ? kCloseBack : kWindowGlyphBack));
        p.drawRoundedRect(box, 5, 5);
        ink = toColor(kLitInk);
    }
    p.setPen(QPen(ink, 2.0, Qt::SolidLine, Qt::RoundCap));
    const QPointF c = box.center();
    switch (glyph) {
    case WindowGlyph::Minimise:
        p.drawLine(QPointF(c.x() - 6, c.y() + 5), QPointF(c.x() + 6, c.y() + 5));
        break;
    case WindowGlyph::Close:
        p.drawLine(QPointF(c.x() - 5, c.y() - 5), QPointF(c.x() + 5, c.y() + 5));
        p.drawLine(QPointF(c.x() - 5, c.y() + 5), QPointF(c.x() + 5, c.y() - 5));
        break;
    case WindowGlyph::Help:
        p.setFont(skinFont(17, true));
        p.drawText(box, Qt::AlignCenter, QStringLiteral("?"));
        break;
    }
    p.restore();
}

namespace {

const KeycapShades& keycapShades(Look look) {
    return byLook(look, kKeycapNormal, kKeycapHover, kKeycapActive);
}

} // namespace

QColor keycapInk(Look look) {
    return toColor(keycapShades(look).ink);
}

QColor keycapFace(Look look) {
    return toColor(keycapShades(look).faceBottom);
}

namespace {

QRectF drawKeycapBodyIn(QPainter& p, const QRect& r, const KeycapShades& c, qreal edgeWidth,
                        Keycap size) {
    const bool compact = size == Keycap::Compact;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    const qreal margin = compact ? 1.5 : layout::kKeycapInset;
    const QRectF skirt = QRectF(r).adjusted(margin, margin, -margin, -margin);
    const QRectF face =
        compact ? skirt.adjusted(2.5, 1.5, -2.5, -4.5) : skirt.adjusted(3.5, 2, -3.5, -6);
    p.setPen(QPen(toColor(c.edge), edgeWidth));
    p.setBrush(toColor(c.skirt));
    const qreal radius = compact ? 4 : layout::kKeycapRadius;
    p.drawRoundedRect(skirt, radius, radius);
    p.setPen(Qt::NoPen);
    if (c.faceTop == c.faceBottom) {
        p.setBrush(toColor(c.faceTop));
    } else {
        QLinearGradient faceFill(0, face.top(), 0, face.bottom());
        faceFill.setColorAt(0, toColor(c.faceTop));
        faceFill.setColorAt(1, toColor(c.faceBottom));
        p.setBrush(faceFill);
    }
    p.drawRoundedRect(face, compact ? 3 : 4, compact ? 3 : 4);
    p.restore();
    return face;
}

// A one-line legend as large as its keycap allows it.
void drawLegendLine(QPainter& p, const QRectF& face, const QString& legend, Keycap size) {
    const bool compact = size == Keycap::Compact;
    const bool bold = legend.size() <= 2;
    int pixels = 0;
    if (compact) {
        pixels = bold ? 13 : 11;
    } else {
        pixels = bold ? 15 : (legend.size() <= 4 ? 12 : 11);
    }
    const QRectF text = compact ? face.adjusted(1, 0, -1, 0) : face.adjusted(2, 1, -2, -1);
    // A regular legend may reach into the face's margin.
    const qreal room = compact ? text.width() : face.width();
    while (pixels > 7 && QFontMetricsF(skinFont(pixels, bold)).horizontalAdvance(legend) > room) {
        --pixels;
    }
    p.setFont(skinFont(pixels, bold));
    p.drawText(text, Qt::AlignCenter, legend);
}

void drawKeycapIn(QPainter& p, const QRect& r, const QString& legend, const KeycapShades& c,
                  qreal edgeWidth, Keycap size) {
    const QRectF face = drawKeycapBodyIn(p, r, c, edgeWidth, size);
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(toColor(c.ink));
    const QStringList lines = legend.split(QLatin1Char('\n'));
    if (lines.size() == 2) {
        const QRectF text = face.adjusted(2, 1, -2, -1);
        p.setFont(skinFont(11));
        p.drawText(text.adjusted(0, 0, 0, -text.height() / 2), Qt::AlignCenter, lines[0]);
        p.setFont(skinFont(13, true));
        p.drawText(text.adjusted(0, text.height() / 2, 0, 0), Qt::AlignCenter, lines[0 + 1]);
    } else {
        drawLegendLine(p, face, legend, size);
    }
    p.restore();
}

qreal edgeWidthOf(Look look) {
    return look == Look::Hover ? layout::kKeyOutlineWidth : 1.0;
}

} // namespace

QRectF drawKeycapBody(QPainter& p, const QRect& r, Look look, Keycap size) {
    return drawKeycapBodyIn(p, r, keycapShades(look), edgeWidthOf(look), size);
}

void drawKeycap(QPainter& p, const QRect& r, const QString& legend, Look look, Keycap size) {
    drawKeycapIn(p, r, legend, keycapShades(look), edgeWidthOf(look), size);
}

void drawTintedKeycap(QPainter& p, const QRect& r, const QString& legend, layout::Rgb tint,
                      layout::Rgb ink, bool pointed) {
    const auto darker = [](int channel) { return channel * 3 / 5; };
    const KeycapShades shades{{darker(tint.red), darker(tint.green), darker(tint.blue)},
                              tint,
                              tint,
                              ink,
                              pointed ? layout::kAccentOrange : layout::kKeycapEdge};
    drawKeycapIn(p, r, legend, shades, edgeWidthOf(pointed ? Look::Hover : Look::Normal),
                 Keycap::Regular);
}

void drawBrandTile(QPainter& p, QPointF topLeft, int size) {
    drawBrandTile(p, QRectF(topLeft, QSizeF(size, size)), size * 14.0 / 64, size * 42 / 64,
                  size / 32.0);
}

void drawPanel(QPainter& p, const QRect& r, int radius, QColor fill) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(toColor(kRecessShadow), 1));
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    p.setPen(QPen(toColor(kRecessRim), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(r).adjusted(1.5, 1.5, -1.5, -1.5), radius - 1, radius - 1);
    p.restore();
}

} // namespace talvik::skin
