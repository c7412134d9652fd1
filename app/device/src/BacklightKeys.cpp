#include "talvik/device/BacklightKeys.h"

#include "talvik/shell/CFontTable.h"

#include "talvik/layout/DeviceLayout.h"

#include <QFontMetrics>
#include <QHash>
#include <QPainter>

#include <utility>

namespace talvik::device {
namespace {

// Names are written at the captions' size where they fit; the longest ones
// ("ScrollLock" on a 43-pixel key) step down to this.
constexpr int kNameFont = 12;
constexpr int kSmallestNameFont = 8;
constexpr int kNamePadding = 6;

// The size `name` is written at on a key `width` wide. Names and keys never
// change, and measuring them at every size on every paint was most of the
// cost of opening a window of keys; only the GUI thread paints.
int nameSize(const shell::CFontTable& fonts, const QString& name, int width) {
    static QHash<std::pair<QString, int>, int> sizes;
    const std::pair<QString, int> id{name, width};
    if (const auto found = sizes.constFind(id); found != sizes.constEnd()) {
        return *found;
    }
    int size = kNameFont;
    while (size > kSmallestNameFont &&
           QFontMetrics(fonts[size]).horizontalAdvance(name) > width - kNamePadding) {
        --size;
    }
    sizes.insert(id, size);
    return size;
}

} // namespace

QColor toQColor(const model::LightArea& light) {
    return QColor(light.Red, light.Green, light.Blue);
}

model::LightArea toLightArea(const QColor& colour) {
    return {colour.red(), colour.green(), colour.blue()};
}

bool sameColour(const model::LightArea& a, const model::LightArea& b) {
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
    p.setFont(fonts[nameSize(fonts, name, key.width())]);
    p.setPen(ink);
    p.drawText(QRect(key.left, key.top, key.width(), key.height() - 3), Qt::AlignCenter, name);
}

} // namespace talvik::device
