#pragma once

// Measures of how sharp a rendering is, for comparing a window shown at
// twice its design size with the same window at its design size.

#include <QImage>
#include <QRect>

namespace talvik::test {

// Mean of the strongest 1% of brightness steps between horizontally and
// vertically adjacent pixels inside `area` (image pixels). A smooth 2x
// stretch of a 1x rendering halves it; text and edges drawn at 2x keep
// most of it.
double strongestSteps(const QImage& image, const QRect& area);

// Mean brightness step between the two pixels of each aligned 2x2 block
// (inside) and between neighbouring blocks (between), over `area`. A 1x
// rendering doubled pixel by pixel has no steps inside its blocks at all.
struct BlockSteps {
    double inside = 0;
    double between = 0;
};
BlockSteps blockSteps(const QImage& image, const QRect& area);

} // namespace talvik::test
