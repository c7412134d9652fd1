// The layout tables of the device dialogs and the pictures the skin
// generator draws from them.

#include "QtTestApp.h"

#include "talvik/layout/DeviceLayout.h"
#include "talvik/layout/MainKeys.h"

#include "talvik/skin/SkinPictureFile.h"
#include <QImage>
#include <QResource>

#include <gtest/gtest.h>

using namespace talvik::layout;

namespace {

const ElementSpec* find(const std::vector<ElementSpec>& table, int id, bool label) {
    for (const ElementSpec& e : table) {
        if (e.id == id && e.isLabel == label) {
            return &e;
        }
    }
    return nullptr;
}

SkinRect grown(const SkinRect& r, int by) {
    return {r.left - by, r.top - by, r.right + by, r.bottom + by};
}

bool apart(const SkinRect& a, const SkinRect& b) {
    return a.right <= b.left || b.right <= a.left || a.bottom <= b.top || b.bottom <= a.top;
}

} // namespace

TEST(BacklightLayout, EveryButtonHasItsLabelShiftedAsTheDialogDrawsIt) {
    const auto table = backlightElements();
    ASSERT_EQ(table.size(), 1u + 7u + 87u + 7u + 1u);
    for (int id :
         {backlight_id::Default, backlight_id::SetAll, backlight_id::MultiKey, backlight_id::Read,
          backlight_id::Write, backlight_id::Ok, backlight_id::Cancel}) {
        const ElementSpec* button = find(table, id, false);
        const ElementSpec* label = find(table, id, true);
        ASSERT_TRUE(button != nullptr && label != nullptr) << id;
        EXPECT_EQ(label->rect, (SkinRect{button->rect.left + 5, button->rect.top + 8,
                                         button->rect.right + 2, button->rect.bottom}));
        EXPECT_EQ(label->zh, button->zh);
    }
    EXPECT_EQ(find(table, backlight_id::Read, true)->rect, (SkinRect{521, 428, 603, 454}));
    EXPECT_NE(find(table, backlight_id::Title, true), nullptr) << "the title is drawn";
    for (std::size_t i = 0; i < table.size(); ++i) {
        EXPECT_EQ(table[i].slot, static_cast<int>(i));
    }
}

TEST(BacklightLayout, KeysCarryLightIndexAndMainWindowNameAndTheirFramesNeverOverlap) {
    const auto table = backlightElements();
    std::vector<SkinRect> frames;
    for (int index = 1; index <= kKeyCount; ++index) {
        const ElementSpec* key = find(table, 99 + index, false);
        ASSERT_NE(key, nullptr) << index;
        EXPECT_EQ(key->keyIndex, index);
        EXPECT_EQ(key->en, keySpec(index).name);
        EXPECT_EQ(key->zh, key->en);
        EXPECT_EQ(key->rect, backlightKeyRect(index));
        frames.push_back(grown(key->rect, kLightFrameWidth));
    }
    for (std::size_t a = 0; a < frames.size(); ++a) {
        for (std::size_t b = a + 1; b < frames.size(); ++b) {
            EXPECT_TRUE(apart(frames[a], frames[b])) << "keys " << a + 1 << " and " << b + 1;
        }
    }
    EXPECT_EQ(backlightKeyRect(1), (SkinRect{211, 105, 255, 150}));
    EXPECT_EQ(backlightKeyRect(70), (SkinRect{382, 349, 671, 395}));
    EXPECT_EQ(backlightKeyRect(84), (SkinRect{955, 302, 998, 345}));
    EXPECT_EQ(backlightKeyRect(87), (SkinRect{1002, 349, 1045, 394}));
}

TEST(BacklightLayout, MultiSelectSharesTheKeys) {
    const auto table = multiSelectElements();
    for (int index = 1; index <= kKeyCount; ++index) {
        EXPECT_EQ(find(table, 99 + index, false)->rect, backlightKeyRect(index));
    }
}

TEST(BacklightLayout, PictureNumbersPerModel) {
    for (int model : {0, 1, 2, 3}) {
        EXPECT_EQ(backlightPictureIds(model).first, 131);
        EXPECT_EQ(backlightPictureIds(model).second, 132);
        EXPECT_EQ(multiSelectPictureIds(model).first, 142);
        EXPECT_EQ(multiSelectPictureIds(model).second, 143);
    }
    EXPECT_EQ(backlightPictureIds(4).first, 161);
    EXPECT_EQ(backlightPictureIds(4).second, 162);
    EXPECT_EQ(multiSelectPictureIds(4).first, 164);
    EXPECT_EQ(multiSelectPictureIds(4).second, 165);
}

class DevicePictures : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        talvik::test::qtApp();
        ASSERT_TRUE(QResource::registerResource(talvik::test::builtSkinPath()));
    }
    static void TearDownTestSuite() {
        QResource::unregisterResource(talvik::test::builtSkinPath());
    }
    static QImage load(int id, int resolution) {
        QImage image =
            talvik::skin::readSkinPicture(QString::fromStdString(picturePath(id, resolution)));
        image.setDevicePixelRatio(resolution);
        return image;
    }
};

TEST_F(DevicePictures, EveryPictureExistsAtBothResolutionsInItsSizeAndOutline) {
    struct Expect {
        std::vector<int> ids;
        QSize size;
        Rgb key;
    };
    const Expect groups[] = {
        {{131, 132, 161, 162}, {kBacklightWidth, kBacklightHeight}, kBacklightColourKey},
        {{142, 143, 164, 165}, {kMultiSelectWidth, kMultiSelectHeight}, kBacklightColourKey},
        {{128, 129, 130}, {kFirmwareWidth, kFirmwareHeight}, kFirmwareColourKey},
    };
    for (const Expect& group : groups) {
        for (int id : group.ids) {
            for (int resolution : kPictureResolutions) {
                const QImage image = load(id, resolution);
                ASSERT_FALSE(image.isNull()) << id << "@" << resolution;
                EXPECT_EQ(image.size(), group.size * resolution) << id;
                const QRgb key = qRgb(group.key.red, group.key.green, group.key.blue);
                EXPECT_EQ(image.pixel(0, 0), key) << id << ": the corner is outside";
                EXPECT_NE(image.pixel(image.width() / 2, 8 * resolution), key) << id;
            }
        }
    }
}

// Each key's cap fills its rectangle: the rectangle's edge pixels belong to
// the cap and the ring just outside, where the window draws the colour
// frame, is the keyboard case. (Of the pointer-over picture only the
// rectangles themselves are ever shown.)
TEST_F(DevicePictures, KeycapsSitExactlyInTheirRectangles) {
    for (int id : {131, 142, 143, 161, 164, 165}) {
        for (int resolution : kPictureResolutions) {
            const QImage image = load(id, resolution);
            const QColor caseColour = image.pixelColor(200 * resolution, 250 * resolution);
            for (int index = 1; index <= kKeyCount; ++index) {
                const SkinRect r = backlightKeyRect(index);
                const int midY = (r.top + r.bottom) / 2 * resolution;
                const int midX = (r.left + r.right) / 2 * resolution;
                const auto at = [&](int x, int y) { return image.pixelColor(x, y); };
                EXPECT_NE(at(r.left * resolution + 1, midY), caseColour) << id << " key " << index;
                EXPECT_NE(at(midX, r.top * resolution + 1), caseColour) << id << " key " << index;
                EXPECT_EQ(at(r.left * resolution - 2, midY), caseColour) << id << " key " << index;
                EXPECT_EQ(at(r.right * resolution + 1, midY), caseColour) << id << " key " << index;
                EXPECT_EQ(at(midX, r.bottom * resolution + 1), caseColour)
                    << id << " key " << index;
            }
        }
    }
}

TEST_F(DevicePictures, ActivePicturesDifferWhereTheWindowCopiesFromThem) {
    // Selected keys in the multi-select dialog, the full bar of the firmware dialog.
    const QImage normal = load(142, 1);
    const QImage selected = load(143, 1);
    const SkinRect key = backlightKeyRect(43);
    const QRect keyArea(key.left, key.top, key.width(), key.height());
    EXPECT_NE(normal.copy(keyArea), selected.copy(keyArea));
    const QImage idle = load(128, 1);
    const QImage active = load(130, 1);
    const QRect bar(kFirmwareBar.left, kFirmwareBar.top, kFirmwareBar.width(),
                    kFirmwareBar.height());
    EXPECT_NE(idle.copy(bar), active.copy(bar));
    EXPECT_GT(qRed(active.pixel(bar.center())), 200) << "the bar is orange";
}
