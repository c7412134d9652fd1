#include "talvik/skin/MainPicture.h"
#include "talvik/layout/MainPanels.h"
#include "talvik/text/Language.h"

#include <QPainterPath>

namespace talvik::skin {
namespace {

using namespace layout;
namespace id = layout::main_id;

void drawTitle(QPainter& p, int model) {
    p.setRenderHint(QPainter::Antialiasing, true);
    const int nameWidth = drawTitleBar(p, QRectF(22, 22, 6, 28), QRect(38, 16, 400, 40), 22,
                                       QString::fromUtf8(text::modelName(model)));
    p.setPen(toColor(kHintInk));
    p.setFont(skinFont(13));
    p.drawText(QRect(38 + nameWidth + 14, 20, 300, 36), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("v1.1.2"));
    p.setPen(toColor(kTitleRule));
    p.drawLine(20, 70, 1220, 70);
}

// The layer switch: a sliding toggle, knob left for the top layer, right and
// orange for the Fn layer.
void drawLayerSwitch(QPainter& p, const QRect& r, Look look) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    const QRectF track(r.center().x() - 21, r.top() + 20.5, 42, 22);
    const bool on = look == Look::Active;
    p.setPen(QPen(toColor(look == Look::Hover ? kAccentOrange : kControlBorder), 1.5));
    p.setBrush(toColor(on ? kSwitchOn : kControlFill));
    p.drawRoundedRect(track, 11, 11);
    const qreal knobX = on ? track.right() - 20 : track.left() + 2;
    p.setPen(Qt::NoPen);
    p.setBrush(toColor(look == Look::Normal ? kPaleInk : kLitInk));
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
    drawPanel(p, QRect(20, 150, 170, 326), 14, toColor(kSidePanel));
    drawBrandTile(p, QRectF(73, 180, 64, 64), 14, 42, 2);
    p.setPen(toColor(kTitleText));
    p.setFont(skinFont(22, true));
    p.drawText(QRect(20, 258, 170, 30), Qt::AlignCenter, QStringLiteral("TALVIK"));
    p.setPen(toColor(kAccentOrange));
    p.setFont(skinFont(13, true));
    p.drawText(QRect(20, 288, 170, 20), Qt::AlignCenter, QString::fromUtf8(text::modelName(model)));
    p.setPen(toColor(kPanelRule));
    p.drawLine(50, 326, 160, 326);
    p.setPen(toColor(kHintInk));
    p.setFont(skinFont(12));
    p.drawText(QRect(20, 340, 170, 20), Qt::AlignCenter, QStringLiteral("87 keys \u00b7 2 layers"));
    p.drawText(QRect(20, 360, 170, 20), Qt::AlignCenter,
               QStringLiteral("87 \u952e \u00b7 \u53cc\u5c42"));
    // A row of small keycaps as the column's foot.
    for (int i = 0; i < 4; ++i) {
        const QRectF cap(47 + i * 30, 410, 26, 26);
        p.setPen(QPen(toColor(kKeycapEdge), 1));
        p.setBrush(toColor(kControlFill));
        p.drawRoundedRect(cap, 5, 5);
        p.setPen(Qt::NoPen);
        p.setBrush(toColor(i == 1 ? kAccentOrange : kSmallKeycapFace));
        p.drawRoundedRect(cap.adjusted(4, 4, -4, -7), 3, 3);
    }
    p.restore();
}

// The column right of the keyboard: one plate per layer, lit in the active
// picture. The window lights the plate of the layer it shows and writes the
// texts in the current language.
void drawLayerGuide(QPainter& p, Look look) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    drawPanel(p, toRect(layout::kLayerPanel), 14, toColor(kSidePanel));
    const bool lit = look == Look::Active;
    for (const layout::SkinRect& plate : layout::kLayerPlates) {
        p.setPen(QPen(toColor(lit ? kAccentOrange : kControlBorder), 1.2));
        p.setBrush(toColor(lit ? kLitPlate : kControlFill));
        p.drawRoundedRect(QRectF(toRect(plate)), 8, 8);
    }
    p.restore();
}

// The connection box beside the information box: its light and texts follow
// the connection and the language, so the window draws them.
void drawStatus(QPainter& p) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    drawPanel(p, toRect(layout::kStatusPanel), 10, toColor(kSidePanel));
    p.setPen(toColor(kHintInk));
    p.setFont(skinFont(12));
    p.drawText(QRect(1002, 556, 200, 20), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("USB HID  \u00b7  VID 0483"));
    p.setPen(toColor(kPanelRule));
    p.drawLine(1002, 588, 1198, 588);
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
    drawPanel(p, QRect(204, 150, 870, 326), 14, toColor(kKeyboardCase));
    p.fillRect(QRect(230, 151, 818, 2), toColor(kAccentOrange, kCaseRimAlpha));
    drawPanel(p, toRect(layout::kMainInfoRect).adjusted(-5, -5, 5, 5), 8,
              toColor(layout::kInfoBackground));
    drawBrand(p, model);
    drawStatus(p);
    drawLayerGuide(p, look);

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
        addThreeLooks(pictures, layout::mainPictureIds(model), [model](Look look, int resolution) {
            return drawMainPicture(model, look, resolution);
        });
    }
}

} // namespace talvik::skin
