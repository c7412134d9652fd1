// What the main window draws over its pictures: the layer plate that follows
// the switch, the panels' language, the connection light, the outline of an
// active key under the pointer and the marks of the most and least pressed
// keys, at scale 1 and 2.

#include "MainWindowFixture.h"

#include "talvik/layout/MainPanels.h"
#include "talvik/layout/SkinLayout.h"

#include <QMouseEvent>
#include <gtest/gtest.h>

using namespace talvik::model;

using talvik::test::CMainWindowFixture;
namespace id = talvik::layout::main_id;
namespace layout = talvik::layout;

namespace {

constexpr int kKeyA = 43;

// A canvas pixel at design position `p`, whatever resolution it has.
QRgb at(const QImage& image, QPoint p) {
    const qreal r = image.devicePixelRatio();
    return image.pixel(static_cast<int>(p.x() * r), static_cast<int>(p.y() * r));
}

QPoint plateEdge(int level) {
    // On the plate's top edge, clear of its rounded corners and its text.
    const SkinRect plate = layout::kLayerPlates[static_cast<std::size_t>(level)];
    return QPoint(plate.left + 20, plate.top);
}

QImage area(const QImage& canvas, const SkinRect& r) {
    const qreal s = canvas.devicePixelRatio();
    return canvas.copy(QRect(static_cast<int>(r.left * s), static_cast<int>(r.top * s),
                             static_cast<int>(r.width() * s), static_cast<int>(r.height() * s)));
}

void movePointer(QWidget& w, QPoint to) {
    QMouseEvent move(QEvent::MouseMove, QPointF(to), QPointF(w.mapToGlobal(to)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&w, &move);
}

SkinRect keyRect(CMainWindowFixture& f, int key) {
    return f.dlg().elements()[static_cast<std::size_t>(12 + key)].rect;
}

} // namespace

class MainPanels : public ::testing::TestWithParam<int> {};

TEST_P(MainPanels, TheLitLayerPlateFollowsTheSwitch) {
    const QSize screen = GetParam() == 2 ? QSize(3840, 2160) : QSize(1920, 1080);
    CMainWindowFixture f(1, screen);
    ASSERT_TRUE(f.initialised);
    const QImage& active = f.app.m_bmpMainActive;
    const QImage& normal = f.app.m_bmpMainNormal;
    ASSERT_NE(at(active, plateEdge(0)), at(normal, plateEdge(0))) << "the plates can be lit";

    QImage canvas = f.dlg().renderCanvas();
    EXPECT_EQ(at(canvas, plateEdge(0)), at(active, plateEdge(0)));
    EXPECT_EQ(at(canvas, plateEdge(1)), at(normal, plateEdge(1)));

    f.dlg().runCommand(id::Layer, 12);
    canvas = f.dlg().renderCanvas();
    EXPECT_EQ(at(canvas, plateEdge(0)), at(normal, plateEdge(0)));
    EXPECT_EQ(at(canvas, plateEdge(1)), at(active, plateEdge(1)));
}

INSTANTIATE_TEST_SUITE_P(Scales, MainPanels, ::testing::Values(1, 2));

TEST(MainPanelsText, PanelsSpeakTheCurrentLanguage) {
    CMainWindowFixture f(2);
    const QImage chinese = f.dlg().renderCanvas();
    f.dlg().runCommand(id::Language, 0);
    const QImage english = f.dlg().renderCanvas();
    for (const layout::PanelText& t :
         {layout::kLayerHeading, layout::kLayerTitles[0], layout::kLayerTitles[1],
          layout::kLayerFooter, layout::kConnected, layout::kNotReadYet, layout::kStatusHints[0]}) {
        EXPECT_NE(area(chinese, t.rect), area(english, t.rect)) << t.en;
    }
    f.dlg().runCommand(id::Language, 0);
    EXPECT_EQ(f.dlg().renderCanvas(), chinese);
}

TEST(MainPanelsText, TheConnectionLightTurnsRedWhenTheKeyboardGoes) {
    CMainWindowFixture f(1);
    const SkinRect light = layout::kStatusLight;
    const QPoint centre((light.left + light.right) / 2, (light.top + light.bottom) / 2);
    EXPECT_EQ(at(f.dlg().renderCanvas(), centre), qRgb(0, 200, 90));
    f.present = false;
    f.dlg().checkDevice();
    EXPECT_EQ(at(f.dlg().renderCanvas(), centre), qRgb(220, 50, 40));
    EXPECT_TRUE(f.messages.isEmpty()) << "the panel says it; no message box";
    f.present = true;
    f.dlg().checkDevice();
    EXPECT_EQ(at(f.dlg().renderCanvas(), centre), qRgb(0, 200, 90));
}

TEST(MainPanelsText, AnActiveKeyUnderThePointerIsOutlined) {
    CMainWindowFixture f(1);
    f.dlg().show();
    const SkinRect a = keyRect(f, kKeyA);
    ASSERT_EQ(f.state.keyConfig.Mode[kKeyA][0], KeyMode::Single);
    const QPoint edge((a.left + a.right) / 2, a.top + layout::kKeycapInset);
    const QPoint centre((a.left + a.right) / 2, (a.top + a.bottom) / 2);
    EXPECT_EQ(at(f.dlg().renderCanvas(), edge), at(f.app.m_bmpMainActive, edge));

    movePointer(f.dlg(), centre);
    const QImage pointed = f.dlg().renderCanvas();
    EXPECT_NE(at(pointed, edge), at(f.app.m_bmpMainActive, edge));
    EXPECT_EQ(QColor(at(pointed, edge)).red(), 255) << "the accent outline";
    EXPECT_EQ(at(pointed, centre), at(f.app.m_bmpMainActive, centre)) << "the key stays active";

    // A key with nothing assigned still shows the pointer-over picture alone.
    f.setMode(kKeyA, 0, KeyMode::NotSet);
    EXPECT_EQ(at(f.dlg().renderCanvas(), edge), at(*f.app.mainHover(), edge));
}

TEST(MainPanelsText, TheMostAndLeastPressedKeysAreMarked) {
    CMainWindowFixture f(1);
    const SkinRect a = keyRect(f, kKeyA);
    const int inset = layout::kKeycapInset + 3;
    const int size = layout::kPressMarkSize;
    const QPoint upMark(a.right - inset - size / 2, a.top + inset + size * 6 / 10);
    const QPoint downMark(a.left + inset + size / 2, a.top + inset + size * 2 / 10);
    const QImage before = f.dlg().renderCanvas();
    f.state.mostPressedKey = kKeyA;
    f.state.leastPressedKey = kKeyA;
    const QImage after = f.dlg().renderCanvas();
    EXPECT_EQ(at(after, upMark), qRgb(255, 200, 0));
    EXPECT_EQ(at(after, downMark), qRgb(110, 170, 255));
    f.state.mostPressedKey = -1;
    f.state.leastPressedKey = -1;
    EXPECT_EQ(f.dlg().renderCanvas(), before);
}

// A key whose assignment on the layer shown differs from what the keyboard is known to
// hold carries a dot; while nothing is known the panel says so and no key is marked.
TEST(MainPanelsText, KeysNotOnTheKeyboardYetAreMarkedOnceItsSettingsAreKnown) {
    CMainWindowFixture f(1);
    const SkinRect a = keyRect(f, kKeyA);
    const int inset = layout::kKeycapInset + 3;
    const int size = layout::kUnwrittenMarkSize;
    const QPoint mark(a.left + inset + size / 2, a.bottom - inset - size / 2);
    const QRgb dot = qRgb(255, 244, 214);
    f.setMode(kKeyA, 0, KeyMode::Power);
    const QImage unknown = f.dlg().renderCanvas();
    EXPECT_NE(at(unknown, mark), dot) << "nothing is known, so nothing is marked";

    f.state.keyboard.keys = f.state.keyConfig;
    const QImage known = f.dlg().renderCanvas();
    EXPECT_NE(area(unknown, layout::kNotReadYet.rect), area(known, layout::kNotReadYet.rect))
        << "the panel's note goes once the keyboard's settings are known";
    EXPECT_EQ(known, f.dlg().renderCanvas());
    EXPECT_NE(at(known, mark), dot);

    f.setMode(kKeyA, 0, KeyMode::Single);
    EXPECT_EQ(at(f.dlg().renderCanvas(), mark), dot);
    EXPECT_TRUE(f.dlg().keyDetails(kKeyA).contains(QStringLiteral("（尚未写入）")));
    f.dlg().runCommand(id::Layer, 12);
    EXPECT_NE(at(f.dlg().renderCanvas(), mark), dot) << "the Fn layer of the key is as written";
}
