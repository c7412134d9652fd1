// The layout tables and the pictures the generator draws from them.

#include "GeneratedSkin.h"
#include "talvik/text/Language.h"

#include "talvik/layout/MainPanels.h"
#include "talvik/layout/SkinLayout.h"

#include <gtest/gtest.h>

#include <set>

using namespace talvik::layout;

namespace {

const ElementSpec* findSlot(const std::vector<ElementSpec>& table, int slot) {
    for (const ElementSpec& e : table) {
        if (e.slot == slot) {
            return &e;
        }
    }
    return nullptr;
}

const ElementSpec* findId(const std::vector<ElementSpec>& table, int id) {
    for (const ElementSpec& e : table) {
        if (e.id == id) {
            return &e;
        }
    }
    return nullptr;
}

} // namespace

TEST(MainLayout, WideLayoutHasBacklightButtonAndLabelsInOrder) {
    for (int model : {0, 1, 4}) {
        const auto table = mainElements(model);
        ASSERT_NE(findSlot(table, 9), nullptr);
        EXPECT_EQ(findSlot(table, 9)->id, 94);
        EXPECT_EQ(findSlot(table, 10)->rect, (SkinRect{540, 92, 635, 128}));
        EXPECT_EQ(findSlot(table, 0)->rect, (SkinRect{855, 92, 950, 128}));
        const std::vector<int> labelIds = {65, 67, 70, 71, 72, 73, 74, 75, 76,
                                           77, 78, 55, 56, 57, 58, 59, 60, 61};
        for (std::size_t i = 0; i < labelIds.size(); ++i) {
            const ElementSpec* label = findSlot(table, 100 + static_cast<int>(i));
            ASSERT_NE(label, nullptr) << "slot " << 100 + i;
            EXPECT_EQ(label->id, labelIds[i]);
            EXPECT_TRUE(label->isLabel);
        }
        EXPECT_EQ(findSlot(table, 118), nullptr);
    }
}

TEST(MainLayout, NarrowLayoutDropsBacklightAndShiftsLaterLabels) {
    for (int model : {2, 3}) {
        const auto table = mainElements(model);
        EXPECT_EQ(findSlot(table, 9), nullptr) << "slot 9 stays empty";
        EXPECT_EQ(findSlot(table, 10)->rect, (SkinRect{435, 92, 535, 128}));
        EXPECT_EQ(findSlot(table, 11)->rect, (SkinRect{540, 92, 635, 128}));
        EXPECT_EQ(findSlot(table, 0)->rect, (SkinRect{750, 92, 845, 128}));
        EXPECT_EQ(findSlot(table, 1)->rect, (SkinRect{645, 92, 737, 128}));
        EXPECT_EQ(findId(table, 74), nullptr);
        EXPECT_EQ(findSlot(table, 106)->id, 75);
        EXPECT_EQ(findSlot(table, 106)->rect, (SkinRect{435, 101, 535, 130}));
        EXPECT_EQ(findSlot(table, 108)->id, 77);
        EXPECT_EQ(findSlot(table, 116)->id, 61);
        EXPECT_EQ(findSlot(table, 117), nullptr);
        EXPECT_EQ(findId(table, 65)->rect, (SkinRect{750, 101, 845, 130}));
    }
}

TEST(MainLayout, KeysOccupySlots13To99WithoutOverlap) {
    const auto table = mainElements(1);
    std::vector<SkinRect> keys;
    for (int key = 1; key <= kKeyCount; ++key) {
        const ElementSpec* e = findSlot(table, 12 + key);
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(e->id, 99 + key);
        EXPECT_EQ(e->keyIndex, key);
        EXPECT_EQ(e->zh, e->en);
        EXPECT_GT(e->rect.width(), 40);
        EXPECT_GT(e->rect.height(), 40);
        keys.push_back(e->rect);
    }
    for (std::size_t a = 0; a < keys.size(); ++a) {
        for (std::size_t b = a + 1; b < keys.size(); ++b) {
            const bool apart = keys[a].right <= keys[b].left || keys[b].right <= keys[a].left ||
                               keys[a].bottom <= keys[b].top || keys[b].bottom <= keys[a].top;
            EXPECT_TRUE(apart) << "keys " << a + 1 << " and " << b + 1 << " overlap";
        }
    }
    EXPECT_EQ(findId(table, 100 + 69)->zh, "Space");
    EXPECT_EQ(findId(table, 186)->rect, (SkinRect{1012, 413, 1058, 460}));
}

TEST(MainLayout, PictureNumbersAndModelNamesPerModel) {
    EXPECT_EQ(mainPictureIds(0).normal, 101);
    EXPECT_EQ(mainPictureIds(1).active, 103);
    EXPECT_EQ(mainPictureIds(2).hover, 148);
    EXPECT_EQ(mainPictureIds(2).active, 147);
    EXPECT_EQ(mainPictureIds(3).normal, 154);
    EXPECT_EQ(mainPictureIds(3).active, 153);
    EXPECT_EQ(mainPictureIds(4).hover, 158);
    EXPECT_EQ(talvik::text::modelName(0), "Talvik(RGB)BLe");
    EXPECT_EQ(talvik::text::modelName(2), "Talvik(S)BLe");
    EXPECT_EQ(talvik::text::modelName(3), "Talvik(S)");
    EXPECT_EQ(talvik::text::modelName(4), "Talvik(RGB)");
}

class GeneratedSkin : public talvik::test::CGeneratedSkinTest {};

TEST_F(GeneratedSkin, EveryModelHasThreeSameSizedPicturesShapedByTheColourKey) {
    for (int model = 1; model <= 4; ++model) {
        const MainPictureIds ids = mainPictureIds(model);
        const QImage normal = picture(ids.normal);
        ASSERT_FALSE(normal.isNull()) << "model " << model;
        EXPECT_EQ(normal.size(), QSize(kMainWidth, kMainHeight));
        EXPECT_EQ(picture(ids.hover).size(), normal.size());
        EXPECT_EQ(picture(ids.active).size(), normal.size());
        const QRgb key = qRgb(0, 0, 255);
        EXPECT_EQ(normal.pixel(0, 0), key);
        EXPECT_EQ(normal.pixel(kMainWidth - 1, kMainHeight - 1), key);
        EXPECT_NE(normal.pixel(kMainWidth / 2, kMainHeight / 2), key);
        EXPECT_NE(normal.pixel(kMainWidth / 2, 3), key) << "the body reaches the top edge";
    }
}

// The window copies rectangles between the pictures, so everything outside
// the elements must be the same in all three, and every element must change.
TEST_F(GeneratedSkin, HoverAndActiveDifferOnlyInsideElements) {
    for (int model : {1, 2}) {
        const MainPictureIds ids = mainPictureIds(model);
        const QImage normal = picture(ids.normal);
        const auto table = mainElements(model);
        for (int other : {ids.hover, ids.active}) {
            const QImage changed = picture(other);
            for (int y = 0; y < kMainHeight; y += 3) {
                for (int x = 0; x < kMainWidth; x += 3) {
                    bool inElement = false;
                    for (const ElementSpec& e : table) {
                        inElement = inElement || (!e.isLabel && e.rect.contains(x, y));
                    }
                    // The layer plates are lit in the active picture; the
                    // window copies the plate of the layer it shows.
                    for (const SkinRect& plate : talvik::layout::kLayerPlates) {
                        const SkinRect around{plate.left - 1, plate.top - 1, plate.right + 1,
                                              plate.bottom + 1};
                        inElement = inElement || (other == ids.active && around.contains(x, y));
                    }
                    if (!inElement) {
                        ASSERT_EQ(normal.pixel(x, y), changed.pixel(x, y))
                            << "picture " << other << " at " << x << "," << y;
                    }
                }
            }
            for (const ElementSpec& e : table) {
                if (e.isLabel) {
                    continue;
                }
                int differing = 0;
                for (int y = e.rect.top; y < e.rect.bottom; ++y) {
                    for (int x = e.rect.left; x < e.rect.right; ++x) {
                        differing += normal.pixel(x, y) != changed.pixel(x, y) ? 1 : 0;
                    }
                }
                EXPECT_GT(differing, e.rect.width() * e.rect.height() / 20)
                    << "element " << e.id << " is not visibly highlighted in " << other;
            }
        }
    }
}

TEST_F(GeneratedSkin, LegendSamplesShowTheMarkerColours) {
    const QImage normal = picture(mainPictureIds(1).normal);
    for (const ElementSpec& e : mainElements(1)) {
        const int mode = e.id - main_id::FirstLegendLabel + 2;
        if (!e.isLabel || mode < 2 || mode > 8) {
            continue;
        }
        // The sample sits just left of its label, level with its text.
        const Rgb c = modeColors()[static_cast<std::size_t>(mode)];
        EXPECT_EQ(normal.pixel(e.rect.left - 14, e.rect.top + 10), qRgb(c.red, c.green, c.blue))
            << "legend " << e.id;
    }
}
