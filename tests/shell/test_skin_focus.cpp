// Keyboard operation of the skinned-window base: the order Tab visits the
// elements and child widgets in, the arrow keys, Enter and Space, and the
// focus ring's pixels at both resolutions.

#include "QtTestApp.h"

#include "talvik/shell/CFontTable.h"
#include "talvik/shell/CSkinWindow.h"
#include "talvik/shell/FocusOrder.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QTest>
#include <gtest/gtest.h>

using namespace talvik::shell;
using talvik::text::Language;

namespace {

const QRgb kNormal = qRgb(50, 50, 50);
const QRgb kHover = qRgb(0, 200, 0);
const QRgb kActive = qRgb(200, 0, 0);
const QRgb kAccent = qRgb(255, 111, 0);
const QRgb kHalo = qRgb(236, 236, 240);

// A picture of 200 x 100 design pixels drawn at `resolution`.
QImage picture(QRgb fill, int resolution) {
    QImage image(200 * resolution, 100 * resolution, QImage::Format_RGB32);
    image.fill(fill);
    QPainter(&image).fillRect(0, 0, 10 * resolution, 10 * resolution, QColor(0, 0, 255));
    image.setDevicePixelRatio(resolution);
    return image;
}

SkinElement element(int id, SkinRect rect) {
    SkinElement e;
    e.id = id;
    e.rect = rect;
    e.caption(Language::English) = QString();
    return e;
}

// Two rows of buttons, a label between them, an element of the second page,
// and a 2 x 2 block of keys that Tab enters once.
class CFocusWindow : public CSkinWindow {
public:
    explicit CFocusWindow(int resolution = 1, float scale = 1.0f)
        : m_normal(picture(kNormal, resolution)), m_hover(picture(kHover, resolution)),
          m_active(picture(kActive, resolution)) {
        elements() = {
            element(10, {120, 10, 150, 30}), // 0: first row, right
            element(11, {20, 12, 50, 32}),   // 1: first row, left, a little lower
            element(12, {20, 50, 50, 70}),   // 2: second row
            element(5, {60, 50, 80, 70}),    // 3: a label
            element(14, {90, 52, 110, 72}),  // 4: second row, on page 2 only
            element(15, {60, 80, 90, 95}),   // 5: third row
            element(-1, {0, 0, 0, 0}),       // 6: an empty slot
            element(20, {160, 40, 175, 55}), // 7..10: the keys
            element(21, {175, 40, 190, 55}), element(22, {160, 55, 175, 70}),
            element(23, {175, 55, 190, 70}),
        };
        elements()[3].isLabel = true;
        setPictures(&m_normal, &m_hover, &m_active);
        setFonts(&m_fonts);
        applyScale(scale, QSize(1920 * 2, 1080 * 2));
        applyShape(QColor(0, 0, 255));
    }

    int page = 1;
    bool keysGrouped = true;
    std::vector<int> clicks;

    using CSkinWindow::focusChain;
    using CSkinWindow::SFocusStop;

    // The chain as element indices; a widget stands as -1.
    std::vector<int> chainIndices() const {
        std::vector<int> indices;
        for (const SFocusStop& s : focusChain()) {
            indices.push_back(s.element);
        }
        return indices;
    }

protected:
    Language language() const override { return Language::English; }
    bool isShown(const SkinElement& e) const override { return e.id != 14 || page == 2; }
    int focusGroup(const SkinElement& e) const override {
        return keysGrouped && e.id >= 20 ? 1 : 0;
    }
    void onElementClicked(int index) override { clicks.push_back(index); }

private:
    QImage m_normal;
    QImage m_hover;
    QImage m_active;
    CFontTable m_fonts;
};

void key(QWidget& to, int k, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
         bool autoRepeat = false) {
    QKeyEvent press(QEvent::KeyPress, k, modifiers, QString(), autoRepeat);
    QCoreApplication::sendEvent(&to, &press);
}

void releaseLeft(QWidget& w, QPoint at) {
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(at), QPointF(w.mapToGlobal(at)),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&w, &release);
}

// Where Tab leads from the window as it stands, `count` times.
std::vector<int> tabs(CFocusWindow& w, int count, bool back = false) {
    std::vector<int> visited;
    for (int i = 0; i < count; ++i) {
        key(w, back ? Qt::Key_Backtab : Qt::Key_Tab, back ? Qt::ShiftModifier : Qt::NoModifier);
        visited.push_back(w.focusedElement());
    }
    return visited;
}

class SkinFocus : public ::testing::Test {
protected:
    void SetUp() override { talvik::test::qtApp(); }
};

} // namespace

TEST_F(SkinFocus, ReadingOrderGroupsRowsByCentreAndKeepsCoincidingPlacesInOrder) {
    const std::vector<QRect> places{
        QRect(100, 0, 20, 20), // 0
        QRect(0, 9, 20, 20),   // 1: centre 9 lower, still the first row (within 10)
        QRect(50, 11, 20, 20), // 2: 11 lower: the next row
        QRect(0, 40, 20, 4),   // 3: a short one
        QRect(30, 43, 20, 20), // 4: centre 11 below the short one's: its own row
        QRect(0, 40, 20, 4),   // 5: the same place as 3
    };
    EXPECT_EQ(readingOrder(places), (std::vector<std::size_t>{1, 0, 2, 3, 5, 4}));
}

TEST_F(SkinFocus, ArrowsPreferTheNearestRowAheadThenTheLineTheMovesKeepTo) {
    // Three staggered rows of keys 10 wide, as on a keyboard.
    std::vector<QRect> keys;
    for (int i = 0; i < 4; ++i) {
        keys.push_back(QRect(i * 10, 0, 10, 10)); // 0..3
    }
    for (int i = 0; i < 4; ++i) {
        keys.push_back(QRect(5 + i * 10, 10, 10, 10)); // 4..7, half a key right
    }
    keys.push_back(QRect(0, 20, 40, 10));  // 8: a long bar below
    keys.push_back(QRect(60, 30, 10, 10)); // 9: far to the right, lower
    const auto to = [&](std::size_t from, EFocusDirection d, std::optional<double> line = {}) {
        return nearestToward(keys, from, d, line);
    };
    EXPECT_EQ(to(0, EFocusDirection::Right), 1u);
    EXPECT_EQ(to(3, EFocusDirection::Right), 9u) << "nothing level with it: 45 degrees down";
    EXPECT_EQ(to(9, EFocusDirection::Right), std::nullopt);
    EXPECT_EQ(to(5, EFocusDirection::Up), 1u) << "equally near 1 and 2: the left one";
    EXPECT_EQ(to(5, EFocusDirection::Up, 20.0), 1u);
    EXPECT_EQ(to(5, EFocusDirection::Up, 21.0), 2u) << "the line decides";
    EXPECT_EQ(to(1, EFocusDirection::Down, 15.0), 4u);
    EXPECT_EQ(to(4, EFocusDirection::Down), 8u) << "the bar below shares its width";
    EXPECT_EQ(to(8, EFocusDirection::Up), 5u) << "the nearest row ahead, nearest the centre";
    EXPECT_EQ(to(8, EFocusDirection::Down), 9u) << "nothing beneath: the nearest anywhere below";
    EXPECT_EQ(to(0, EFocusDirection::Left), std::nullopt);
}

TEST_F(SkinFocus, TabVisitsShownClickableElementsInReadingOrderAndWraps) {
    CFocusWindow w;
    EXPECT_EQ(w.focusedElement(), -1);
    EXPECT_EQ(tabs(w, 6), (std::vector<int>{1, 0, 7, 2, 5, 1}))
        << "rows by centre, the keys once, no label, no page 2, no empty slot";
    EXPECT_EQ(tabs(w, 3, true), (std::vector<int>{5, 2, 7})) << "and back";
    w.page = 2;
    EXPECT_EQ(w.chainIndices(), (std::vector<int>{1, 0, 7, 2, 4, 5}));
    w.keysGrouped = false;
    EXPECT_EQ(w.chainIndices(), (std::vector<int>{1, 0, 7, 8, 2, 4, 9, 10, 5}))
        << "ungrouped, every key is a stop of its own";
}

TEST_F(SkinFocus, TheKeysAreOneStopThatArrowsMoveWithinAndTabComesBackTo) {
    CFocusWindow w;
    w.focusElement(0, true);
    key(w, Qt::Key_Tab);
    ASSERT_EQ(w.focusedElement(), 7);
    key(w, Qt::Key_Right);
    EXPECT_EQ(w.focusedElement(), 8);
    key(w, Qt::Key_Down);
    EXPECT_EQ(w.focusedElement(), 10);
    key(w, Qt::Key_Down);
    EXPECT_EQ(w.focusedElement(), 10) << "nothing below; the arrows keep to the keys";
    key(w, Qt::Key_Tab);
    EXPECT_EQ(w.focusedElement(), 2);
    key(w, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(w.focusedElement(), 10) << "the key focused last";
    w.focusElement(1, true);
    key(w, Qt::Key_Down);
    EXPECT_EQ(w.focusedElement(), 2) << "among the buttons, the arrows move among them";
    key(w, Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(w.focusedElement(), 2) << "a modified arrow is not for the focus";
}

TEST_F(SkinFocus, EnterAndSpaceClickTheFocusedElementOnceAndOnlyWithTheRing) {
    CFocusWindow w;
    key(w, Qt::Key_Return);
    key(w, Qt::Key_Space);
    EXPECT_TRUE(w.clicks.empty()) << "nothing focused";
    key(w, Qt::Key_Tab);
    key(w, Qt::Key_Return);
    EXPECT_EQ(w.clicks, std::vector<int>{1});
    key(w, Qt::Key_Space);
    key(w, Qt::Key_Space, Qt::NoModifier, true);
    key(w, Qt::Key_Space, Qt::NoModifier, true);
    key(w, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(w.clicks, (std::vector<int>{1, 1, 1})) << "a held key acts once";
    key(w, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(w.clicks.size(), 3u);
    const SkinRect r = w.elements()[2].rect;
    releaseLeft(w, QPoint(r.left + 5, r.top + 5));
    EXPECT_EQ(w.clicks, (std::vector<int>{1, 1, 1, 2}));
    EXPECT_EQ(w.focusedElement(), 2) << "the click moved the focus";
    EXPECT_FALSE(w.focusRingShown()) << "and hid the ring";
    key(w, Qt::Key_Return);
    EXPECT_EQ(w.clicks.size(), 4u) << "no ring: Enter is the window's own again";
    key(w, Qt::Key_Tab);
    EXPECT_EQ(w.focusedElement(), 5) << "Tab goes on from the element clicked";
}

TEST_F(SkinFocus, TheRingIsTheAccentWithALightEdgeOutsideTheElementNotItsPointerOverLook) {
    CFocusWindow w;
    const QImage before = w.renderCanvas();
    key(w, Qt::Key_Tab); // element 1: 20..50 x 12..32
    ASSERT_TRUE(w.focusRingShown());
    const QImage ringed = w.renderCanvas();
    for (const QPoint at :
         {QPoint(16, 22), QPoint(17, 22), QPoint(53, 22), QPoint(35, 8), QPoint(35, 35)}) {
        EXPECT_EQ(ringed.pixel(at), kAccent) << at.x() << "," << at.y();
    }
    for (const QPoint at : {QPoint(15, 22), QPoint(54, 22), QPoint(35, 7), QPoint(35, 36)}) {
        EXPECT_EQ(ringed.pixel(at), kHalo) << "the light line outside " << at.x() << "," << at.y();
    }
    for (const QPoint at :
         {QPoint(14, 22), QPoint(18, 22), QPoint(19, 22), QPoint(35, 22), QPoint(55, 22)}) {
        EXPECT_EQ(ringed.pixel(at), kNormal) << at.x() << "," << at.y();
    }
    EXPECT_NE(ringed.pixel(16, 8), kAccent) << "the corners are rounded";
    const SkinRect r = w.elements()[1].rect;
    releaseLeft(w, QPoint(r.left + 5, r.top + 5));
    EXPECT_EQ(w.renderCanvas(), before) << "a click takes the ring away, every pixel of it";
}

TEST_F(SkinFocus, AtResolutionTwoTheRingIsDrawnInCanvasPixelsTwiceAsWide) {
    CFocusWindow w(2, 2.0f);
    ASSERT_EQ(w.renderCanvas().devicePixelRatio(), 2.0);
    key(w, Qt::Key_Tab);
    const QImage canvas = w.renderCanvas();
    // The left side of the ring: design x 16 and 17, canvas x 32 to 35.
    const int y = 22 * 2;
    EXPECT_EQ(canvas.pixel(29, y), kNormal);
    EXPECT_EQ(canvas.pixel(30, y), kHalo);
    EXPECT_EQ(canvas.pixel(31, y), kHalo);
    for (int x = 32; x < 36; ++x) {
        EXPECT_EQ(canvas.pixel(x, y), kAccent) << x;
    }
    EXPECT_EQ(canvas.pixel(36, y), kNormal) << "sharp: no blended column beside it";
}

TEST_F(SkinFocus, ChildWidgetsTakeTheirPlaceInTheChainAndTabLeadsBackOut) {
    CFocusWindow w;
    QLineEdit edit(&w);
    edit.setGeometry(60, 10, 50, 22); // first row, between elements 1 and 0
    QLineEdit hidden(&w);
    hidden.setGeometry(60, 30, 10, 10);
    hidden.hide();
    QLineEdit disabled(&w);
    disabled.setGeometry(60, 30, 10, 10);
    disabled.setEnabled(false);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    EXPECT_EQ(w.chainIndices(), (std::vector<int>{1, -1, 0, 7, 2, 5}));
    QWidget cover(&w);
    cover.setGeometry(18, 48, 40, 30); // over element 2, as a text box over rows
    cover.show();
    EXPECT_EQ(w.chainIndices(), (std::vector<int>{1, -1, 0, 7, 5})) << "no click reaches it";
    cover.hide();

    w.focusElement(1, true);
    key(w, Qt::Key_Tab);
    EXPECT_EQ(w.focusWidget(), &edit);
    EXPECT_FALSE(w.focusRingShown()) << "the edit shows its own focus";
    QTest::keyClick(&edit, Qt::Key_Right);
    key(w, Qt::Key_Return);
    EXPECT_TRUE(w.clicks.empty()) << "while the edit has the focus, Enter clicks nothing";
    QTest::keyClick(&edit, Qt::Key_Tab);
    EXPECT_EQ(w.focusWidget(), &w);
    EXPECT_EQ(w.focusedElement(), 0);
    EXPECT_TRUE(w.focusRingShown());
    QTest::keyClick(&w, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(w.focusWidget(), &edit);
    edit.hide();
    EXPECT_EQ(w.focusWidget(), &w) << "the window takes the focus back from a hidden edit";
    EXPECT_FALSE(w.focusRingShown()) << "with no element to ring";
}

TEST_F(SkinFocus, AnEditTheProgramFocusesGivesTheFocusBackToTheElementItCameFrom) {
    CFocusWindow w;
    QLineEdit edit(&w);
    edit.setGeometry(20, 12, 30, 20); // over element 1, as an in-place editor stands
    edit.hide();
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    w.focusElement(1, true);
    edit.show();
    edit.setFocus();
    EXPECT_FALSE(w.focusRingShown());
    edit.hide();
    EXPECT_EQ(w.focusedElement(), 1);
    EXPECT_TRUE(w.focusRingShown());
}
