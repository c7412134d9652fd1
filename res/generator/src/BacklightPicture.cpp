#include "talvik/skin/DevicePictures.h"

#include "talvik/layout/DeviceLayout.h"
#include "talvik/text/Language.h"

#include <QConicalGradient>
#include <QPainterPath>

namespace talvik::skin {
namespace {

using namespace layout;

const QColor kAccent = toColor(kAccentOrange);

// The keycaps fill their rectangles exactly: the window frames each one in
// its colour just outside, so a cap wider than its rectangle would hide the
// frame and a narrower one would leave a gap that reads as a border.
void drawBlankKeycap(QPainter& p, const layout::SkinRect& r, Look look) {
    const int margin = layout::kLightFrameWidth;
    drawKeycapBody(p, toRect(r).adjusted(-margin, -margin, margin, margin), look);
}

// A selected key: an orange outline and a tick in its top right corner.
void drawSelectedMark(QPainter& p, const layout::SkinRect& r) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    const QRectF cap = QRectF(toRect(r)).adjusted(0.75, 0.75, -0.75, -0.75);
    p.setPen(QPen(kAccent, 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(cap, 5, 5);
    const QRectF badge(cap.right() - 13, cap.top() + 3, 10, 10);
    p.setPen(Qt::NoPen);
    p.setBrush(kAccent);
    p.drawEllipse(badge);
    QPainterPath tick;
    tick.moveTo(badge.left() + 2.5, badge.center().y());
    tick.lineTo(badge.left() + 4.5, badge.bottom() - 2.5);
    tick.lineTo(badge.right() - 2, badge.top() + 2.5);
    p.setPen(QPen(toColor(kInkOnAccent), 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(tick);
    p.restore();
}

// The keyboard case with the 87 keys, as both dialogs show it.
void drawKeyboard(QPainter& p, const std::vector<ElementSpec>& elements, Look keyLook) {
    drawPanel(p, QRect(193, 90, 870, 318), 14, toColor(kKeyboardCase));
    p.fillRect(QRect(219, 91, 818, 2), toColor(kAccentOrange, kCaseRimAlpha));
    for (const ElementSpec& e : elements) {
        if (e.keyIndex <= 0) {
            continue;
        }
        drawBlankKeycap(p, e.rect, keyLook == Look::Active ? Look::Normal : keyLook);
        if (keyLook == Look::Active) {
            drawSelectedMark(p, e.rect);
        }
    }
}

// A ring of every hue: what the dialog is about, at a glance.
void drawHueRing(QPainter& p, QPointF centre, qreal radius) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    QConicalGradient hues(centre, 90);
    for (std::size_t i = 0; i < kHueRing.size(); ++i) {
        hues.setColorAt(static_cast<qreal>(i) / (kHueRing.size() - 1), toColor(kHueRing[i]));
    }
    QPainterPath ring;
    ring.addEllipse(centre, radius, radius);
    ring.addEllipse(centre, radius * 0.62, radius * 0.62);
    p.fillPath(ring, hues);
    p.setPen(QPen(toColor(kRecessShadow), 2));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(centre, radius, radius);
    p.drawEllipse(centre, radius * 0.62, radius * 0.62);
    p.restore();
}

void drawColumnText(QPainter& p, int top, const QStringList& lines, int x = 20, int w = 160) {
    p.setFont(skinFont(12));
    int y = top;
    for (const QString& line : lines) {
        p.setPen(toColor(line.startsWith(QLatin1Char(' ')) ? kHintInk : kBodyText));
        p.drawText(QRect(x + 8, y, w - 16, 18), Qt::AlignHCenter | Qt::AlignVCenter,
                   line.trimmed());
        y += line.isEmpty() ? 8 : 19;
    }
}

// Left of the keyboard: the hue ring and what the colours are.
void drawLeftColumn(QPainter& p) {
    drawPanel(p, QRect(20, 90, 160, 318), 14, toColor(kSidePanel));
    drawHueRing(p, QPointF(100, 172), 52);
    p.setPen(toColor(kTitleText));
    p.setFont(skinFont(17, true));
    p.drawText(QRect(20, 240, 160, 24), Qt::AlignCenter, QStringLiteral("RGB"));
    drawColumnText(p, 272,
                   {QStringLiteral("每键独立背光"), QStringLiteral(" One colour per key"),
                    QString(), QStringLiteral("87 键 · 1670 万色"),
                    QStringLiteral(" 87 keys · 16.7M colours")});
}

// Right of the keyboard: how the dialog is used.
void drawRightColumn(QPainter& p, const QStringList& lines) {
    drawPanel(p, QRect(1076, 90, 154, 318), 14, toColor(kSidePanel));
    p.setPen(toColor(kHintInk));
    p.setFont(skinFont(12, true));
    p.drawText(QRect(1076, 104, 154, 20), Qt::AlignCenter, QStringLiteral("提示 · HOW TO"));
    p.setPen(toColor(kPanelRule));
    p.drawLine(1100, 130, 1206, 130);
    drawColumnText(p, 142, lines, 1076, 154);
}

void drawHeader(QPainter& p, int model, int width, bool separator) {
    drawDialogBrand(p, QPointF(22, 13), 28, QString::fromUtf8(text::modelName(model)));
    if (separator) {
        p.setPen(toColor(kTitleRule));
        p.drawLine(20, 62, width - 20, 62);
    }
}

void drawButtons(QPainter& p, const std::vector<ElementSpec>& elements, Look look) {
    for (const ElementSpec& e : elements) {
        if (e.isLabel || e.keyIndex > 0) {
            continue;
        }
        if (e.id == layout::backlight_id::Close) {
            drawWindowButton(p, QRectF(toRect(e.rect)).adjusted(0.5, 2.5, -0.5, -2.5),
                             WindowGlyph::Close, look);
        } else {
            drawButton(p, toRect(e.rect), look);
        }
    }
}

// What sets the two keyboard dialogs apart; the rest of their pictures is
// the same.
struct CKeyboardDialog {
    int width;
    int height;
    std::vector<ElementSpec> elements;
    QStringList hints;   // the right column; lines starting with a blank are grey
    bool titleSeparator; // the multi-select dialog has its button there
};

QImage drawKeyboardDialog(const CKeyboardDialog& d, int model, Look keyLook, Look buttonLook,
                          int resolution) {
    QImage image = makeBody(d.width, d.height, QRect(2, 2, d.width - 5, d.height - 5), 18,
                            resolution, layout::kBacklightColourKey);
    QPainter p(&image);
    drawHeader(p, model, d.width, d.titleSeparator);
    drawLeftColumn(p);
    drawRightColumn(p, d.hints);
    drawKeyboard(p, d.elements, keyLook);
    drawButtons(p, d.elements, buttonLook);
    return image;
}

} // namespace

void drawDialogBrand(QPainter& p, QPointF at, qreal tile, const QString& subtitle) {
    p.save();
    drawBrandTile(p, at, static_cast<int>(tile));
    p.setPen(toColor(kTitleText));
    p.setFont(skinFont(static_cast<int>(tile * 0.6), true));
    const QRectF name(at.x() + tile + 10, at.y(), 200, tile);
    p.drawText(name, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("TALVIK"));
    const qreal nameWidth = p.fontMetrics().horizontalAdvance(QStringLiteral("TALVIK"));
    p.setPen(kAccent);
    p.setFont(skinFont(static_cast<int>(tile * 0.45)));
    p.drawText(name.translated(nameWidth + 10, 1), Qt::AlignLeft | Qt::AlignVCenter, subtitle);
    p.restore();
}

QImage drawBacklightPicture(int model, Look look, int resolution) {
    CKeyboardDialog dialog{
        layout::kBacklightWidth,
        layout::kBacklightHeight,
        layout::backlightElements(),
        {QStringLiteral("点击按键选择颜色"), QStringLiteral(" Click a key"),
         QStringLiteral(" to pick its colour"), QString(), QStringLiteral("全域设置：全部按键"),
         QStringLiteral(" Set All: every key"), QString(), QStringLiteral("多键设置：选定按键"),
         QStringLiteral(" MultiKey: the keys"), QStringLiteral(" you select"), QString(),
         QStringLiteral("写入背光：存入键盘"), QStringLiteral(" Write: into the"),
         QStringLiteral(" keyboard")},
        true};
    return drawKeyboardDialog(dialog, model, look, look, resolution);
}

QImage drawMultiSelectPicture(int model, Look look, int resolution) {
    CKeyboardDialog dialog{layout::kMultiSelectWidth,
                           layout::kMultiSelectHeight,
                           layout::multiSelectElements(),
                           {QStringLiteral("点击按键选中"), QStringLiteral("再次点击取消"),
                            QStringLiteral(" Click keys to"), QStringLiteral(" select them,"),
                            QStringLiteral(" again to drop them"), QString(),
                            QStringLiteral("然后按「设置」"), QStringLiteral(" Then Set Color"),
                            QStringLiteral(" gives them all"), QStringLiteral(" one colour")},
                           false};
    // The active picture holds the selected keys; its buttons look pressed.
    return drawKeyboardDialog(dialog, model, look, look == Look::Active ? Look::Hover : look,
                              resolution);
}

void addBacklightPictures(PictureSet& pictures) {
    for (int model : {1, 4}) {
        const layout::PicturePair settings = layout::backlightPictureIds(model);
        pictures[settings.first] = [model](int r) {
            return drawBacklightPicture(model, Look::Normal, r);
        };
        pictures[settings.second] = [model](int r) {
            return drawBacklightPicture(model, Look::Hover, r);
        };
        const layout::PicturePair multi = layout::multiSelectPictureIds(model);
        pictures[multi.first] = [model](int r) {
            return drawMultiSelectPicture(model, Look::Normal, r);
        };
        pictures[multi.second] = [model](int r) {
            return drawMultiSelectPicture(model, Look::Active, r);
        };
    }
}

} // namespace talvik::skin
