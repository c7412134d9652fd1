#include "talvik/device/BacklightKeys.h"

#include "talvik/shell/CFontTable.h"

#include "layout/DeviceLayout.h"

#include <QFontMetrics>
#include <QPainter>

namespace talvik::device {
namespace {

// Names are written at the captions' size where they fit; the longest ones
// ("ScrollLock" on a 43-pixel key) step down to this.
constexpr int kNameFont = 12;
constexpr int kSmallestNameFont = 8;
constexpr int kNamePadding = 6;

} // namespace

QColor toQColor(const LightArea& light) {
    return QColor(light.Red, light.Green, light.Blue);
}

LightArea toLightArea(const QColor& colour) {
    return {colour.red(), colour.green(), colour.blue()};
}

bool sameColour(const LightArea& a, const LightArea& b) {
    return a.Red == b.Red && a.Green == b.Green && a.Blue == b.Blue;
}

void drawLightFrame(QPainter& p, const layout::SkinRect& key, const QColor& colour) {
    const int w = layout::kLightFrameWidth;
    const int height = key.height() + 2 * w;
    p.fillRect(QRect(key.left - w, key.top - w, w, height), colour);
    p.fillRect(QRect(key.right, key.top - w, w, height), colour);
    p.fillRect(QRect(key.left, key.top - w, key.width(), w), colour);
    p.fillRect(QRect(key.left, key.bottom, key.width(), w), colour);
}

void drawKeyName(QPainter& p, const shell::CFontTable& fonts, const layout::SkinRect& key,
                 const QString& name, const QColor& ink) {
    int size = kNameFont;
    while (size > kSmallestNameFont &&
           QFontMetrics(fonts[size]).horizontalAdvance(name) > key.width() - kNamePadding) {
        --size;
    }
    p.setFont(fonts[size]);
    p.setPen(ink);
    p.drawText(QRect(key.left, key.top, key.width(), key.height() - 3), Qt::AlignCenter, name);
}

} // namespace talvik::device
