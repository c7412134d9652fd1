#pragma once

// The focus ring as a skinned window draws it, read back from its canvas:
// along the middle of the element's left side, outward, the gap, the accent
// band and the light edge, each a whole number of canvas pixels at any scale
// and resolution.

#include "talvik/shell/CSkinWindow.h"
#include "talvik/shell/PaletteColour.h"

#include "talvik/layout/SkinPalette.h"

#include <QImage>
#include <QString>
#include <gtest/gtest.h>

#include <cmath>

namespace talvik::test {

inline ::testing::AssertionResult ringDrawnAround(talvik::shell::CSkinWindow& window, int index) {
    using talvik::shell::CSkinWindow;
    const QImage canvas = window.renderCanvas().convertToFormat(QImage::Format_RGB32);
    // Canvas pixels per design pixel.
    const int k = canvas.width() / window.designSize().width();
    const QRect r = window.elementRect(index);
    const int left = static_cast<int>(std::lround(r.left() / window.scale())) * k;
    const int y = static_cast<int>(std::lround(r.center().y() / window.scale())) * k;
    const QRgb accent = talvik::shell::paletteColour(talvik::layout::kAccentOrange).rgb();
    const QRgb edge = talvik::shell::paletteColour(talvik::layout::kTitleText).rgb();
    const int bandFrom = left - (CSkinWindow::kFocusRingGap + CSkinWindow::kFocusRingWidth) * k;
    const int edgeFrom = bandFrom - CSkinWindow::kFocusHaloWidth * k;
    for (int x = edgeFrom; x < left - CSkinWindow::kFocusRingGap * k; ++x) {
        const QRgb want = x < bandFrom ? edge : accent;
        if (canvas.pixel(x, y) != want) {
            return ::testing::AssertionFailure()
                   << "canvas pixel " << x << "," << y << " is " << std::hex << canvas.pixel(x, y)
                   << " (" << k << " canvas pixels to a design pixel)";
        }
    }
    if (canvas.pixel(edgeFrom - 1, y) == edge || canvas.pixel(edgeFrom - 1, y) == accent) {
        return ::testing::AssertionFailure() << "the ring is wider than drawn";
    }
    return ::testing::AssertionSuccess() << k;
}

// Saves `canvas` as `name` in TALVIK_SCREENSHOT_DIR, when that is set.
inline void saveCanvasShot(const QImage& canvas, const QString& name) {
    const QString dir = qEnvironmentVariable("TALVIK_SCREENSHOT_DIR");
    if (!dir.isEmpty()) {
        canvas.save(dir + QLatin1Char('/') + name);
    }
}

} // namespace talvik::test
