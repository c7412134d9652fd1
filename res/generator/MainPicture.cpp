#include "MainPicture.h"
#include "talvik/text/Language.h"

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
               QString::fromUtf8(text::modelName(model)));
    const int nameWidth =
        p.fontMetrics().horizontalAdvance(QString::fromUtf8(text::modelName(model)));
    p.setPen(QColor(130, 132, 140));
    p.setFont(skinFont(13));
    p.drawText(QRect(38 + nameWidth + 14, 20, 300, 36), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("v1.1.2"));
    p.setPen(QColor(52, 53, 58));
    p.drawLine(20, 70, 1220, 70);
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
        const WindowGlyph glyph = e.id == id::Exit       ? WindowGlyph::Close
                                  : e.id == id::Minimise ? WindowGlyph::Minimise
                                                         : WindowGlyph::Help;
        drawWindowButton(p, QRectF(r).adjusted(0.5, 2.5, -0.5, -2.5), glyph, look);
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
        const QRectF sample(e.rect.left - 17, e.rect.top + 6, 12, 8);
        p.setPen(Qt::NoPen);
        p.setBrush(toColor(layout::modeColors()[mode]));
        p.drawRoundedRect(sample, 2, 2);
    }
    p.restore();
}

// The brand column left of the keyboard.
void drawBrand(QPainter& p, int model) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    drawPanel(p, QRect(20, 150, 170, 326), 14, QColor(26, 26, 29));
    drawBrandTile(p, QRectF(73, 180, 64, 64), 14, 42, 2);
    p.setPen(QColor(236, 236, 240));
    p.setFont(skinFont(22, true));
    p.drawText(QRect(20, 258, 170, 30), Qt::AlignCenter, QStringLiteral("TALVIK"));
    p.setPen(kAccent);
    p.setFont(skinFont(13, true));
    p.drawText(QRect(20, 288, 170, 20), Qt::AlignCenter, QString::fromUtf8(text::modelName(model)));
    p.setPen(QColor(60, 61, 66));
    p.drawLine(50, 326, 160, 326);
    p.setPen(QColor(130, 132, 140));
    p.setFont(skinFont(12));
    p.drawText(QRect(20, 340, 170, 20), Qt::AlignCenter, QStringLiteral("87 keys \u00b7 2 layers"));
    p.drawText(QRect(20, 360, 170, 20), Qt::AlignCenter,
               QStringLiteral("87 \u952e \u00b7 \u53cc\u5c42"));
    // A row of small keycaps as the column's foot.
    for (int i = 0; i < 4; ++i) {
        const QRectF cap(47 + i * 30, 410, 26, 26);
        p.setPen(QPen(QColor(24, 24, 26), 1));
        p.setBrush(QColor(44, 45, 50));
        p.drawRoundedRect(cap, 5, 5);
        p.setPen(Qt::NoPen);
        p.setBrush(i == 1 ? kAccent : QColor(70, 72, 78));
        p.drawRoundedRect(cap.adjusted(4, 4, -4, -7), 3, 3);
    }
    p.restore();
}

// The column right of the keyboard explains the two layers the switch above
// it chooses between.
void drawLayerGuide(QPainter& p) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    drawPanel(p, QRect(1086, 150, 134, 326), 14, QColor(26, 26, 29));
    const auto plate = [&](qreal y, const QString& title, const QString& sub, bool fn) {
        const QRectF back(1104, y, 98, 58);
        p.setPen(QPen(fn ? kAccent : QColor(86, 88, 96), 1.2));
        p.setBrush(fn ? QColor(60, 36, 18) : QColor(44, 45, 50));
        p.drawRoundedRect(back, 8, 8);
        p.setPen(fn ? QColor(255, 170, 100) : QColor(220, 222, 228));
        p.setFont(skinFont(15, true));
        p.drawText(back.adjusted(0, 6, 0, -26), Qt::AlignCenter, title);
        p.setPen(QColor(140, 142, 150));
        p.setFont(skinFont(11));
        p.drawText(back.adjusted(0, 32, 0, -6), Qt::AlignCenter, sub);
    };
    p.setPen(QColor(130, 132, 140));
    p.setFont(skinFont(12, true));
    p.drawText(QRect(1086, 166, 134, 20), Qt::AlignCenter, QStringLiteral("\u5c42 \u00b7 LAYERS"));
    plate(196, QStringLiteral("1"), QStringLiteral("\u9876\u5c42 \u00b7 Top"), false);
    plate(276, QStringLiteral("Fn + "), QStringLiteral("Fn \u7ec4\u5408\u5c42"), true);
    p.setPen(QColor(110, 112, 120));
    p.setFont(skinFont(11));
    p.drawText(QRect(1092, 350, 122, 110), Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap,
               QStringLiteral("\u7528\u4e0a\u65b9\u5f00\u5173\u5207\u6362\u663e\u793a\u7684\u5c42\n"
                              "The switch above picks the layer shown"));
    p.restore();
}

// Connection status beside the information box: while the window is open the
// keyboard is connected (the program ends when it goes).
void drawStatus(QPainter& p) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    drawPanel(p, QRect(980, 501, 240, 154), 10, QColor(26, 26, 29));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 200, 90));
    p.drawEllipse(QRectF(1002, 527, 12, 12));
    p.setPen(QColor(220, 222, 228));
    p.setFont(skinFont(15, true));
    p.drawText(QRect(1024, 520, 180, 26), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("\u5df2\u8fde\u63a5  Connected"));
    p.setPen(QColor(130, 132, 140));
    p.setFont(skinFont(12));
    p.drawText(QRect(1002, 556, 200, 20), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("USB HID  \u00b7  VID 0483"));
    p.setPen(QColor(60, 61, 66));
    p.drawLine(1002, 588, 1198, 588);
    p.setPen(QColor(110, 112, 120));
    p.drawText(QRect(1002, 598, 200, 20), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("\u70b9\u51fb\u6309\u952e\u8fdb\u884c\u8bbe\u7f6e"));
    p.drawText(QRect(1002, 618, 200, 20), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Click a key to set it"));
    p.restore();
}

} // namespace

QImage drawMainPicture(int model, Look look, int resolution) {
    using layout::kMainHeight;
    using layout::kMainWidth;
    QImage image = makeBody(kMainWidth, kMainHeight, QRect(2, 2, kMainWidth - 5, kMainHeight - 5),
                            18, resolution);
    QPainter p(&image);
    drawTitle(p, model);
    // The keyboard case, with a thin accent line along its top edge.
    drawPanel(p, QRect(204, 150, 870, 326), 14, QColor(17, 17, 19));
    p.fillRect(QRect(230, 151, 818, 2), QColor(255, 111, 0, 150));
    drawPanel(p, toRect(layout::kMainInfoRect).adjusted(-5, -5, 5, 5), 8,
              toColor(layout::kInfoBackground));
    drawBrand(p, model);
    drawStatus(p);
    drawLayerGuide(p);

    const std::vector<ElementSpec> elements = layout::mainElements(model);
    drawLegendSamples(p, elements);
    for (const ElementSpec& e : elements) {
        if (!e.isLabel) {
            drawElement(p, e, look);
        }
    }
    return image;
}

void addMainPictures(PictureSet& pictures) {
    for (int model = 1; model <= 4; ++model) {
        const layout::MainPictureIds ids = layout::mainPictureIds(model);
        for (const std::pair<int, Look>& picture : {std::pair{ids.normal, Look::Normal},
                                                   std::pair{ids.hover, Look::Hover},
                                                   std::pair{ids.active, Look::Active}}) {
            const Look look = picture.second;
            pictures[picture.first] = [model, look](int resolution) {
                return drawMainPicture(model, look, resolution);
            };
        }
    }
}

} // namespace talvik::skin

namespace talvik::skin {

QImage drawProgramIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    drawBrandTile(p, QRectF(0, 0, size, size), size * 0.22, size * 2 / 3, size * 0.04);
    return image;
}

} // namespace talvik::skin
