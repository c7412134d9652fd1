#include "talvik/skin/ThemeIcons.h"

#include <QFileInfo>
#include <QImage>
#include <QPaintDevice>
#include <QSvgRenderer>

#include <cmath>
#include <map>
#include <memory>

namespace talvik::skin {
namespace {

// The theme keeps its symbolic icons in one folder per context.
const char* const kContexts[] = {"actions", "status",     "devices", "legacy", "places",
                                 "apps",    "categories", "emblems", "ui"};

QStringList& missing() {
    static QStringList names;
    return names;
}

// One renderer per icon: each is parsed once however often it is drawn.
QSvgRenderer* renderer(const QString& name) {
    static std::map<QString, std::unique_ptr<QSvgRenderer>> cache;
    auto [it, added] = cache.try_emplace(name);
    if (added) {
        for (const char* context : kContexts) {
            const QString path = themeIconFolder() + QStringLiteral("/scalable/") +
                                 QLatin1String(context) + QLatin1Char('/') + name +
                                 QStringLiteral("-symbolic.svg");
            if (QFileInfo::exists(path)) {
                it->second = std::make_unique<QSvgRenderer>(path);
                break;
            }
        }
        if (!it->second || !it->second->isValid()) {
            it->second.reset();
            missing().append(name);
        }
    }
    return it->second.get();
}

} // namespace

QString themeIconFolder() {
    return QStringLiteral(TALVIK_ICON_THEME_DIR);
}

QStringList missingThemeIcons() {
    return missing();
}

void drawThemeIcon(QPainter& p, const QRectF& box, const QString& name, const QColor& ink) {
    QSvgRenderer* svg = renderer(name);
    if (svg == nullptr) {
        return;
    }
    // Drawn at the device's own resolution, then every covered pixel takes
    // the ink: the icon keeps its antialiasing and loses the theme's grey.
    const qreal resolution = p.device() != nullptr ? p.device()->devicePixelRatioF() : 1.0;
    const QSize pixels(static_cast<int>(std::lround(box.width() * resolution)),
                       static_cast<int>(std::lround(box.height() * resolution)));
    QImage icon(pixels, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    {
        QPainter ip(&icon);
        ip.setRenderHint(QPainter::Antialiasing, true);
        svg->render(&ip, QRectF(QPointF(0, 0), QSizeF(pixels)));
        ip.setCompositionMode(QPainter::CompositionMode_SourceIn);
        ip.fillRect(icon.rect(), ink);
    }
    icon.setDevicePixelRatio(resolution);
    p.drawImage(box, icon);
}

} // namespace talvik::skin
