#pragma once

// Drawing helpers shared by every window's pictures, so all windows of the
// program share one look: the dark body, the keycaps and the orange accent.

#include "talvik/layout/SkinLayout.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QRect>

#include <functional>
#include <map>

namespace talvik::skin {

// Which of a window's three pictures is being drawn.
enum class Look { Normal, Hover, Active };

// Of three things, one per look, the one `look` wears.
template <typename T> const T& byLook(Look look, const T& normal, const T& hover, const T& active) {
    switch (look) {
    case Look::Hover:
        return hover;
    case Look::Active:
        return active;
    case Look::Normal:
        break;
    }
    return normal;
}

// Draws one picture at `resolution` times its design size. Drawing code works
// in design coordinates throughout: the image's device pixel ratio is the
// resolution, so the painter scales and a 2x picture is the 1x picture drawn
// at twice the size, never an upscale.
using PictureFunction = std::function<QImage(int resolution)>;
// Every picture of the skin by its number.
using PictureSet = std::map<int, PictureFunction>;

// Registers a window's three pictures (normal, pointer-over, active) under
// `ids`, each drawn by `draw` in its look.
void addThreeLooks(PictureSet& pictures, const layout::MainPictureIds& ids,
                   const std::function<QImage(Look look, int resolution)>& draw);

// A palette colour, laid over what is under it at `alpha` (0..255).
QColor toColor(layout::Rgb rgb, int alpha = 255);

// An image of `width` x `height` design pixels at `resolution`, for drawing
// in design coordinates.
QImage makeCanvas(int width, int height, int resolution,
                  QImage::Format format = QImage::Format_RGB32);
QRect toRect(const layout::SkinRect& r);

// A picture of the given size filled with the colour key, and the dark body
// inside `outline` (rounded corners). Edges are drawn without antialiasing so
// that no half-blended pixels fringe the window's shape.
QImage makeBody(int width, int height, const QRect& outline, int radius, int resolution = 1,
                layout::Rgb key = layout::kColourKey);

// The family every picture writes in: it covers Latin and Chinese.
QFont skinFont(int pixelSize, bool bold = false);

// The brand's orange "T" tile: the program icon, the main window, the dialogs.
// The letter sits `textRise` above the tile's centre.
void drawBrandTile(QPainter& p, const QRectF& tile, qreal radius, int fontPixels, qreal textRise);

// The title row of the small dialogs (progress, firmware): the brand tile
// and the rule under the row, as the main window has them.
void drawSmallDialogHeader(QPainter& p, int width);

// A progress bar's track; `filled` draws it as the full bar a window copies
// from as far as its progress goes.
void drawProgressTrack(QPainter& p, const QRectF& track, bool filled);

// A window's title: the accent bar and, right of it, the title in bold.
// Returns the title's width.
int drawTitleBar(QPainter& p, const QRectF& bar, const QRect& textBox, int fontSize,
                 const QString& title);

// A flat command button in one of its three looks.
void drawButton(QPainter& p, const QRect& r, Look look);
const layout::ButtonShades& buttonShades(Look look);

// The glyph buttons of a window's title row, drawn in `box`: plain glyph
// normally, on a rounded square under the pointer (red for close).
enum class WindowGlyph { Minimise, Help, Close };
void drawWindowButton(QPainter& p, const QRectF& box, WindowGlyph glyph, Look look);

// Keycaps of the main window's keyboard, and the smaller ones of the virtual
// keyboard, which have thinner edges to leave their legends room.
enum class Keycap { Regular, Compact };

// A keycap with its legend; legend "a\nb" prints a shifted symbol above the
// base one. A one-line legend shrinks to fit its keycap.
void drawKeycap(QPainter& p, const QRect& r, const QString& legend, Look look,
                Keycap size = Keycap::Regular);
// The keycap alone; returns its face, where a legend or pictogram goes.
QRectF drawKeycapBody(QPainter& p, const QRect& r, Look look, Keycap size = Keycap::Regular);
// A main window keycap on a heat tint: the face flat in `tint`, the skirt a
// shade darker, the legend in `ink`; `pointed` gives it the pointer-over edge.
void drawTintedKeycap(QPainter& p, const QRect& r, const QString& legend, layout::Rgb tint,
                      layout::Rgb ink, bool pointed);
// What a keycap's legend is printed in, and the colour of its face.
QColor keycapInk(Look look);
QColor keycapFace(Look look);

// The brand tile `size` design pixels square, in the main window's proportions.
void drawBrandTile(QPainter& p, QPointF topLeft, int size);

// A recessed panel (keyboard case, information box frame).
void drawPanel(QPainter& p, const QRect& r, int radius, QColor fill);

} // namespace talvik::skin
