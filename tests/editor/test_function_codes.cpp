// The function code tables of the selection pages and the button pictures
// the generator draws from them. With TALVIK_SCREENSHOT_DIR set it also saves
// every page's buttons in their three looks (function-buttons-page<N>.png).

#include "../shell/QtTestApp.h"

#include "talvik/skin/FunctionPictograms.h"
#include "talvik/skin/ThemeIcons.h"
#include "talvik/layout/FunctionCodes.h"
#include "talvik/model/CAppState.h"
#include "talvik/shell/SkinElement.h"

#include <QDir>
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <tuple>

using namespace talvik::model;

using namespace talvik::layout;
using talvik::skin::Look;
using talvik::text::Language;

namespace {

const ElementSpec* findId(const std::vector<ElementSpec>& table, int id) {
    for (const ElementSpec& e : table) {
        if (e.id == id) {
            return &e;
        }
    }
    return nullptr;
}

bool overlap(const SkinRect& a, const SkinRect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

} // namespace

TEST(FunctionCodes, PagesHoldTheirButtonsWithTheirModes) {
    EXPECT_EQ(functionButtons(4).size(), 18u);
    EXPECT_EQ(functionButtons(5).size(), 13u);
    EXPECT_EQ(functionButtons(6).size(), 30u);
    EXPECT_EQ(functionButtons(7).size(), 3u);
    EXPECT_TRUE(functionButtons(3).empty());
    EXPECT_TRUE(functionButtons(8).empty());
    EXPECT_EQ(functionPageMode(4), 5);
    EXPECT_EQ(functionPageMode(7), 8);
    EXPECT_EQ(functionPageMode(1), 0);
    EXPECT_TRUE(functionPageElements(2).empty());
}

// Every code belongs to exactly one button, every id lies on its own page,
// and the kind of function the model gives a code is the page it is on (the
// double click, which the keyboard receives as two clicks, is the one code the
// model cannot tell by its number).
TEST(FunctionCodes, CodesAreUniqueAndAgreeWithTheModelsModes) {
    std::set<int> codes;
    std::set<int> ids;
    for (int page = kFirstFunctionPage; page <= kLastFunctionPage; ++page) {
        for (const FunctionButton& b : functionButtons(page)) {
            EXPECT_TRUE(codes.insert(b.code).second) << "code " << b.code << " twice";
            EXPECT_TRUE(ids.insert(b.id).second) << "id " << b.id << " twice";
            EXPECT_EQ(b.id / 100, page) << "button " << b.id;
            EXPECT_EQ(functionButtonForCode(b.code), &b);
            if (b.code != 199) {
                EXPECT_EQ(static_cast<int>(CAppState::modeForHWCode(b.code)),
                          functionPageMode(page))
                    << "code " << b.code << " on page " << page;
            }
        }
    }
    EXPECT_EQ(functionButtonForCode(1), nullptr);
    EXPECT_EQ(functionButtonForCode(204), nullptr);
}

TEST(FunctionCodes, ButtonSizesAndPlacesFollowTheirPages) {
    for (const FunctionButton& b : functionButtons(4)) {
        EXPECT_EQ(b.rect.width(), 35) << b.id;
        EXPECT_EQ(b.rect.height(), b.id <= 408 ? 36 : 37) << b.id;
    }
    for (const FunctionButton& b : functionButtons(5)) {
        EXPECT_EQ(b.rect.height(), 16) << b.id;
    }
    for (const FunctionButton& b : functionButtons(7)) {
        EXPECT_EQ(b.rect.width(), 80);
        EXPECT_EQ(b.rect.height(), 30);
    }
    const auto& grid = functionButtons(6);
    for (const FunctionButton& b : grid) {
        EXPECT_EQ(b.rect.width(), 36) << b.id;
        EXPECT_EQ(b.rect.height(), 36) << b.id;
    }
    // Row 1 column 9, row 2 column 1, row 3 column 5, row 4 column 7.
    EXPECT_EQ(functionButtonForCode(180)->rect, (SkinRect{460, 112, 496, 148}));
    EXPECT_EQ(functionButtonForCode(153)->rect, (SkinRect{36, 155, 72, 191}));
    EXPECT_EQ(functionButtonForCode(145)->rect, (SkinRect{248, 220, 284, 256}));
    EXPECT_EQ(functionButtonForCode(147)->rect, (SkinRect{354, 265, 390, 301}));
    for (int page = kFirstFunctionPage; page <= kLastFunctionPage; ++page) {
        const auto buttons = functionButtons(page);
        for (std::size_t a = 0; a < buttons.size(); ++a) {
            for (std::size_t b = a + 1; b < buttons.size(); ++b) {
                EXPECT_FALSE(overlap(buttons[a].rect, buttons[b].rect))
                    << buttons[a].id << " and " << buttons[b].id;
            }
        }
    }
}

TEST(FunctionCodes, MouseCaptionsAreLabelsOverTheirButtons) {
    const auto page = functionPageElements(5);
    ASSERT_EQ(page.size(), 26u);
    for (const FunctionButton& b : functionButtons(5)) {
        const ElementSpec* button = findId(page, b.id);
        const ElementSpec* label = findId(page, b.id + kMouseLabelOffset);
        ASSERT_NE(button, nullptr);
        ASSERT_NE(label, nullptr) << b.id;
        EXPECT_FALSE(button->isLabel);
        EXPECT_EQ(button->code, b.code);
        EXPECT_TRUE(label->isLabel);
        EXPECT_EQ(label->rect, b.rect);
        EXPECT_EQ(label->textFormat, kTextCentre);
        EXPECT_EQ(label->fontIndex, 13);
    }
    EXPECT_EQ(findId(page, 561)->en, "Left Double Click");
    EXPECT_EQ(findId(page, 562)->en, "Uint Time");
    EXPECT_EQ(findId(page, 559)->zh, "滚轮前翻");
}

TEST(FunctionCodes, TooltipAndLabelTextsOfTheOtherPages) {
    const auto media = functionPageElements(4);
    EXPECT_EQ(findId(media, 411)->tipEn, "WWW Stop");
    EXPECT_EQ(findId(media, 403)->tipZh, "停止");
    EXPECT_EQ(findId(media, 417)->code, 118);
    EXPECT_TRUE(findId(media, 451)->isLabel);
    EXPECT_EQ(findId(media, 452)->textFormat, kTextLeft);
    const auto function = functionPageElements(6);
    EXPECT_EQ(findId(function, 615)->tipEn, "FN key,Key's 2 layer must be set to FN");
    EXPECT_EQ(findId(function, 615)->code, 156);
    EXPECT_EQ(findId(function, 652)->en, "Backlight Function");
    const auto power = functionPageElements(7);
    ASSERT_EQ(power.size(), 6u);
    EXPECT_EQ(findId(power, 701)->tipEn, "WakeUp");
    EXPECT_EQ(findId(power, 751)->en, "Wake");
    EXPECT_EQ(findId(power, 751)->rect, (SkinRect{162, 166, 242, 190}));
    for (std::size_t i = 0; i < power.size(); ++i) {
        EXPECT_EQ(power[i].slot, static_cast<int>(i));
    }
}

TEST(FunctionCodes, ElementsCarryCodeAndBothTooltipsIntoTheWindow) {
    const SkinElement e = makeSkinElement(*findId(functionPageElements(4), 407));
    EXPECT_EQ(e.id, 407);
    EXPECT_EQ(e.code, 113);
    EXPECT_EQ(e.tips.at("zh-CN"), QStringLiteral("音量加大"));
    EXPECT_EQ(e.tips.at("en-US"), QStringLiteral("Volume Up"));
    EXPECT_FALSE(e.isLabel);
}

namespace {

// The buttons of one page on a piece of the dark body, at `resolution`.
QImage drawPage(int page, Look look, int resolution) {
    QImage image = talvik::skin::makeBody(580, 320, QRect(0, 0, 580, 320), 0, resolution);
    QPainter p(&image);
    talvik::skin::drawFunctionButtons(p, page, look);
    return image;
}

// How many pixels of the button's face differ from the face of a button
// without a pictogram.
int inkPixels(const QImage& image, const SkinRect& r, int resolution) {
    const QRect face(QPoint((r.left + 9) * resolution, (r.top + 8) * resolution),
                     QPoint((r.right - 9) * resolution - 1, (r.bottom - 12) * resolution - 1));
    const QRgb plain = image.pixel(face.left(), face.top());
    int count = 0;
    for (int y = face.top(); y <= face.bottom(); ++y) {
        for (int x = face.left(); x <= face.right(); ++x) {
            const QColor c(image.pixel(x, y));
            const QColor base(plain);
            count += std::abs(c.lightness() - base.lightness()) > 40 ? 1 : 0;
        }
    }
    return count;
}

} // namespace

// Each pictogram shows up at both resolutions, the theme supplies every icon
// asked for, and no two functions of a page share a picture.
TEST(FunctionPictograms, EveryButtonShowsItsOwnPictureAtBothResolutions) {
    talvik::test::qtApp();
    for (const int page : {4, 6, 7}) {
        for (const int resolution : {1, 2}) {
            const QImage image = drawPage(page, Look::Normal, resolution);
            std::map<QByteArray, int> seen;
            for (const FunctionButton& b : functionButtons(page)) {
                const SkinRect& r = b.rect;
                const int ink = inkPixels(image, r, resolution);
                EXPECT_GT(ink, 12 * resolution * resolution)
                    << "button " << b.id << " at " << resolution << "x";
                const QImage face =
                    image.copy((r.left + 6) * resolution, (r.top + 5) * resolution,
                               (r.width() - 12) * resolution, (r.height() - 14) * resolution);
                const QByteArray bytes(reinterpret_cast<const char*>(face.constBits()),
                                       static_cast<int>(face.sizeInBytes()));
                const auto [at, added] = seen.emplace(bytes, b.id);
                EXPECT_TRUE(added) << b.id << " looks like " << at->second;
            }
        }
    }
    EXPECT_TRUE(talvik::skin::missingThemeIcons().isEmpty())
        << qPrintable(talvik::skin::missingThemeIcons().join(QStringLiteral(", ")));
}

TEST(FunctionPictograms, MousePageFunctionsHaveCaptionsInsteadOfPictures) {
    talvik::test::qtApp();
    QImage image = talvik::skin::makeCanvas(30, 30, 1);
    QPainter p(&image);
    for (const FunctionButton& b : functionButtons(5)) {
        EXPECT_FALSE(talvik::skin::drawFunctionPictogram(p, QRectF(3, 3, 24, 24), b.code, Qt::white,
                                                         Qt::black))
            << b.code;
    }
}

TEST(FunctionPictograms, LooksDifferSoHoverAndChoiceShow) {
    talvik::test::qtApp();
    for (int page = kFirstFunctionPage; page <= kLastFunctionPage; ++page) {
        const QImage normal = drawPage(page, Look::Normal, 1);
        const QImage hover = drawPage(page, Look::Hover, 1);
        const QImage active = drawPage(page, Look::Active, 1);
        for (const FunctionButton& b : functionButtons(page)) {
            const QRect r = talvik::skin::toRect(b.rect);
            EXPECT_NE(normal.copy(r), hover.copy(r)) << b.id;
            EXPECT_NE(normal.copy(r), active.copy(r)) << b.id;
            EXPECT_NE(hover.copy(r), active.copy(r)) << b.id;
        }
        // Outside the buttons the page face stays the same in every look.
        EXPECT_EQ(normal.pixel(575, 315), active.pixel(575, 315));
    }
}

namespace {

// A page's buttons with the captions the dialog writes over them: section
// titles from the top of their rectangles, captions centred on their buttons.
QImage drawPageWithLabels(int page, Look look, Language language, int resolution) {
    QImage image = drawPage(page, look, resolution);
    QPainter p(&image);
    p.setPen(QColor(200, 200, 200));
    for (const ElementSpec& e : functionPageElements(page)) {
        if (!e.isLabel) {
            continue;
        }
        QFont font(QStringLiteral("Noto Sans CJK SC"));
        font.setPixelSize(e.fontIndex);
        p.setFont(font);
        const int align =
            e.textFormat == kTextLeft ? Qt::AlignLeft | Qt::AlignTop : Qt::AlignCenter;
        p.drawText(talvik::skin::toRect(e.rect), align,
                   QString::fromStdString(language == Language::Chinese ? e.zh : e.en));
    }
    return image;
}

} // namespace

// Not a check: the pictures for people to look at.
TEST(FunctionPictograms, SavesScreenshotsWhenAsked) {
    const QString dir = qEnvironmentVariable("TALVIK_SCREENSHOT_DIR");
    if (dir.isEmpty()) {
        GTEST_SKIP() << "TALVIK_SCREENSHOT_DIR not set";
    }
    talvik::test::qtApp();
    const std::map<int, QRect> areas = {{4, QRect(30, 118, 520, 166)},
                                        {5, QRect(28, 106, 240, 186)},
                                        {6, QRect(26, 88, 480, 222)},
                                        {7, QRect(150, 150, 282, 50)}};
    // The last panel is the 1x picture with every pixel doubled.
    const std::tuple<Look, Language, int> panels[] = {{Look::Normal, Language::English, 2},
                                                      {Look::Hover, Language::English, 2},
                                                      {Look::Active, Language::English, 2},
                                                      {Look::Normal, Language::Chinese, 2},
                                                      {Look::Normal, Language::English, 1}};
    for (const auto& [page, area] : areas) {
        const int gap = 8;
        QImage sheet(area.width() * 2, (area.height() + gap) * 5 * 2, QImage::Format_RGB32);
        sheet.fill(QColor(12, 12, 13));
        QPainter p(&sheet);
        int y = 0;
        for (const auto& [look, language, resolution] : panels) {
            QImage face = drawPageWithLabels(page, look, language, resolution)
                              .copy(QRect(area.topLeft() * resolution, area.size() * resolution))
                              .scaled(area.size() * 2);
            face.setDevicePixelRatio(1); // a sheet of the pixels as they are
            p.drawImage(QPoint(0, y), face);
            y += (area.height() + gap) * 2;
        }
        p.end();
        QDir().mkpath(dir);
        ASSERT_TRUE(sheet.save(dir + QStringLiteral("/function-buttons-page%1.png").arg(page)));
    }
}
