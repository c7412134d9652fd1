// The key settings dialog as a whole: its table and faces, which page opens
// for which assignment, the double-click guard, Default, Clear, OK, Cancel
// and the keys that end the dialog.

#include "KeyMapFixture.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QTest>
#include <gtest/gtest.h>

#include <stdexcept>

using namespace talvik::model;

using talvik::test::CKeyMapFixture;
namespace keymap = talvik::layout::keymap_id;
using talvik::text::Language;

namespace {

// Key numbers: 43 "A" (top-layer default 43), 72 the Fn key (156 on both layers).
constexpr int kKeyA = 43;
constexpr int kFnKey = 72;

QPoint centreOf(const SkinRect& r) {
    return QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

void movePointer(QWidget& w, QPoint at) {
    QMouseEvent move(QEvent::MouseMove, QPointF(at), QPointF(w.mapToGlobal(at)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&w, &move);
}

} // namespace

TEST(KeyMapFrame, TableHas221SlotsAndEveryElementBelongsToItsPage) {
    CKeyMapFixture f;
    auto& dlg = f.open();
    ASSERT_TRUE(f.initialised) << f.messages.join(QLatin1Char(';')).toStdString();
    ASSERT_EQ(dlg.elements().size(), 221u);
    EXPECT_EQ(dlg.elements()[0].id, keymap::Default);
    // The second record of a repeated id is never the one looked up.
    const int first = dlg.indexOfId(262);
    EXPECT_EQ(dlg.elements()[static_cast<std::size_t>(first)].captions.at("en-US"),
              QStringLiteral("Auto delay"));
    EXPECT_EQ(f.element(keymap::StopSingleLabel).textColor, QColor(0, 255, 0));
    EXPECT_FALSE(f.element(keymap::StopSingleLabel).visible);
    EXPECT_EQ(f.element(keymap::SingleLabel).activeTextColor, QColor(0, 255, 0));
    EXPECT_TRUE(f.element(keymap::FirstComboRow + 5).isListRow);
    EXPECT_EQ(f.element(keymap::ComboListHeader).textFormat, 0u);
    EXPECT_EQ(dlg.size(), QSize(580, 372));
}

TEST(KeyMapFrame, AnIdTheTableLacksIsNeverTakenForTheFirstElement) {
    CKeyMapFixture f;
    auto& dlg = f.open();
    ASSERT_EQ(dlg.elements()[0].id, keymap::Default);
    EXPECT_EQ(&dlg.element(keymap::Default), &dlg.elements()[0]);
    // None of these is an element: the lookup refuses them rather than land
    // on the Default button in the first slot.
    for (const int missing : {0, 99, 103, 999, -1}) {
        EXPECT_THROW(dlg.element(missing), std::logic_error) << missing;
    }
    EXPECT_FALSE(dlg.elements()[0].active) << "nothing was changed on the way";
}

TEST(KeyMapFrame, OpensOnThePageOfTheKeysAssignment) {
    CKeyMapFixture f;
    f.open(kKeyA);
    EXPECT_EQ(f.dlg().session().m_page, KeyMapPage::SingleCombo);
    EXPECT_TRUE(f.dlg().session().m_isSingle);
    EXPECT_EQ(f.dlg().session().m_singleCode, 'A');
    EXPECT_TRUE(f.element(keymap::SingleRadio).active);
    EXPECT_FALSE(f.element(keymap::ComboLabel).active);

    f.state.keyConfig.Mode[kKeyA][1] = KeyMode::Multimedia;
    f.state.keyConfig.HWCode[kKeyA][1] = 113;
    f.open(kKeyA, 1);
    EXPECT_EQ(f.dlg().session().m_page, KeyMapPage::Multimedia);
    EXPECT_EQ(f.dlg().session().m_mediaCode, 113);

    f.open(kFnKey, 1);
    EXPECT_EQ(f.dlg().session().m_page, KeyMapPage::Function);
    EXPECT_EQ(f.dlg().session().m_functionCode, 156);

    // An empty slot opens on Single with no key.
    f.open(2, 1);
    EXPECT_EQ(f.dlg().session().m_page, KeyMapPage::SingleCombo);
    EXPECT_EQ(f.dlg().session().m_singleCode, -1);
    f.dlg().renderCanvas();
    EXPECT_EQ(f.element(keymap::SingleKeyName).captions.at("en-US"), QStringLiteral("-- --"));
}

TEST(KeyMapFrame, AKeyWithAComboNotInTheLibraryAddsOneDefaultEntry) {
    CKeyMapFixture f;
    f.fillComboLibrary({{"Copy", "C"}});
    CActionList combo(6);
    combo.append("Left CTRL");
    combo.append("V");
    f.state.keyConfig.ComboKey[kKeyA][0] = combo;
    f.state.keyConfig.Mode[kKeyA][0] = KeyMode::Combo;
    f.open(kKeyA);
    EXPECT_FALSE(f.dlg().session().m_isSingle);
    EXPECT_TRUE(f.element(keymap::ComboRadio).active);
    ASSERT_EQ(f.dlg().session().m_comboLibrary.count(), 2);
    EXPECT_EQ(f.dlg().session().m_comboLibrary.itemAtRow(1), "default");
    EXPECT_EQ(f.dlg().session().m_comboLibrary.CursorPos, 1);
    EXPECT_EQ(f.dlg().session().m_combo.items(), combo.items());
    f.dlg().renderCanvas();
    EXPECT_EQ(f.dlg().comboText().text(), QStringLiteral("Left CTRL + V"));
    EXPECT_TRUE(f.element(keymap::FirstComboRow + 1).active);

    // Cancel changes nothing in the model, the library included.
    f.click(keymap::Cancel);
    EXPECT_EQ(f.dlg().result(), QDialog::Rejected);
    EXPECT_EQ(f.state.keyConfig.PredefinedCombo.count(), 1);
}

TEST(KeyMapFrame, TabsSwitchPagesAndOnlyTheCurrentPageIsHitTested) {
    CKeyMapFixture f;
    auto& dlg = f.open();
    const QPoint power = centreOf(f.element(keymap::FirstTab + 6).rect);
    f.click(keymap::FirstTab + 6);
    EXPECT_EQ(dlg.session().m_page, KeyMapPage::Power);
    EXPECT_TRUE(dlg.comboText().isHidden());
    EXPECT_EQ(dlg.hitTest(power), dlg.indexOfId(keymap::FirstTab + 6));
    // Page 1's Record button is not there on page 7.
    EXPECT_EQ(dlg.hitTest(centreOf(f.element(keymap::RecordSingle).rect)), -1);
    f.click(keymap::FirstTab);
    EXPECT_EQ(dlg.session().m_page, KeyMapPage::SingleCombo);
    EXPECT_FALSE(dlg.comboText().isHidden());
    EXPECT_EQ(dlg.hitTest(centreOf(f.element(keymap::RecordSingle).rect)),
              dlg.indexOfId(keymap::RecordSingle));
}

TEST(KeyMapFrame, ADoubleClickActsOnceAsTheSecondClick) {
    CKeyMapFixture f;
    auto& dlg = f.open();
    const QPoint radio = centreOf(f.element(keymap::SingleRadio).rect);
    QTest::mouseClick(&dlg, Qt::LeftButton, Qt::NoModifier, radio);
    EXPECT_TRUE(dlg.session().m_isSingle) << "a click waits for its double-click guard";
    ASSERT_TRUE(talvik::test::waitFor([&] { return !dlg.clickWaiting(); }));
    EXPECT_FALSE(dlg.session().m_isSingle) << "one click, one flip";

    // Press, release, the second press as a double click, release.
    QTest::mouseClick(&dlg, Qt::LeftButton, Qt::NoModifier, radio);
    QTest::mouseDClick(&dlg, Qt::LeftButton, Qt::NoModifier, radio);
    QTest::mouseRelease(&dlg, Qt::LeftButton, Qt::NoModifier, radio);
    ASSERT_TRUE(talvik::test::waitFor([&] { return !dlg.clickWaiting(); }));
    EXPECT_TRUE(dlg.session().m_isSingle) << "the double click flipped the radios once";
}

TEST(KeyMapFrame, DefaultPresetsThePageOfTheDefaultCodeWithoutApplying) {
    CKeyMapFixture f;
    auto& dlg = f.open(kKeyA);
    dlg.presetDefault(76);
    EXPECT_EQ(dlg.session().m_page, KeyMapPage::Power);
    EXPECT_EQ(dlg.session().m_powerCode, 76);
    dlg.renderCanvas();
    for (const SkinElement& e : dlg.elements()) {
        if (e.id >= 701 && e.id <= 703) {
            EXPECT_EQ(e.active, e.code == 76) << e.id;
        }
    }
    // Wake Up and Power are keys like any other.
    for (const int d : {75, 77}) {
        dlg.presetDefault(d);
        EXPECT_EQ(dlg.session().m_page, KeyMapPage::SingleCombo);
        EXPECT_TRUE(dlg.session().m_isSingle);
        EXPECT_EQ(dlg.session().m_singleCode, f.state.hwCodeToVk[static_cast<std::size_t>(d)]);
    }
    dlg.presetDefault(133);
    EXPECT_EQ(dlg.session().m_page, KeyMapPage::Mouse);
    EXPECT_EQ(dlg.session().m_mouseCode, 133);
    dlg.presetDefault(173);
    EXPECT_EQ(dlg.session().m_page, KeyMapPage::Mouse)
        << "a mouse setting among the keyboard functions";
    dlg.presetDefault(150);
    EXPECT_EQ(dlg.session().m_page, KeyMapPage::Function);
    dlg.presetDefault(120);
    EXPECT_EQ(dlg.session().m_page, KeyMapPage::Multimedia);
    dlg.presetDefault(199);
    EXPECT_EQ(dlg.session().m_page, KeyMapPage::Multimedia) << "nothing happens for 199";
    EXPECT_EQ(f.mode(kKeyA, 0), KeyMode::Single);

    // The button on a real key: A's default is A.
    dlg.session().m_singleCode = -1;
    f.click(keymap::Default);
    EXPECT_EQ(dlg.session().m_page, KeyMapPage::SingleCombo);
    EXPECT_EQ(dlg.session().m_singleCode, 'A');
}

TEST(KeyMapFrame, ASelectionButtonIsChosenByOneClickAndLetGoByTheNext) {
    CKeyMapFixture f;
    auto& dlg = f.open(kKeyA);
    f.click(keymap::FirstTab + 4);
    f.click(509); // Wheel Up
    EXPECT_EQ(dlg.session().m_mouseCode, 133);
    EXPECT_TRUE(f.element(509).active);
    f.click(511);
    EXPECT_EQ(dlg.session().m_mouseCode, 199);
    EXPECT_FALSE(f.element(509).active) << "one chosen button per page";
    f.click(511);
    EXPECT_EQ(dlg.session().m_mouseCode, -1);
    EXPECT_FALSE(f.element(511).active);
    f.click(509);
    f.click(keymap::Ok);
    EXPECT_EQ(f.mode(kKeyA, 0), KeyMode::Mouse);
    EXPECT_EQ(f.code(kKeyA, 0), 133);
}

TEST(KeyMapFrame, OkWithFnOnTheFunctionPageSetsBothLayers) {
    CKeyMapFixture f;
    f.state.keyConfig.Mode[kKeyA][1] = KeyMode::NotSet;
    auto& dlg = f.open(kKeyA, 1);
    f.click(keymap::FirstTab + 5);
    f.click(615);
    ASSERT_EQ(dlg.session().m_functionCode, 156);
    f.click(keymap::Ok);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    for (const int level : {0, 1}) {
        EXPECT_EQ(f.mode(kKeyA, level), KeyMode::Function);
        EXPECT_EQ(f.code(kKeyA, level), 156);
    }
}

TEST(KeyMapFrame, OkOnASelectionPageWithNothingChosenLeavesTheKeyUnassigned) {
    for (int page = 4; page <= 7; ++page) {
        CKeyMapFixture f;
        auto& dlg = f.open(kKeyA);
        f.click(keymap::FirstTab + page - 1);
        f.click(keymap::Ok);
        EXPECT_EQ(dlg.result(), QDialog::Accepted);
        EXPECT_EQ(f.mode(kKeyA, 0), KeyMode::NotSet) << "page " << page;
        EXPECT_EQ(f.code(kKeyA, 0), 43) << "the code is left as it was";
    }
}

TEST(KeyMapFrame, OkOnAPageWritesThatPageOnlyAndClearLeavesTheKeyUnassigned) {
    CKeyMapFixture f;
    f.state.keyConfig.Mode[kKeyA][0] = KeyMode::Mouse;
    f.state.keyConfig.HWCode[kKeyA][0] = 199;
    auto& dlg = f.open(kKeyA);
    EXPECT_EQ(dlg.session().m_page, KeyMapPage::Mouse);
    dlg.session().m_powerCode = 75; // chosen on another page, never shown
    f.click(keymap::Ok);
    EXPECT_EQ(f.mode(kKeyA, 0), KeyMode::Mouse);
    EXPECT_EQ(f.code(kKeyA, 0), 199);

    auto& again = f.open(kKeyA);
    f.click(keymap::Clear);
    EXPECT_EQ(again.session().m_page, KeyMapPage::SingleCombo);
    EXPECT_EQ(again.session().m_singleCode, -1);
    EXPECT_EQ(f.mode(kKeyA, 0), KeyMode::Mouse) << "Clear applies nothing";
    f.click(keymap::Ok);
    EXPECT_EQ(f.mode(kKeyA, 0), KeyMode::NotSet);
}

TEST(KeyMapFrame, EscapeCancelsAndEnterConfirmsAsOkDoes) {
    CKeyMapFixture f;
    auto& dlg = f.open(kKeyA);
    dlg.presetDefault(113);
    QTest::keyClick(&dlg, Qt::Key_Escape);
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_EQ(f.mode(kKeyA, 0), KeyMode::Single);

    auto& again = f.open(kKeyA);
    again.presetDefault(113);
    QTest::keyClick(&again, Qt::Key_Return);
    EXPECT_EQ(again.result(), QDialog::Accepted);
    EXPECT_EQ(f.mode(kKeyA, 0), KeyMode::Multimedia);
    EXPECT_EQ(f.code(kKeyA, 0), 113);
}

TEST(KeyMapFrame, TheCloseBoxCancels) {
    CKeyMapFixture f;
    auto& dlg = f.open(kKeyA);
    dlg.presetDefault(113);
    f.click(keymap::Close);
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_EQ(f.mode(kKeyA, 0), KeyMode::Single);
}

TEST(KeyMapFrame, FunctionsOfPagesFourSixAndSevenNameThemselvesInATooltip) {
    CKeyMapFixture f;
    auto& dlg = f.open(kKeyA);
    const auto hover = [&](int id) {
        movePointer(dlg, centreOf(f.element(id).rect));
        EXPECT_TRUE(talvik::test::waitFor([&] { return !dlg.tip().waiting(); }));
        return dlg.tip().isVisible() ? dlg.tip().activeText() : QString();
    };
    f.click(keymap::FirstTab + 6);
    EXPECT_EQ(hover(702), QStringLiteral("Sleep"));
    f.click(keymap::FirstTab + 5);
    EXPECT_TRUE(dlg.tip().activeText().isEmpty()) << "a page switch takes the tip away";
    EXPECT_EQ(hover(615), QStringLiteral("FN key,Key's 2 layer must be set to FN"));
    f.click(keymap::FirstTab + 4);
    EXPECT_EQ(hover(506), QString()) << "the mouse page's buttons carry their captions";
    f.click(keymap::FirstTab + 3);
    f.state.language = Language::Chinese;
    EXPECT_EQ(hover(407), QStringLiteral("音量加大"));
    movePointer(dlg, QPoint(5, 200));
    EXPECT_FALSE(dlg.tip().isVisible());
}

TEST(KeyMapFrame, OnlyTheCurrentPagesElementsLightUpUnderThePointer) {
    CKeyMapFixture f;
    auto& dlg = f.open(kKeyA);
    f.click(keymap::FirstTab + 6);
    // The Single radio of page 1 lies under the pointer, but page 7 shows.
    movePointer(dlg, centreOf(f.element(keymap::SingleRadio).rect));
    EXPECT_FALSE(f.element(keymap::SingleRadio).hovered);
    movePointer(dlg, centreOf(f.element(703).rect));
    EXPECT_TRUE(f.element(703).hovered);
    f.click(keymap::FirstTab);
    movePointer(dlg, centreOf(f.element(keymap::SingleRadio).rect));
    EXPECT_TRUE(f.element(keymap::SingleRadio).hovered);
}

TEST(KeyMapFrame, OnAScreenTwiceAsHighEverythingButTheLabelsDoubles) {
    CKeyMapFixture f;
    f.state.uiScale = 2.0f;
    auto& dlg = f.open(kKeyA);
    EXPECT_EQ(dlg.size(), QSize(1160, 744));
    EXPECT_EQ(f.element(keymap::Ok).rect, (SkinRect{730, 640, 898, 706}));
    EXPECT_EQ(f.element(keymap::OkLabel).rect, (SkinRect{365, 328, 449, 353}));
    EXPECT_EQ(dlg.comboText().geometry(), QRect(760, 276, 282, 104));
    EXPECT_EQ(dlg.comboText().font().pixelSize(), 22);
    EXPECT_EQ(dlg.scrollBar(1006).geometry().topLeft(), QPoint(716, 274));
    EXPECT_EQ(dlg.scrollBar(1006).height(), 192);
    // A click in window pixels finds the doubled button.
    EXPECT_EQ(dlg.hitTest(QPoint(800, 660)), dlg.indexOfId(keymap::Ok));
}

TEST(KeyMapFrame, TheFunctionPageFadesWhatTheModelsKeyboardLacks) {
    CKeyMapFixture f;
    const auto ids1 = talvik::layout::keyMapPictureIds(1);
    const auto ids3 = talvik::layout::keyMapPictureIds(3);
    const QImage& full = f.app.picture(ids1[15]);
    const QImage& wired = f.app.picture(ids3[15]);
    ASSERT_FALSE(full.isNull());
    ASSERT_FALSE(wired.isNull());
    const auto at = [](const QImage& image, const SkinRect& r) {
        const qreal dpr = image.devicePixelRatio();
        return image.copy(QRect(QPoint(r.left, r.top) * dpr, QPoint(r.right, r.bottom) * dpr));
    };
    CKeyMapFixture tables;
    tables.open(kKeyA);
    const SkinRect bluetooth = tables.element(601).rect;
    const SkinRect fnLock = tables.element(611).rect;
    EXPECT_NE(at(full, bluetooth), at(wired, bluetooth)) << "no Bluetooth on model 3";
    EXPECT_EQ(at(full, fnLock), at(wired, fnLock));
    // Every model has all 21 faces.
    for (int model = 1; model <= 4; ++model) {
        for (const int id : talvik::layout::keyMapPictureIds(model)) {
            EXPECT_FALSE(f.app.picture(id).isNull()) << "picture " << id;
        }
    }
}
