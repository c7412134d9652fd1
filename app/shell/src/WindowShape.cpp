#include "talvik/shell/WindowShape.h"

#include <QBitmap>
#include <QGuiApplication>

#include <algorithm>
#include <array>
#include <map>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

// Xlib last: its macros (None, Bool, Status) would clash with Qt's names.
#include <X11/Xlib.h>

namespace talvik::shell {
namespace {

bool xServerComposites() {
    auto* x11 = qGuiApp == nullptr ? nullptr
                                   : qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    Display* display = x11 == nullptr ? nullptr : x11->display();
    if (display == nullptr) {
        return false;
    }
    // A compositing manager owns this selection for the screen it composites.
    const std::string selection = "_NET_WM_CM_S" + std::to_string(DefaultScreen(display));
    const Atom atom = XInternAtom(display, selection.c_str(), False);
    return XGetSelectionOwner(display, atom) != 0;
}

} // namespace

EWindowShape platformWindowShape() {
    const QString platform = QGuiApplication::platformName();
    if (platform.startsWith(QLatin1String("wayland"))) {
        return EWindowShape::Alpha;
    }
    if (platform == QLatin1String("xcb") && xServerComposites()) {
        return EWindowShape::Alpha;
    }
    return EWindowShape::Mask;
}

QImage transparentOutside(const QImage& picture, QRgb key) {
    // Pictures stay loaded while the skin is; a page shown again, or a dialog
    // opened again, finds its picture here.
    using PictureKey = std::tuple<qint64, QRgb>;
    static std::map<PictureKey, QImage> pictures;
    const PictureKey id{picture.cacheKey(), key};
    if (const auto found = pictures.find(id); found != pictures.end()) {
        return found->second;
    }
    const QImage source = picture.convertToFormat(QImage::Format_RGB32);
    const int w = source.width();
    const int h = source.height();
    const QRgb keyColour = key & 0xFFFFFF;
    // Which pixels are inside, with a border of outside ones around.
    const int stride = w + 2;
    std::vector<unsigned char> inside(static_cast<std::size_t>(stride * (h + 2)), 0);
    for (int y = 0; y < h; ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            inside[static_cast<std::size_t>((y + 1) * stride + x + 1)] =
                (in[x] & 0xFFFFFF) != keyColour ? 1 : 0;
        }
    }
    // The neighbours in the order their colour is taken: the straight ones first.
    const std::array<int, 8> around{1,          -1,         stride,      -stride,
                                    stride + 1, stride - 1, -stride + 1, -stride - 1};
    const std::array<std::pair<int, int>, 8> step{
        {{1, 0}, {-1, 0}, {0, 1}, {0, -1}, {1, 1}, {-1, 1}, {1, -1}, {-1, -1}}};
    QImage out(source.size(), QImage::Format_ARGB32_Premultiplied);
    out.setDevicePixelRatio(picture.devicePixelRatio());
    for (int y = 0; y < h; ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const std::size_t at = static_cast<std::size_t>((y + 1) * stride + x + 1);
            const bool self = inside[at] != 0;
            int covered = 0;
            int first = -1;
            for (std::size_t n = 0; n < around.size(); ++n) {
                if (inside[at + static_cast<std::size_t>(static_cast<std::ptrdiff_t>(around[n]))] !=
                    0) {
                    first = covered++ == 0 ? static_cast<int>(n) : first;
                }
            }
            if (self && covered == 8) {
                row[x] = in[x] | 0xFF000000;
                continue;
            }
            // Inside: a straight edge has 5 inside neighbours and stays
            // opaque; a corner that sticks out has 3 or 4 and is blended.
            // Outside: a straight edge has 3 and stays clear; the notch of a
            // step has 4 or more and takes part of its neighbours' colour.
            const int alpha =
                self ? std::min(255, covered * 255 / 5) : std::max(0, (covered - 3) * 255 / 5);
            if (alpha == 0) {
                row[x] = 0;
                continue;
            }
            QRgb colour = in[x];
            if (!self) {
                const auto [dx, dy] = step[static_cast<std::size_t>(first)];
                colour = source.pixel(x + dx, y + dy);
            }
            row[x] = qPremultiply(qRgba(qRed(colour), qGreen(colour), qBlue(colour), alpha));
        }
    }
    constexpr std::size_t kMostPictures = 32; // every window's pages, at two resolutions
    if (pictures.size() >= kMostPictures) {
        pictures.clear();
    }
    pictures.emplace(id, out);
    return out;
}

QRegion coveredRegion(const QImage& picture, QSize size, QRgb key) {
    // Scanning a picture for its outline and turning the result into a region
    // costs about as much as the rest of opening a dialog; a dialog opened
    // again, or a page that keeps the outline, would do it over. Pictures stay
    // loaded while the skin is, so their cache keys name them.
    using ShapeKey = std::tuple<qint64, int, int, QRgb>;
    static std::map<ShapeKey, QRegion> shapes;
    const ShapeKey id{picture.cacheKey(), size.width(), size.height(), key};
    if (const auto found = shapes.find(id); found != shapes.end()) {
        return found->second;
    }
    // The region is in window coordinates whatever resolution the picture has.
    QImage shape = picture.scaled(size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    shape.setDevicePixelRatio(1.0);
    if (key == 0 && shape.format() == QImage::Format_ARGB32_Premultiplied) {
        // Fully transparent premultiplied pixels are 0 exactly.
        key = 0;
    } else {
        shape = shape.convertToFormat(QImage::Format_RGB32);
        key |= 0xFF000000;
    }
    const QRegion region(QBitmap::fromImage(shape.createMaskFromColor(key, Qt::MaskInColor)));
    constexpr std::size_t kMostShapes = 64; // every window's pages and looks, several times over
    if (shapes.size() >= kMostShapes) {
        shapes.clear();
    }
    shapes.emplace(id, region);
    return region;
}

} // namespace talvik::shell
