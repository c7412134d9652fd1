// The skinned-window base: scale, shape, painting from the three pictures,
// pointer-over tracking, dragging, click dispatch and posted messages.

#include "QtTestApp.h"

#include "talvik/shell/CFontTable.h"
#include "talvik/shell/CInfoBox.h"
#include "talvik/shell/CSkinWindow.h"
#include "talvik/shell/LazyStyleSheet.h"
#include "talvik/shell/UiScale.h"
#include "talvik/shell/WindowShape.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QThread>
#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>

using namespace talvik::shell;
using talvik::text::Language;

namespace {

const QRgb kNormal = qRgb(50, 50, 50);
const QRgb kHover = qRgb(0, 200, 0);
const QRgb kActive = qRgb(200, 0, 0);

QImage picture(QRgb fill) {
    QImage image(200, 100, QImage::Format_RGB32);
    image.fill(fill);
    QPainter(&image).fillRect(0, 0, 10, 10, QColor(0, 0, 255)); // outside the outline
    return image;
}

class CTestWindow : public CSkinWindow {
public:
    explicit CTestWindow(float scale = 1.0f, QSize screen = QSize(1920, 1080)) {
        elements().resize(4);
        elements()[0].id = 10;
        elements()[0].rect = {20, 20, 60, 50};
        elements()[1].id = 11;
        elements()[1].rect = {100, 20, 140, 50};
        elements()[2].id = 5;
        elements()[2].isLabel = true;
        elements()[2].rect = {20, 60, 80, 90};
        elements()[2].caption(Language::Chinese) = QStringLiteral("中文");
        elements()[2].textColor = QColor(255, 255, 255);
        elements()[2].fontIndex = 20;
        setPictures(&m_normal, &m_hover, &m_active);
        setFonts(&m_fonts);
        applyScale(scale, screen);
        applyShape(QColor(0, 0, 255));
    }

    using CSkinWindow::windowRect;

    using CSkinWindow::skipUnexposedElements;

    // Another normal picture of the same size, and the shape it gives.
    void useNormal(const QImage& normal) {
        m_normal = normal;
        setPictures(&m_normal, &m_hover, &m_active);
        applyShape(QColor(0, 0, 255));
    }

    Language shownLanguage = Language::Chinese;
    std::vector<int> clicks;
    std::vector<WPARAM> messages;
    bool allOnGuiThread = true;
    QRegion painted;

protected:
    Language language() const override { return shownLanguage; }
    void onElementClicked(int index) override { clicks.push_back(index); }
    void onWindowMessage(UINT, WPARAM wParam, LPARAM) override {
        messages.push_back(wParam);
        allOnGuiThread = allOnGuiThread && QThread::currentThread() == qApp->thread();
    }
    void paintEvent(QPaintEvent* event) override {
        painted += event->region();
        CSkinWindow::paintEvent(event);
    }

private:
    QImage m_normal = picture(kNormal);
    QImage m_hover = picture(kHover);
    QImage m_active = picture(kActive);
    CFontTable m_fonts;
};

void sendMouse(QWidget& w, QEvent::Type type, QPoint at, Qt::MouseButton button = Qt::NoButton) {
    const Qt::MouseButtons buttons = type == QEvent::MouseButtonPress || type == QEvent::MouseMove
                                         ? Qt::MouseButtons(button)
                                         : Qt::NoButton;
    QMouseEvent event(type, QPointF(at), QPointF(w.mapToGlobal(at)), button, buttons,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(&w, &event);
}

void settle() {
    for (int i = 0; i < 5; ++i) {
        QCoreApplication::processEvents();
    }
}

class SkinWindow : public ::testing::Test {
protected:
    void SetUp() override { talvik::test::qtApp(); }
};

} // namespace

TEST_F(SkinWindow, ScaleIsScreenHeightOver1080AtLeastOneAndTruncates) {
    EXPECT_FLOAT_EQ(uiScale(1080), 1.0f);
    EXPECT_FLOAT_EQ(uiScale(720), 1.0f);
    EXPECT_FLOAT_EQ(uiScale(2160), 2.0f);
    EXPECT_NEAR(uiScale(1440), 1.3333f, 1e-4);
    EXPECT_EQ(scaledBy(13, 1.5f), 19);
    EXPECT_EQ(scaledBy(-3, 1.5f), -4) << "toward zero, not down";
    EXPECT_EQ(unscaledBy(41, 2.0f), 20);
    CFontTable fonts;
    EXPECT_EQ(fonts[13].pixelSize(), 13);
    EXPECT_EQ(fonts.scaled(13, 1.5f).pixelSize(), 19);
    EXPECT_EQ(fonts.scaled(40, 2.0f).pixelSize(), 49) << "clamped to the table";
}

TEST_F(SkinWindow, DoubleScaleDoublesWindowAndNonLabelRectanglesOnly) {
    CTestWindow w(2.0f, QSize(3840, 2160));
    EXPECT_EQ(w.size(), QSize(400, 200));
    EXPECT_EQ(w.pos(), QPoint((3840 - 400) / 2, (2160 - 200) / 2));
    EXPECT_EQ(w.elements()[0].rect, (SkinRect{40, 40, 120, 100}));
    EXPECT_EQ(w.elements()[2].rect, (SkinRect{20, 60, 80, 90}));
    EXPECT_EQ(w.elements()[3].rect, (SkinRect{-2, -2, -2, -2})) << "empty slots scale too";
}

TEST_F(SkinWindow, ColourKeyPixelsAreOutsideTheWindowShape) {
    CTestWindow one;
    EXPECT_FALSE(one.mask().contains(QPoint(5, 5)));
    EXPECT_TRUE(one.mask().contains(QPoint(10, 10)));
    EXPECT_TRUE(one.mask().contains(QPoint(199, 99)));
    CTestWindow two(2.0f, QSize(3840, 2160));
    EXPECT_FALSE(two.mask().contains(QPoint(19, 19)));
    EXPECT_TRUE(two.mask().contains(QPoint(20, 20)));
}

TEST_F(SkinWindow, TheSizeIsFixedSoTilingWindowManagersFloatTheWindow) {
    CTestWindow one;
    EXPECT_EQ(one.minimumSize(), QSize(200, 100));
    EXPECT_EQ(one.maximumSize(), QSize(200, 100));
    CTestWindow two(2.0f, QSize(3840, 2160));
    EXPECT_EQ(two.minimumSize(), QSize(400, 200));
    EXPECT_EQ(two.maximumSize(), QSize(400, 200));
    EXPECT_FALSE(one.isTranslucent()) << "the offscreen platform composites nothing";
}

// A body with a stepped corner, as the skin draws rounded corners without
// antialiasing: straight edges stay sharp, the steps are blended, and what
// lies outside is fully transparent, also for the input region.
TEST_F(SkinWindow, OutsideTheOutlineIsTransparentAndItsStepsAreSoftened) {
    const QRgb key = qRgb(0, 0, 255);
    const QRgb body = qRgb(30, 31, 34);
    QImage picture(40, 20, QImage::Format_RGB32);
    picture.fill(key);
    QPainter p(&picture);
    p.fillRect(QRect(4, 4, 32, 12), QColor(body)); // straight edges
    p.fillRect(QRect(8, 2, 24, 2), QColor(body));  // a step on top: notches at (7,3) and (32,3)
    p.end();
    const QImage clear = transparentOutside(picture, key);
    ASSERT_EQ(clear.format(), QImage::Format_ARGB32_Premultiplied);
    EXPECT_EQ(clear.pixel(0, 0), 0u) << "far outside";
    EXPECT_EQ(clear.pixel(20, 17), 0u) << "just below a straight edge";
    EXPECT_EQ(clear.pixel(20, 15), body | 0xFF000000) << "a straight edge stays opaque";
    EXPECT_EQ(clear.pixel(20, 10), body | 0xFF000000);
    EXPECT_EQ(qAlpha(clear.pixel(8, 2)), 153) << "a corner that sticks out is blended";
    EXPECT_EQ(qAlpha(clear.pixel(7, 3)), 102) << "the notch of a step takes part of its colour";
    const QRgb notch = qUnpremultiply(clear.pixel(7, 3)); // to the rounding of its alpha
    EXPECT_LE(std::abs(qRed(notch) - qRed(body)) + std::abs(qBlue(notch) - qBlue(body)), 4);
    for (int x = 0; x < 40; ++x) {
        EXPECT_NE(qUnpremultiply(clear.pixel(x, 1)) & 0xFFFFFF, key & 0xFFFFFF) << x;
    }
    EXPECT_EQ(transparentOutside(picture, key).cacheKey(), clear.cacheKey()) << "kept";

    const QRegion region = coveredRegion(clear, QSize(40, 20), 0);
    EXPECT_FALSE(region.contains(QPoint(0, 0)));
    EXPECT_FALSE(region.contains(QPoint(20, 17)));
    EXPECT_TRUE(region.contains(QPoint(7, 3))) << "a blended pixel is part of the window";
    EXPECT_TRUE(region.contains(QPoint(20, 10)));
    EXPECT_EQ(coveredRegion(picture, QSize(40, 20), key), region - QRegion(7, 3, 1, 1) -
                                                             QRegion(32, 3, 1, 1))
        << "the mask of the key colour leaves out only the blended notches";
}

TEST_F(SkinWindow, EveryPictureGivesItsOwnShapeThoughShapesAreKept) {
    CTestWindow first;
    CTestWindow again;
    EXPECT_EQ(again.mask(), first.mask());
    QImage notched = picture(kNormal);
    QPainter(&notched).fillRect(QRect(10, 10, 20, 20), QColor(0, 0, 255));
    again.useNormal(notched);
    EXPECT_FALSE(again.mask().contains(QPoint(20, 20)))
        << "a picture of the same size, other shape";
    EXPECT_TRUE(first.mask().contains(QPoint(20, 20)));
    again.useNormal(picture(kNormal));
    EXPECT_EQ(again.mask(), first.mask());
}

TEST_F(SkinWindow, StretchedOutlineIsNotTintedByTheColourKey) {
    CTestWindow w(2.0f, QSize(3840, 2160));
    const QImage shown = w.grab().toImage();
    for (int y : {4, 12, 19}) {
        const QColor edge = shown.pixelColor(20, y); // first pixel inside the outline
        EXPECT_LT(std::abs(edge.blue() - 50), 8) << "row " << y;
    }
}

TEST_F(SkinWindow, MissingCaptionIsInsertedEmpty_MissingTipIsNot) {
    SkinElement e;
    EXPECT_EQ(e.id, -1);
    EXPECT_EQ(e.captions.at("en"), QStringLiteral("Unused"));
    EXPECT_EQ(e.fontIndex, 13);
    EXPECT_EQ(e.textFormat, 1u);
    EXPECT_TRUE(e.caption(Language::Chinese).isEmpty());
    EXPECT_EQ(e.captions.count("zh-CN"), 1u);
    EXPECT_TRUE(e.tip(Language::English).isEmpty());
    EXPECT_EQ(e.tips.count("en-US"), 0u) << "reading a tip leaves the table as it was";
    e.caption(Language::English) = QStringLiteral("Esc");
    EXPECT_EQ(e.captions.at("en-US"), QStringLiteral("Esc")) << "captions are keyed by tag";
}

TEST_F(SkinWindow, ElementsDrawFromHoverOnlyWhenNotActive) {
    CTestWindow w;
    sendMouse(w, QEvent::MouseMove, QPoint(30, 30));
    EXPECT_TRUE(w.elements()[0].hovered);
    QImage canvas = w.renderCanvas();
    EXPECT_EQ(canvas.pixel(30, 30), kHover);
    EXPECT_EQ(canvas.pixel(110, 30), kNormal);
    w.elements()[0].active = true;
    w.elements()[1].active = true;
    canvas = w.renderCanvas();
    EXPECT_EQ(canvas.pixel(30, 30), kActive) << "pointer over an active element";
    EXPECT_EQ(canvas.pixel(110, 30), kActive);
    EXPECT_EQ(canvas.pixel(90, 30), kNormal) << "between elements stays normal";
}

TEST_F(SkinWindow, APartialPaintThatSkipsUnexposedElementsStillRenewsWhatItExposes) {
    CTestWindow w;
    w.skipUnexposedElements();
    w.elements()[0].active = true;
    w.elements()[1].active = true;
    const QImage whole = w.renderCanvas().convertToFormat(QImage::Format_RGB32);
    // Half of element 1 and the gap beside it; element 0 lies outside.
    const QRect part(85, 10, 35, 50);
    const QImage painted = w.grab(part).toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(painted, whole.copy(part));
    EXPECT_EQ(painted.pixel(30, 20), kActive) << "element 1, partly exposed, is drawn";
}

TEST_F(SkinWindow, AStyleSheetSetForLaterWaitsUntilItsWidgetIsFirstShown) {
    QWidget window;
    QLabel label(QStringLiteral("x"), &window);
    label.hide();
    const QString sheet = QStringLiteral("QLabel { color: rgb(255, 111, 0); }");
    talvik::shell::setStyleSheetWhenShown(label, sheet);
    window.show();
    EXPECT_TRUE(label.styleSheet().isEmpty()) << "a hidden widget is not styled yet";
    label.show();
    EXPECT_EQ(label.styleSheet(), sheet);
    const QImage shown = label.grab().toImage();
    bool orange = false;
    for (int y = 0; y < shown.height() && !orange; ++y) {
        for (int x = 0; x < shown.width() && !orange; ++x) {
            orange = shown.pixelColor(x, y).red() > 200 && shown.pixelColor(x, y).blue() < 60;
        }
    }
    EXPECT_TRUE(orange) << "its first paint has the look";
    label.hide();
    label.setStyleSheet(QString());
    label.show();
    EXPECT_TRUE(label.styleSheet().isEmpty()) << "given once, not again on every show";
}

TEST_F(SkinWindow, PointerMovesRepaintOnlyElementsWhoseStateChanged) {
    CTestWindow w;
    w.show();
    settle();
    sendMouse(w, QEvent::MouseMove, QPoint(30, 30));
    settle();
    w.painted = QRegion();
    sendMouse(w, QEvent::MouseMove, QPoint(35, 35)); // still inside: nothing changes
    settle();
    EXPECT_TRUE(w.painted.isEmpty());
    sendMouse(w, QEvent::MouseMove, QPoint(110, 30));
    settle();
    EXPECT_EQ(w.painted, QRegion(w.windowRect(w.elements()[0])) + w.windowRect(w.elements()[1]));
    EXPECT_FALSE(w.elements()[0].hovered);
    EXPECT_TRUE(w.elements()[1].hovered);
}

TEST_F(SkinWindow, LabelsAreDrawnWhereTheTableSaysAtAnyScale) {
    CTestWindow w(2.0f, QSize(3840, 2160));
    const QImage canvas = w.renderCanvas();
    int inLabel = 0;
    for (int y = 60; y < 90; ++y) {
        for (int x = 20; x < 80; ++x) {
            inLabel += canvas.pixel(x, y) != kNormal ? 1 : 0;
        }
    }
    EXPECT_GT(inLabel, 20) << "the caption is drawn inside its picture rectangle";
    w.shownLanguage = Language::English; // the label has a Chinese caption only
    const QImage blank = w.renderCanvas();
    EXPECT_EQ(blank.pixel(35, 75), kNormal) << "a language without a caption draws nothing";
}

TEST_F(SkinWindow, ReleaseOverElementDispatchesItAndBackgroundDrags) {
    CTestWindow w;
    w.move(100, 100);
    sendMouse(w, QEvent::MouseButtonPress, QPoint(30, 30), Qt::LeftButton);
    sendMouse(w, QEvent::MouseButtonRelease, QPoint(30, 30), Qt::LeftButton);
    sendMouse(w, QEvent::MouseButtonPress, QPoint(30, 70), Qt::LeftButton); // over the label
    sendMouse(w, QEvent::MouseMove, QPoint(60, 90), Qt::LeftButton);
    sendMouse(w, QEvent::MouseButtonRelease, QPoint(30, 70), Qt::LeftButton);
    EXPECT_EQ(w.clicks, std::vector<int>{0});
    EXPECT_EQ(w.pos(), QPoint(130, 120));
}

TEST_F(SkinWindow, RightAndBottomMarginsOfferResizing) {
    CTestWindow w;
    sendMouse(w, QEvent::MouseMove, QPoint(197, 50));
    EXPECT_EQ(w.cursor().shape(), Qt::SizeHorCursor);
    sendMouse(w, QEvent::MouseMove, QPoint(100, 97));
    EXPECT_EQ(w.cursor().shape(), Qt::SizeVerCursor);
    sendMouse(w, QEvent::MouseMove, QPoint(197, 97));
    EXPECT_EQ(w.cursor().shape(), Qt::SizeFDiagCursor);
    sendMouse(w, QEvent::MouseMove, QPoint(193, 50));
    EXPECT_EQ(w.cursor().shape(), Qt::ArrowCursor);
}

TEST_F(SkinWindow, PostedMessagesArriveOnTheGuiThreadInOrder) {
    HWND handle = 0;
    {
        CTestWindow w;
        handle = w.handle();
        ASSERT_NE(handle, 0u);
        std::thread worker([handle] {
            for (WPARAM i = 0; i < 200; ++i) {
                PostMessageW(handle, WM_TALVIK_PROGRESS, i, 0);
            }
        });
        worker.join();
        settle();
        ASSERT_EQ(w.messages.size(), 200u);
        for (WPARAM i = 0; i < 200; ++i) {
            EXPECT_EQ(w.messages[i], i);
        }
        EXPECT_TRUE(w.allOnGuiThread);
        PostMessageW(handle, WM_TALVIK_JOBDONE, 0, 0); // still queued when the window goes
    }
    settle();
    EXPECT_FALSE(PostMessageW(handle, WM_TALVIK_PROGRESS, 0, 0));
}

TEST_F(SkinWindow, InfoBoxIsReadOnlyOrangeOnDarkWithoutCaret) {
    CInfoBox box;
    EXPECT_TRUE(box.isReadOnly());
    EXPECT_EQ(box.palette().color(QPalette::Text), QColor(255, 111, 0));
    EXPECT_EQ(box.palette().color(QPalette::Base), QColor(20, 20, 20));
    box.setTextIfChanged(QStringLiteral("a\r\nb"));
    EXPECT_EQ(box.toPlainText(), QStringLiteral("a\nb"));
    EXPECT_EQ(box.text(), QStringLiteral("a\r\nb"));
    box.setFocus();
    EXPECT_EQ(box.cursorWidth(), 0);
}

TEST_F(SkinWindow, InfoBoxScrollBarTakesTheSkinsLookWhenTheTextFirstScrolls) {
    CInfoBox box;
    QFont font = box.font();
    font.setPixelSize(13); // as every window gives its box
    box.setFont(font);
    box.resize(300, 60);
    box.show();
    box.setTextIfChanged(QStringLiteral("one line"));
    settle();
    EXPECT_FALSE(box.scrollBarStyled());
    EXPECT_FALSE(box.verticalScrollBar()->isVisible());
    box.setTextIfChanged(QStringLiteral("line\r\n").repeated(30));
    settle();
    EXPECT_TRUE(box.scrollBarStyled());
    EXPECT_TRUE(box.verticalScrollBar()->isVisible());
    EXPECT_EQ(box.verticalScrollBar()->width(), 8);
    EXPECT_EQ(box.viewport()->width(), 300 - 8);
}

TEST_F(SkinWindow, AnIdTheTableLacksIsNeverTakenForTheFirstElement) {
    CTestWindow w;
    EXPECT_EQ(w.findId(10), 0);
    EXPECT_EQ(w.findId(5), 2);
    EXPECT_EQ(w.findId(99), std::nullopt);
    EXPECT_EQ(w.findId(-1), std::nullopt) << "the fourth slot is empty";
    EXPECT_THROW(w.indexOfId(-1), std::logic_error);
    EXPECT_EQ(w.indexOfId(11), 1);
    EXPECT_EQ(&w.elementWithId(5), &w.elements()[2]);
    EXPECT_THROW(w.indexOfId(99), std::logic_error);
    EXPECT_THROW(w.elementWithId(99), std::logic_error);
}
