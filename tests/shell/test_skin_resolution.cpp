// A window shown larger than its design is painted from pictures drawn for
// that size: sharp, with detail finer than the design pixels, while at its
// design size it shows exactly what it always did.

#include "MainWindowFixture.h"
#include "Sharpness.h"

#include "talvik/shell/UiScale.h"

#include "talvik/layout/SkinLayout.h"

#include <gtest/gtest.h>

using talvik::test::CMainWindowFixture;

namespace {

// The keyboard case in design pixels: keycaps, legends and edges.
const QRect kKeyboardArea(204, 150, 870, 326);

QRect scaledArea(int factor) {
    return QRect(kKeyboardArea.topLeft() * factor, kKeyboardArea.size() * factor);
}

QImage shown(CMainWindowFixture& f) {
    return f.dlg().grab().toImage().convertToFormat(QImage::Format_RGB32);
}

} // namespace

TEST(SkinResolution, PicturesComeInTheResolutionAScaleNeeds) {
    using talvik::layout::pictureResolution;
    EXPECT_EQ(pictureResolution(1.0), 1);
    EXPECT_EQ(pictureResolution(1.25), 2);
    EXPECT_EQ(pictureResolution(2.0), 2);
    EXPECT_EQ(pictureResolution(3.0), 2) << "beyond the largest set, the largest is stretched";
    EXPECT_EQ(talvik::layout::picturePath(101, 1), ":/skin/101.pix");
    EXPECT_EQ(talvik::layout::picturePath(101, 2), ":/skin@2x/101.pix");
}

// The window paints straight onto the screen where its pictures match the
// screen's pixels: at scale 1, and at scale 2 on a 3840x2160 screen, in
// design coordinates scaled up. Either way it shows the canvas exactly.
TEST(SkinResolution, TheScreenShowsTheCanvasPixelForPixelAtScaleOneAndTwo) {
    for (const int scale : {1, 2}) {
        CMainWindowFixture f(1, scale == 1 ? QSize() : QSize(3840, 2160));
        ASSERT_TRUE(f.initialised);
        EXPECT_EQ(f.app.skinResolution(), scale);
        const QImage canvas = f.dlg().renderCanvas().convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(canvas.size(), QSize(1240, 670) * scale);
        // Everything but the information box, a child widget of its own.
        const QImage screen = shown(f);
        ASSERT_EQ(screen.size(), canvas.size());
        const QRect box = talvik::shell::toQRect(talvik::layout::kMainInfoRect);
        const QRect info = QRect(box.topLeft() * scale, box.size() * scale).adjusted(-1, -1, 1, 1);
        QRect differing;
        for (int y = 0; y < canvas.height(); ++y) {
            for (int x = 0; x < canvas.width(); ++x) {
                if (!info.contains(x, y) && screen.pixel(x, y) != canvas.pixel(x, y)) {
                    differing |= QRect(x, y, 1, 1);
                }
            }
        }
        EXPECT_TRUE(differing.isNull())
            << "scale " << scale << ": resampled around " << differing.x() << "," << differing.y()
            << " " << differing.width() << "x" << differing.height();
    }
}

TEST(SkinResolution, AtScaleTwoTheWindowIsDrawnAtTwiceTheSizeNotStretched) {
    for (int model : {1, 4}) {
        CMainWindowFixture design(model);
        CMainWindowFixture large(model, QSize(3840, 2160));
        ASSERT_TRUE(design.initialised && large.initialised);
        EXPECT_EQ(large.app.skinResolution(), 2);
        const QImage small = shown(design);
        const QImage big = shown(large);
        ASSERT_EQ(big.size(), QSize(2480, 1340));

        const double ratio = talvik::test::strongestSteps(big, scaledArea(2)) /
                             talvik::test::strongestSteps(small, kKeyboardArea);
        EXPECT_GE(ratio, 0.65) << "model " << model << ": edges and legends soft at 2x";
        const auto blocks = talvik::test::blockSteps(big, scaledArea(2));
        EXPECT_GE(blocks.inside, 0.4 * blocks.between)
            << "model " << model << ": no detail finer than the design pixels";
    }
}

TEST(SkinResolution, ElementsAndHitTestingKeepTheirScaledRectangles) {
    CMainWindowFixture f(1, QSize(3840, 2160));
    ASSERT_TRUE(f.initialised);
    const auto& esc = f.dlg().elements()[13];
    EXPECT_EQ(esc.rect, (talvik::layout::SkinRect{444, 336, 536, 432}));
    EXPECT_EQ(f.dlg().hitTest(QPoint(450, 340)), 13);
    EXPECT_EQ(f.dlg().designSize(), QSize(1240, 670));
    EXPECT_EQ(f.dlg().renderCanvas().size(), QSize(2480, 1340));
}
