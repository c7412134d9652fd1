#pragma once

// How a skinned window gets its outline. Where the window system blends
// windows by their alpha (every Wayland compositor, an X server with a
// compositing manager), the pixels of the colour key are transparent and the
// steps of a curved outline are softened; elsewhere the outline is a shape
// mask, as sharp as the picture's pixels.

#include <QImage>
#include <QRegion>
#include <QSize>

namespace talvik::shell {

enum class EWindowShape {
    Mask,  // a shape mask (XShape) cuts the window to its outline
    Alpha, // the window is translucent: transparent outside, opaque inside
};

// The way the running platform shows windows' outlines. It asks the X server
// once for a compositing manager (the owner of _NET_WM_CM_S<screen>); a
// manager started later is seen by windows made after it.
EWindowShape platformWindowShape();

// `picture` with every pixel of the colour `key` transparent, as a
// premultiplied image of the same size and resolution. The outline's pixels
// take an opacity from how much of their 3x3 neighbourhood lies inside:
// straight edges stay sharp, the corners of a staircase (a rounded corner
// drawn without antialiasing) are blended half-way with what lies behind,
// in the inside neighbour's colour. The same picture and key give the
// image from a cache.
QImage transparentOutside(const QImage& picture, QRgb key);

// The region of a window of `size` that `picture` covers: its pixels other
// than `key`, or for a premultiplied picture with alpha, its pixels that are
// not fully transparent (pass key 0). The same picture, size and key give
// the region from a cache; only the GUI thread shapes windows.
QRegion coveredRegion(const QImage& picture, QSize size, QRgb key);

} // namespace talvik::shell
