// The main window on a screen whose device pixel ratio is 2 (Qt's own
// high-DPI scaling): same size in logical pixels as on any screen, painted
// from the double-size pictures.

#include "MainWindowFixture.h"
#include "Sharpness.h"
#include "talvik/skin/SkinPictureFile.h"

#include "talvik/layout/SkinLayout.h"

#include <QResource>
#include <gtest/gtest.h>

using namespace talvik::model;

using talvik::test::CMainWindowFixture;

namespace {

// Qt reads the factor when the application starts: before the first test.
class CScaleFactorTwo : public ::testing::Environment {
public:
    void SetUp() override { qputenv("QT_SCALE_FACTOR", "2"); }
};
[[maybe_unused]] const auto* const g_scale =
    ::testing::AddGlobalTestEnvironment(std::make_unique<CScaleFactorTwo>().release());

const QRect kKeyboardArea(204, 150, 870, 326);

} // namespace

TEST(SkinHiDpi, DevicePixelRatioTwoKeepsTheLogicalSizeAndPaintsAtTwiceTheDetail) {
    CMainWindowFixture f(1);
    ASSERT_TRUE(f.initialised);
    ASSERT_DOUBLE_EQ(f.dlg().devicePixelRatioF(), 2.0);
    EXPECT_FLOAT_EQ(f.state.uiScale, 1.0f);
    EXPECT_EQ(f.dlg().size(), QSize(1240, 670));
    EXPECT_EQ(f.app.skinResolution(), 2);

    // Keys drawn from the normal picture only, so the design-size reference
    // is that picture itself.
    for (int key = 1; key <= 87; ++key) {
        f.setMode(key, 0, KeyMode::NotSet);
    }
    const QImage big = f.dlg().grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(big.size(), QSize(2480, 1340));
    const QImage reference =
        talvik::skin::readSkinPicture(QString::fromStdString(talvik::layout::picturePath(101)))
            .convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(reference.isNull());

    const QRect area2x(kKeyboardArea.topLeft() * 2, kKeyboardArea.size() * 2);
    const double ratio = talvik::test::strongestSteps(big, area2x) /
                         talvik::test::strongestSteps(reference, kKeyboardArea);
    EXPECT_GE(ratio, 0.65);
    const auto blocks = talvik::test::blockSteps(big, area2x);
    EXPECT_GE(blocks.inside, 0.4 * blocks.between) << "pixel-doubled";
}
