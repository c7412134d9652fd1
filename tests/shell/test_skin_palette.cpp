// The palette where the generator's pictures and the windows' widgets meet:
// style sheets read a palette colour as exactly that colour, the text boxes
// are the wells drawn for them, and no picture's body takes its window's
// colour key, which would punch a hole in the window's shape.

#include "GeneratedSkin.h"

#include "talvik/shell/CInfoBox.h"
#include "talvik/shell/PaletteColour.h"

#include "talvik/layout/DeviceLayout.h"
#include "talvik/layout/KeySettingsLayout.h"
#include "talvik/layout/ProgressLayout.h"
#include "talvik/layout/SkinLayout.h"
#include "talvik/layout/VirtualKeys.h"
#include "talvik/layout/WaitLayout.h"

#include <QLabel>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

#include <vector>

using namespace talvik::layout;
using talvik::shell::paletteColour;
using talvik::shell::styleSheetColour;

namespace {

QRgb rgbOf(Rgb c) {
    return paletteColour(c).rgb();
}

int countPixels(const QImage& image, QRgb colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += image.pixel(x, y) == colour ? 1 : 0;
        }
    }
    return count;
}

// Pixels of `key` that cannot be reached from the picture's edge through
// other pixels of `key`: holes the window's shape would have inside its body.
int enclosedKeyPixels(const QImage& picture, QRgb key) {
    const QImage image = picture.convertToFormat(QImage::Format_RGB32);
    const int w = image.width();
    const int h = image.height();
    std::vector<char> reached(static_cast<std::size_t>(w) * h, 0);
    std::vector<std::pair<int, int>> pending;
    const auto visit = [&](int x, int y) {
        const std::size_t at = static_cast<std::size_t>(y) * w + x;
        if (x >= 0 && y >= 0 && x < w && y < h && reached[at] == 0 && image.pixel(x, y) == key) {
            reached[at] = 1;
            pending.emplace_back(x, y);
        }
    };
    for (int x = 0; x < w; ++x) {
        visit(x, 0);
        visit(x, h - 1);
    }
    for (int y = 0; y < h; ++y) {
        visit(0, y);
        visit(w - 1, y);
    }
    while (!pending.empty()) {
        const auto [x, y] = pending.back();
        pending.pop_back();
        visit(x + 1, y);
        visit(x - 1, y);
        visit(x, y + 1);
        visit(x, y - 1);
    }
    int enclosed = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const std::size_t at = static_cast<std::size_t>(y) * w + x;
            enclosed += image.pixel(x, y) == key && reached[at] == 0 ? 1 : 0;
        }
    }
    return enclosed;
}

struct WindowPictures {
    const char* window;
    std::vector<int> ids;
    Rgb key;
};

std::vector<WindowPictures> everyWindowsPictures() {
    std::vector<WindowPictures> all;
    for (int model = 1; model <= 4; ++model) {
        const MainPictureIds main = mainPictureIds(model);
        all.push_back({"main", {main.normal, main.hover, main.active}, kColourKey});
        const auto keyMap = keyMapPictureIds(model);
        all.push_back({"key map", {keyMap.begin(), keyMap.end()}, kKeyMapColourKey});
    }
    for (int model : {1, 4}) {
        const PicturePair settings = backlightPictureIds(model);
        const PicturePair multi = multiSelectPictureIds(model);
        all.push_back({"backlight",
                       {settings.first, settings.second, multi.first, multi.second},
                       kBacklightColourKey});
    }
    all.push_back({"waiting",
                   {kWaitPictureIds.normal, kWaitPictureIds.hover, kWaitPictureIds.active},
                   kColourKey});
    all.push_back({"virtual keyboard",
                   {kVirtualPictures.normal, kVirtualPictures.hover, kVirtualPictures.active},
                   kColourKey});
    all.push_back({"firmware",
                   {kFirmwarePictureNormal, kFirmwarePictureHover, kFirmwarePictureActive},
                   kFirmwareColourKey});
    all.push_back(
        {"progress", {kProgressNormalId, kProgressHoverId, kProgressActiveId}, kProgressColourKey});
    return all;
}

class SkinPalette : public talvik::test::CGeneratedSkinTest {};

} // namespace

// Channels of one digit and of 255 included: a sheet that dropped a leading
// zero or clipped a channel would show another colour.
TEST_F(SkinPalette, AStyleSheetShowsAPaletteColourAsExactlyThatColour) {
    for (const Rgb c : {kAccentOrange, kBacklightColourKey, kLitInk, kInfoBackground,
                        kTipBackground, kInfoScrollHandle}) {
        QWidget window;
        QLabel swatch(&window);
        swatch.setStyleSheet(
            QStringLiteral("QLabel { background: %1; border: none; }").arg(styleSheetColour(c)));
        swatch.resize(16, 16);
        window.show();
        const QImage shown = swatch.grab().toImage().convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(shown.pixel(8, 8), rgbOf(c))
            << styleSheetColour(c).toStdString() << " came out as "
            << QColor(shown.pixel(8, 8)).name().toStdString();
    }
}

TEST_F(SkinPalette, InfoBoxScrollHandleAndTroughAreTheirPaletteColours) {
    talvik::shell::CInfoBox box;
    QFont font = box.font();
    font.setPixelSize(13);
    box.setFont(font);
    box.resize(300, 60);
    box.show();
    box.setTextIfChanged(QStringLiteral("line\r\n").repeated(40));
    ASSERT_TRUE(talvik::test::waitFor([&] { return box.scrollBarStyled(); }));
    QScrollBar* bar = box.verticalScrollBar();
    ASSERT_TRUE(talvik::test::waitFor([&] { return bar->isVisible(); }));
    const QImage shown = bar->grab().toImage().convertToFormat(QImage::Format_RGB32);
    // At the top of the text the handle is at the top and the trough below it.
    EXPECT_GT(countPixels(shown, rgbOf(kInfoScrollHandle)), 0) << "the handle at rest";
    EXPECT_EQ(countPixels(shown, rgbOf(kAccentOrange)), 0) << "lit only under the pointer";
    EXPECT_EQ(shown.pixel(shown.width() / 2, shown.height() - 2), rgbOf(kInfoBackground));
    EXPECT_EQ(box.palette().color(QPalette::Base), paletteColour(kInfoBackground));
}

// A text box the windows place in a well must not show its edges: the
// well's floor is the box's own background.
TEST_F(SkinPalette, TheWellsOfThePicturesAreTheTextBoxesBackground) {
    const QRgb boxBackground = talvik::shell::CInfoBox().palette().color(QPalette::Base).rgb();
    ASSERT_EQ(boxBackground, rgbOf(kInfoBackground));
    struct Well {
        int picture;
        SkinRect box;
    };
    for (const Well& well : {Well{mainPictureIds(1).normal, kMainInfoRect},
                             Well{mainPictureIds(2).normal, kMainInfoRect},
                             Well{kVirtualPictures.normal, kVirtualInfoRect},
                             Well{kFirmwarePictureNormal, kFirmwareVersionBox},
                             Well{kFirmwarePictureNormal, kFirmwareFileBox}}) {
        for (int resolution : kPictureResolutions) {
            const QImage image = picture(well.picture, resolution);
            ASSERT_FALSE(image.isNull()) << well.picture;
            const int x = (well.box.left + well.box.width() / 2) * resolution;
            const int y = (well.box.top + well.box.height() / 2) * resolution;
            EXPECT_EQ(image.pixel(x, y), boxBackground)
                << "picture " << well.picture << "@" << resolution;
            EXPECT_EQ(image.pixel(well.box.left * resolution + 1, well.box.top * resolution + 1),
                      boxBackground)
                << "picture " << well.picture << "@" << resolution << ": the box's corner";
        }
    }
}

TEST_F(SkinPalette, NoPictureTakesItsWindowsColourKeyInsideItsBody) {
    for (const WindowPictures& window : everyWindowsPictures()) {
        const QRgb key = rgbOf(window.key);
        for (int id : window.ids) {
            // Every look at design size; at twice the size the normal look,
            // where antialiased edges blend differently.
            for (int resolution : kPictureResolutions) {
                if (resolution > 1 && id != window.ids.front()) {
                    continue;
                }
                const QImage image = picture(id, resolution);
                ASSERT_FALSE(image.isNull()) << window.window << " picture " << id;
                ASSERT_EQ(image.pixel(0, 0), key) << window.window << " picture " << id;
                EXPECT_EQ(enclosedKeyPixels(image, key), 0)
                    << window.window << " picture " << id << "@" << resolution;
            }
        }
    }
}
