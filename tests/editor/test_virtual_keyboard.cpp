// The virtual keyboard: its element table and pictures, single and combo
// choice through the application state, the choice text in both languages,
// double clicks, OK/Cancel/Enter/Escape and its place and size on screen.
// With TALVIK_SCREENSHOT_DIR set it saves the dialog in both languages.

#include "../shell/AccessibleEvents.h"
#include "../shell/QtTestApp.h"

#include "talvik/editor/OrsaDialogVirtual.h"
#include "talvik/layout/VirtualKeys.h"
#include "talvik/model/CAppState.h"
#include "talvik/shell/CFontTable.h"
#include "talvik/shell/COrsaApp.h"

#include "talvik/skin/SkinPictureFile.h"
#include <QDir>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <set>

using namespace talvik::model;

using namespace talvik::layout;
using talvik::editor::OrsaDialogVirtual;
using talvik::text::Language;

namespace {

const ElementSpec* findCode(const std::vector<ElementSpec>& table, int code) {
    for (const ElementSpec& e : table) {
        if (e.keyIndex == code) {
            return &e;
        }
    }
    return nullptr;
}

} // namespace

TEST(VirtualLayout, SlotsHoldButtonsLabelsAndTheKeysInOrder) {
    const auto table = virtualKeyboardElements();
    ASSERT_EQ(table.size(), static_cast<std::size_t>(kVirtualElementCount));
    EXPECT_EQ(table[0].id, 88);
    EXPECT_EQ(table[0].rect, SkinRect{});
    EXPECT_EQ(table[1].id, 89);
    EXPECT_EQ(table[1].rect, (SkinRect{570, 304, 652, 338}));
    EXPECT_EQ(table[2].rect, (SkinRect{667, 304, 752, 338}));
    EXPECT_TRUE(table[3].isLabel);
    EXPECT_EQ(table[3].en, "Virtual Keyboard");
    EXPECT_EQ(table[3].fontIndex, 17);
    EXPECT_EQ(table[5].zh, "取消");
    std::set<int> codes;
    for (std::size_t slot = 6; slot < table.size(); ++slot) {
        EXPECT_EQ(table[slot].slot, static_cast<int>(slot));
        EXPECT_EQ(table[slot].id, 94 + static_cast<int>(slot));
        EXPECT_TRUE(codes.insert(table[slot].keyIndex).second) << table[slot].keyIndex;
    }
    // Every hardware code from 1 to 107 but the three power functions.
    EXPECT_EQ(codes.size(), 104u);
    EXPECT_EQ(*codes.begin(), 1);
    EXPECT_EQ(*codes.rbegin(), 107);
    EXPECT_EQ(codes.count(75) + codes.count(76) + codes.count(77), 0u);
    // Main block first, in code order, then the navigation block, then the keypad.
    EXPECT_EQ(table[6].keyIndex, 1);
    EXPECT_EQ(table[79].keyIndex, 74);
    EXPECT_EQ(table[80].keyIndex, 78);
    EXPECT_EQ(table[92].keyIndex, 90);
    EXPECT_EQ(table[93].keyIndex, 91);
}

TEST(VirtualLayout, KeysLieApartInsideThePicture) {
    const auto table = virtualKeyboardElements();
    EXPECT_EQ(findCode(table, 43)->rect, (SkinRect{97, 178, 130, 211}));
    EXPECT_EQ(findCode(table, 43)->en, "A");
    EXPECT_EQ(findCode(table, 42)->rect.top, 179);
    EXPECT_EQ(findCode(table, 106)->rect, (SkinRect{870, 141, 904, 211}));
    EXPECT_EQ(findCode(table, 107)->rect, (SkinRect{870, 215, 904, 285}));
    EXPECT_EQ(findCode(table, 107)->en, "KPEnter");
    EXPECT_EQ(findCode(table, 103)->rect.width(), 72);
    for (std::size_t a = 6; a < table.size(); ++a) {
        const SkinRect& r = table[a].rect;
        EXPECT_TRUE(r.left >= 0 && r.right <= kVirtualWidth && r.bottom <= kVirtualHeight);
        for (std::size_t b = a + 1; b < table.size(); ++b) {
            const SkinRect& o = table[b].rect;
            const bool apart =
                r.right <= o.left || o.right <= r.left || r.bottom <= o.top || o.bottom <= r.top;
            EXPECT_TRUE(apart) << table[a].en << " and " << table[b].en;
        }
    }
}

namespace {

// A dialog on the generated skin, in English unless told otherwise.
struct CVirtualFixture {
    explicit CVirtualFixture(int mode, int singleCode = 0, Language language = Language::English)
        : state(CDeviceEnvironment::withoutDevices()), app(state) {
        talvik::test::qtApp();
        QString error;
        loaded = app.loadSkin(1, error, talvik::test::builtSkinPath());
        state.buildNameTables();
        state.language = language;
        state.vkSingleCode = singleCode;
        dialog = std::make_unique<OrsaDialogVirtual>(app, state);
        dialog->m_mode = mode;
        initialised = loaded && dialog->initialise(QSize(1920, 1080));
    }

    // A new dialog on the same state, as the caller opens it again.
    bool reopen(QSize screen = QSize(1920, 1080)) {
        const int mode = dialog->m_mode;
        dialog = std::make_unique<OrsaDialogVirtual>(app, state);
        dialog->m_mode = mode;
        return initialised = dialog->initialise(screen);
    }
    QPoint centreOf(int code) {
        for (const SkinElement& e : dialog->elements()) {
            if (e.keyIndex == code && e.id >= 100) {
                return QPoint((e.rect.left + e.rect.right) / 2, (e.rect.top + e.rect.bottom) / 2);
            }
        }
        return {-1, -1};
    }
    bool isActive(int code) {
        for (const SkinElement& e : dialog->elements()) {
            if (e.keyIndex == code && e.id >= 100) {
                return e.active;
            }
        }
        return false;
    }
    void mouse(QEvent::Type type, QPoint at, bool post = false) {
        const bool moving = type == QEvent::MouseMove;
        const Qt::MouseButtons held =
            type == QEvent::MouseButtonRelease || moving ? Qt::NoButton : Qt::LeftButton;
        auto event = std::make_unique<QMouseEvent>(
            type, QPointF(at), dialog->mapToGlobal(QPointF(at)),
            moving ? Qt::NoButton : Qt::LeftButton, held, Qt::NoModifier);
        if (post) {
            QCoreApplication::postEvent(dialog.get(), event.release());
        } else {
            QCoreApplication::sendEvent(dialog.get(), event.get());
        }
    }
    // A click, and in single mode the wait for a double click that did not come.
    void click(QPoint at) {
        clickNow(at);
        if (dialog->m_mode == OrsaDialogVirtual::kSingle) {
            settle();
        }
    }
    void clickNow(QPoint at) {
        mouse(QEvent::MouseButtonPress, at);
        mouse(QEvent::MouseButtonRelease, at);
    }
    // Until no click waits to act: whatever the clicks so far do has been done.
    void settle() {
        EXPECT_TRUE(talvik::test::waitFor([this] { return !dialog->clickWaiting(); }));
    }
    void clickKey(int code) { click(centreOf(code)); }
    void key(int key) {
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
        QCoreApplication::sendEvent(dialog.get(), &event);
    }
    QString text() {
        dialog->renderCanvas(); // the box follows the choice when the window paints
        return dialog->infoBox().text();
    }
    std::vector<int> combo() const {
        return {state.vkComboCodes.begin(), state.vkComboCodes.begin() + state.vkComboCount};
    }

    CAppState state;
    talvik::shell::COrsaApp app;
    std::unique_ptr<OrsaDialogVirtual> dialog;
    bool loaded = false;
    bool initialised = false;
};

} // namespace

// The dialog copies rectangles between its three pictures: they must agree
// everywhere but inside the keys and buttons, at both resolutions.
TEST(VirtualPictures, ThreeLooksDifferOnlyInsideTheElements) {
    CVirtualFixture f(OrsaDialogVirtual::kSingle);
    ASSERT_TRUE(f.loaded);
    const auto table = virtualKeyboardElements();
    for (const int resolution : {1, 2}) {
        const auto load = [resolution](int id) {
            return talvik::skin::readSkinPicture(
                       QString::fromStdString(picturePath(id, resolution)))
                .convertToFormat(QImage::Format_RGB32);
        };
        const QImage normal = load(kVirtualPictures.normal);
        ASSERT_EQ(normal.size(), QSize(kVirtualWidth, kVirtualHeight) * resolution);
        EXPECT_EQ(normal.pixel(0, 0), qRgb(0, 0, 255)) << "outside the outline";
        for (const int other : {kVirtualPictures.hover, kVirtualPictures.active}) {
            const QImage changed = load(other);
            ASSERT_EQ(changed.size(), normal.size());
            for (int y = 0; y < kVirtualHeight; y += 2) {
                for (int x = 0; x < kVirtualWidth; x += 2) {
                    bool inside = false;
                    for (const ElementSpec& e : table) {
                        inside = inside || (!e.isLabel && e.rect.contains(x, y));
                    }
                    if (!inside) {
                        ASSERT_EQ(normal.pixel(x * resolution, y * resolution),
                                  changed.pixel(x * resolution, y * resolution))
                            << other << " at " << x << "," << y;
                    }
                }
            }
            const SkinRect a = findCode(table, 43)->rect;
            EXPECT_NE(normal.copy(a.left * resolution, a.top * resolution, a.width() * resolution,
                                  a.height() * resolution),
                      changed.copy(a.left * resolution, a.top * resolution, a.width() * resolution,
                                   a.height() * resolution));
        }
    }
}

TEST(VirtualKeyboard, SingleModeShowsTheCurrentKeyAndTogglesIt) {
    CVirtualFixture f(OrsaDialogVirtual::kSingle, 43);
    ASSERT_TRUE(f.initialised);
    EXPECT_TRUE(f.isActive(43));
    EXPECT_EQ(f.text(), QStringLiteral("Single:A"));
    f.clickKey(43);
    EXPECT_EQ(f.state.vkSingleCode, 0);
    EXPECT_FALSE(f.isActive(43));
    EXPECT_EQ(f.text(), QStringLiteral("Single:-- --"));
    f.clickKey(44);
    f.clickKey(45);
    EXPECT_EQ(f.state.vkSingleCode, 45);
    EXPECT_FALSE(f.isActive(44)) << "at most one key is chosen";
    EXPECT_TRUE(f.isActive(45));
    EXPECT_EQ(f.text(), QStringLiteral("Single:D"));
}

// To a screen reader a key is checked while it is chosen, and choosing one
// tells of both keys whose state changed.
TEST(VirtualKeyboard, AScreenReaderHearsWhichKeyIsChosen) {
    CVirtualFixture f(OrsaDialogVirtual::kSingle, 43);
    ASSERT_TRUE(f.initialised);
    OrsaDialogVirtual& dialog = *f.dialog;
    const auto indexOf = [&](int code) {
        for (std::size_t i = 0; i < dialog.elements().size(); ++i) {
            if (dialog.elements()[i].keyIndex == code && dialog.elements()[i].id >= 100) {
                return static_cast<int>(i);
            }
        }
        return -1;
    };
    EXPECT_TRUE(dialog.accessOf(indexOf(43)).checkable);
    EXPECT_TRUE(dialog.accessOf(indexOf(43)).checked);
    talvik::test::CAccessibleEvents events;
    f.clickKey(45);
    EXPECT_FALSE(dialog.accessOf(indexOf(43)).checked);
    EXPECT_TRUE(dialog.accessOf(indexOf(45)).checked);
    const std::vector<QString> changed = events.namesOf(QAccessible::StateChanged);
    EXPECT_EQ(changed, (std::vector<QString>{dialog.accessOf(indexOf(43)).name,
                                             dialog.accessOf(indexOf(45)).name}));
    EXPECT_EQ(dialog.accessOf(indexOf(45)).name, QStringLiteral("D"));
}

TEST(VirtualKeyboard, SingleModeWithoutACurrentKeyShowsNone) {
    for (const int none : {0, -1}) {
        CVirtualFixture f(OrsaDialogVirtual::kSingle, none);
        ASSERT_TRUE(f.initialised);
        for (const SkinElement& e : f.dialog->elements()) {
            EXPECT_FALSE(e.active) << e.id;
        }
        EXPECT_EQ(f.text(), QStringLiteral("Single:-- --"));
    }
}

TEST(VirtualKeyboard, ComboModeCollectsKeysInOrderAndTakesThemOut) {
    CVirtualFixture f(OrsaDialogVirtual::kCombo);
    ASSERT_TRUE(f.initialised);
    EXPECT_EQ(f.text(), QStringLiteral("Combo:-- --"));
    f.clickKey(43);
    f.clickKey(44);
    f.clickKey(45);
    EXPECT_EQ(f.combo(), std::vector<int>({43, 44, 45}));
    EXPECT_EQ(f.text(), QStringLiteral("Combo:A+S+D"));
    f.clickKey(44);
    EXPECT_EQ(f.combo(), std::vector<int>({43, 45}));
    EXPECT_EQ(f.state.vkComboCodes[2], 0) << "the freed place is cleared";
    EXPECT_FALSE(f.isActive(44));
    EXPECT_EQ(f.text(), QStringLiteral("Combo:A+D"));
}

TEST(VirtualKeyboard, ComboModeStartsEmptyAndRefusesASeventhKey) {
    CVirtualFixture f(OrsaDialogVirtual::kCombo);
    f.state.vkComboCodes = {1, 2, 3, 4, 5, 6};
    f.state.vkComboCount = 6;
    f.reopen();
    EXPECT_EQ(f.state.vkComboCount, 0);
    EXPECT_EQ(f.state.vkComboCodes[5], 0);
    for (const int code : {29, 30, 31, 32, 33, 34, 35}) {
        f.clickKey(code);
    }
    EXPECT_EQ(f.combo(), std::vector<int>({29, 30, 31, 32, 33, 34}));
    EXPECT_FALSE(f.isActive(35));
    f.clickKey(29);
    f.clickKey(35);
    EXPECT_EQ(f.combo(), std::vector<int>({30, 31, 32, 33, 34, 35}));
}

TEST(VirtualKeyboard, ChoiceTextsInChinese) {
    CVirtualFixture single(OrsaDialogVirtual::kSingle, 43, Language::Chinese);
    EXPECT_EQ(single.text(), QStringLiteral("单键：A"));
    CVirtualFixture combo(OrsaDialogVirtual::kCombo, 0, Language::Chinese);
    combo.clickKey(43);
    combo.clickKey(44);
    EXPECT_EQ(combo.text(), QStringLiteral("组合键：A+S"));
}

TEST(VirtualKeyboard, OtherModesShowNothingAndChangeNothing) {
    CVirtualFixture f(3, 43);
    f.state.vkComboCount = 2;
    f.clickKey(44);
    EXPECT_EQ(f.text(), QString());
    EXPECT_EQ(f.state.vkSingleCode, 43);
    EXPECT_EQ(f.state.vkComboCount, 2);
}

TEST(VirtualKeyboard, OkAndEnterAcceptCancelAndEscapeReject) {
    CVirtualFixture ok(OrsaDialogVirtual::kCombo);
    ok.clickKey(43);
    ok.click({600, 320});
    EXPECT_EQ(ok.dialog->result(), QDialog::Accepted);
    CVirtualFixture cancel(OrsaDialogVirtual::kCombo);
    cancel.clickKey(43);
    cancel.click({700, 320});
    EXPECT_EQ(cancel.dialog->result(), QDialog::Rejected);
    EXPECT_EQ(cancel.combo(), std::vector<int>({43})) << "the caller ignores them";
    CVirtualFixture enter(OrsaDialogVirtual::kSingle, 43);
    enter.dialog->setResult(-1);
    enter.key(Qt::Key_Return);
    EXPECT_EQ(enter.dialog->result(), QDialog::Accepted);
    CVirtualFixture escape(OrsaDialogVirtual::kSingle, 43);
    escape.dialog->setResult(-1);
    escape.key(Qt::Key_Escape);
    EXPECT_EQ(escape.dialog->result(), QDialog::Rejected);
}

// The second press of a double click arrives while the first click waits:
TEST(VirtualKeyboard, FromTheKeyboardArrowsReachNeighboursAndEnterChoosesAtOnce) {
    CVirtualFixture f(OrsaDialogVirtual::kSingle, 0);
    ASSERT_TRUE(f.initialised);
    f.dialog->setResult(-1);
    const auto focusedCode = [&] {
        const int index = f.dialog->focusedElement();
        return index < 0 ? -1 : f.dialog->elements()[static_cast<std::size_t>(index)].keyIndex;
    };
    for (std::size_t i = 0; i < f.dialog->elements().size(); ++i) {
        const SkinElement& e = f.dialog->elements()[i];
        if (e.keyIndex == 29 && e.id >= virtual_id::FirstKey) {
            f.dialog->focusElement(static_cast<int>(i), true); // Q
        }
    }
    f.key(Qt::Key_Right);
    EXPECT_EQ(focusedCode(), 30) << "W";
    f.key(Qt::Key_Down);
    EXPECT_EQ(focusedCode(), 44) << "S, below W's middle";
    f.key(Qt::Key_Return);
    EXPECT_EQ(f.state.vkSingleCode, 44) << "chosen, with no wait for a double click";
    EXPECT_FALSE(f.dialog->clickWaiting());
    EXPECT_EQ(f.dialog->result(), -1) << "Enter on a key chooses it and stays";
    f.key(Qt::Key_Tab);
    const int okIndex = f.dialog->focusedElement();
    ASSERT_GE(okIndex, 0);
    EXPECT_EQ(f.dialog->elements()[static_cast<std::size_t>(okIndex)].id, virtual_id::Ok);
    f.key(Qt::Key_Space);
    EXPECT_EQ(f.dialog->result(), QDialog::Accepted);
    EXPECT_EQ(f.state.vkSingleCode, 44);
}

// the click is dropped and the double click chooses the key.
TEST(VirtualKeyboard, DoubleClickInSingleModeChoosesTheKeyAndCloses) {
    CVirtualFixture f(OrsaDialogVirtual::kSingle, 43);
    f.dialog->setResult(-1);
    const QPoint s = f.centreOf(44);
    f.clickNow(s);
    f.mouse(QEvent::MouseButtonPress, s);
    f.mouse(QEvent::MouseButtonDblClick, s);
    f.mouse(QEvent::MouseButtonRelease, s);
    EXPECT_EQ(f.dialog->result(), QDialog::Accepted);
    EXPECT_EQ(f.state.vkSingleCode, 44);
    EXPECT_FALSE(f.isActive(44)) << "the first click was dropped";
    f.settle();
    EXPECT_EQ(f.state.vkSingleCode, 44);
}

TEST(VirtualKeyboard, SlowDoubleClickInSingleModeChoosesTheKeyAndIgnoresLateRelease) {
    CVirtualFixture f(OrsaDialogVirtual::kSingle, 0);
    f.dialog->setResult(-1);
    const QPoint s = f.centreOf(44);
    f.click(s); // chosen by the click already
    EXPECT_TRUE(f.isActive(44));
    f.mouse(QEvent::MouseButtonPress, s);
    f.mouse(QEvent::MouseButtonDblClick, s);
    EXPECT_EQ(f.dialog->result(), -1) << "waiting for the button to come up";
    f.settle();
    EXPECT_EQ(f.dialog->result(), QDialog::Accepted);
    f.mouse(QEvent::MouseButtonRelease, s);
    f.settle();
    EXPECT_EQ(f.state.vkSingleCode, 44);
}

TEST(VirtualKeyboard, QuickClicksOnTwoKeysActInTheirOrder) {
    CVirtualFixture f(OrsaDialogVirtual::kSingle, 0);
    f.clickNow(f.centreOf(43));
    f.clickNow(f.centreOf(44));
    f.settle();
    EXPECT_EQ(f.state.vkSingleCode, 44);
    EXPECT_FALSE(f.isActive(43));
    EXPECT_TRUE(f.isActive(44));
}

TEST(VirtualKeyboard, DoubleClickInComboModeCountsAsTwoClicks) {
    CVirtualFixture f(OrsaDialogVirtual::kCombo);
    f.dialog->setResult(-1);
    const QPoint a = f.centreOf(43);
    f.click(a);
    f.mouse(QEvent::MouseButtonPress, a);
    f.mouse(QEvent::MouseButtonDblClick, a);
    f.mouse(QEvent::MouseButtonRelease, a);
    EXPECT_EQ(f.state.vkComboCount, 0);
    EXPECT_EQ(f.dialog->result(), -1);
}

TEST(VirtualKeyboard, ScaleDoublesTheWindowKeysAndChoiceBoxButNotTheLabels) {
    CVirtualFixture f(OrsaDialogVirtual::kSingle, 43);
    f.state.uiScale = 2.0f;
    ASSERT_TRUE(f.reopen(QSize(3840, 2160)));
    EXPECT_EQ(f.dialog->size(), QSize(2 * kVirtualWidth, 2 * kVirtualHeight));
    EXPECT_EQ(f.dialog->pos(),
              QPoint((3840 - 2 * kVirtualWidth) / 2, (2160 - 2 * kVirtualHeight) / 2));
    EXPECT_EQ(f.dialog->infoBox().geometry(), QRect(40, 610, 1000, 64));
    EXPECT_EQ(f.dialog->infoBox().font().pixelSize(), 30);
    EXPECT_EQ(f.dialog->elements()[6 + 42].rect, (SkinRect{194, 356, 260, 422})) << "key A";
    EXPECT_EQ(f.dialog->elements()[3].rect, (SkinRect{400, 17, 540, 37})) << "title label";
    f.click(f.centreOf(44));
    EXPECT_EQ(f.state.vkSingleCode, 44);
}

TEST(VirtualKeyboard, OpensCentredOverItsOwner) {
    CVirtualFixture f(OrsaDialogVirtual::kSingle);
    QWidget owner;
    owner.setGeometry(100, 50, 1240, 670);
    OrsaDialogVirtual dialog(f.app, f.state, &owner);
    dialog.m_mode = OrsaDialogVirtual::kSingle;
    ASSERT_TRUE(dialog.initialise(QSize(1920, 1080)));
    const QPoint offset = dialog.geometry().center() - owner.geometry().center();
    EXPECT_LE(offset.manhattanLength(), 2);
}

TEST(VirtualKeyboard, RefusesToRunWithoutItsPictures) {
    talvik::test::qtApp();
    struct CEmptySkin : talvik::shell::CSkinSource {
        const QImage& picture(int) override { return none; }
        const talvik::shell::CFontTable& fonts() const override { return table; }
        QImage none;
        talvik::shell::CFontTable table;
    } skin;
    CAppState state(CDeviceEnvironment::withoutDevices());
    OrsaDialogVirtual dialog(skin, state);
    dialog.m_mode = OrsaDialogVirtual::kSingle;
    EXPECT_FALSE(dialog.initialise(QSize(1920, 1080)));
}

namespace {

// What the screen shows of the dialog: its outline cut by the colour key
// over a plain desktop.
QImage onDesktop(OrsaDialogVirtual& dialog) {
    QImage shot(dialog.size(), QImage::Format_RGB32);
    shot.fill(QColor(58, 64, 74));
    QPainter p(&shot);
    p.setClipRegion(dialog.mask());
    p.drawPixmap(0, 0, dialog.grab());
    return shot;
}

} // namespace

// Not a check: the dialog for people to look at.
TEST(VirtualKeyboard, SavesScreenshotsWhenAsked) {
    const QString dir = qEnvironmentVariable("TALVIK_SCREENSHOT_DIR");
    if (dir.isEmpty()) {
        GTEST_SKIP() << "TALVIK_SCREENSHOT_DIR not set";
    }
    QDir().mkpath(dir);
    CVirtualFixture single(OrsaDialogVirtual::kSingle, 43, Language::English);
    single.mouse(QEvent::MouseMove, single.centreOf(22));
    single.text();
    ASSERT_TRUE(onDesktop(*single.dialog).save(dir + QStringLiteral("/virtual-keyboard-en.png")));
    CVirtualFixture combo(OrsaDialogVirtual::kCombo, 0, Language::Chinese);
    for (const int code : {67, 55, 43}) {
        combo.clickKey(code);
    }
    combo.text();
    ASSERT_TRUE(onDesktop(*combo.dialog).save(dir + QStringLiteral("/virtual-keyboard-zh.png")));
}
