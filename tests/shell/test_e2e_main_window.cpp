// The main window on a real X server and the simulated keyboard, driven by
// real pointer events: its shape, the key details under the pointer and the
// language switch. With TALVIK_SCREENSHOT_DIR set it also saves what the
// screen shows in both languages.

#include "MainWindowFixture.h"
#include "QtTestApp.h"
#include "XDriver.h"
#include "model/ModelTestSupport.h"
#include "talvik/text/Language.h"

#include "talvik/model/CAppState.h"
#include "talvik/shell/COrsaApp.h"
#include "talvik/shell/COrsaDlg.h"

#include "support/TestSupport.h"
#include "talvik/layout/SkinLayout.h"

#include <QBackingStore>
#include <QDir>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

#include <filesystem>

using namespace talvik::model;

namespace id = talvik::layout::main_id;
using talvik::test::clickAt;
using talvik::test::grabScreen;
using talvik::test::pointAt;
using talvik::test::waitFor;
using talvik::test::xdotool;
using talvik::text::Language;

namespace {

void saveShot(const QImage& image, int model, const char* language) {
    const QString dir = qEnvironmentVariable("TALVIK_SCREENSHOT_DIR");
    if (!dir.isEmpty()) {
        QDir().mkpath(dir);
        image.save(QStringLiteral("%1/main-model%2-%3.png").arg(dir).arg(model).arg(language));
    }
}

// The rounded corner of the picture is not the window's; the body is.
void expectTheSkinsShape(const QImage& shot, const QImage& normal) {
    EXPECT_NE(shot.pixel(0, 0), qRgb(0, 0, 255)) << "the colour key must never be shown";
    EXPECT_NE(shot.pixel(0, 0), normal.pixel(20, 20));
    EXPECT_EQ(shot.pixel(20, 300), normal.pixel(20, 300));
}

// A press on the background and a movement drag the window along.
void dragByTheBackground(QWidget& window) {
    const QPoint before = window.pos();
    const QPoint grip = window.mapToGlobal(QPoint(100, 440)); // the brand column
    pointAt(grip);
    xdotool({QStringLiteral("mousedown"), QStringLiteral("1")});
    pointAt(grip + QPoint(20, 10));
    pointAt(grip + QPoint(40, 30));
    xdotool({QStringLiteral("mouseup"), QStringLiteral("1")});
    EXPECT_TRUE(waitFor([&] { return window.pos() == before + QPoint(40, 30); }))
        << window.pos().x() << "," << window.pos().y();
}

class EndToEnd : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        ASSERT_TRUE(talvik::test::useFixtureDisplay());
        talvik::test::qtApp();
    }
};

} // namespace

TEST_P(EndToEnd, ShapedWindowShowsKeyDetailsAndSwitchesLanguage) {
    const int model = GetParam();
    talvik::test::CTempDir dir;
    const std::string unplugFile = (dir.path() / "unplugged").string();
    qputenv("TALVIK_SIMULATOR_UNPLUG_FILE", QByteArray::fromStdString(unplugFile));
    CAppState state(talvik::test::processSimulator(model));
    talvik::shell::COrsaApp app(state);
    state.modelNumber = state.device.DetectDeviceType();
    ASSERT_EQ(state.modelNumber, model);
    QString error;
    ASSERT_TRUE(app.loadSkin(model, error, talvik::test::builtSkinPath())) << error.toStdString();
    state.buildNameTables();
    talvik::shell::COrsaDlg window(app, state);
    QStringList messages;
    window.setMessageSink([&](const QString& text) { messages << text; });
    ASSERT_TRUE(window.initialise()) << messages.join(QLatin1Char(';')).toStdString();
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    const QImage first = grabScreen(window);
    expectTheSkinsShape(first, app.m_bmpMainNormal);

    // Hovering key "A" fills the information box with its details.
    const SkinRect keyA = window.elements()[12 + 43].rect;
    pointAt(talvik::test::centreOf(window, keyA));
    ASSERT_TRUE(waitFor([&] {
        return window.infoBox().text().contains(QStringLiteral("顶层键：单键 A"));
    })) << window.infoBox().text().toStdString();
    saveShot(grabScreen(window), model, "zh");

    // The language button turns every label English, and back.
    clickAt(talvik::test::centreOf(window, window.elements()[0].rect));
    ASSERT_TRUE(waitFor([&] { return state.language == Language::English; }));
    pointAt(talvik::test::centreOf(window, keyA));
    ASSERT_TRUE(waitFor([&] {
        return window.infoBox().text().contains(QStringLiteral("Top layer Key: Single A"));
    }));
    const QImage english = grabScreen(window);
    saveShot(english, model, "en");
    const SkinRect saveLabel = window.elements()[102].rect;
    const QRect labelArea(saveLabel.left, saveLabel.top, saveLabel.width(), saveLabel.height());
    EXPECT_NE(first.copy(labelArea), english.copy(labelArea)) << "the Save label changed";

    clickAt(talvik::test::centreOf(window, window.elements()[0].rect));
    ASSERT_TRUE(waitFor([&] { return state.language == Language::Chinese; }));
    pointAt(QPoint(0, 0));
    EXPECT_TRUE(waitFor([&] {
        return window.infoBox().text().startsWith(
            QString::fromUtf8(talvik::text::modelName(model)) + QStringLiteral(" 编程软件"));
    }));
    EXPECT_TRUE(messages.isEmpty());

    dragByTheBackground(window);
    EXPECT_EQ(state.language, Language::Chinese) << "a drag is no click";

    // Unplugged, the window stays and says so in its panel; plugged in again, it
    // connects by itself.
    talvik::test::writeFile(unplugFile, "");
    ASSERT_TRUE(waitFor([&] { return window.keyboardGone(); }));
    EXPECT_TRUE(window.isVisible());
    std::filesystem::remove(unplugFile);
    EXPECT_TRUE(waitFor([&] { return !window.keyboardGone(); }));
    EXPECT_TRUE(messages.isEmpty()) << messages.join(QLatin1Char(';')).toStdString();
    qunsetenv("TALVIK_SIMULATOR_UNPLUG_FILE");
}

// The window's backing store is made and mapped in before the window shows,
// on another thread: the first paint goes into it, and the screen holds
// exactly what the window renders, from that first paint on.
TEST_P(EndToEnd, FirstPaintReachesTheScreenWhole) {
    pointAt(QPoint(0, 0)); // no key under the pointer to light up
    talvik::test::CMainWindowFixture f(GetParam());
    ASSERT_TRUE(f.initialised);
    talvik::shell::COrsaDlg& window = f.dlg();
    ASSERT_NE(window.backingStore(), nullptr);
    EXPECT_EQ(window.backingStore()->size(), window.size());

    talvik::test::CPaintCounter paints;
    window.installEventFilter(&paints);
    window.show();
    // The paint is handed to the server as soon as it is done, before the
    // loop comes back here; the grab asks on the same connection, after it.
    ASSERT_TRUE(waitFor([&] { return paints.paints > 0; }));
    ASSERT_EQ(paints.paints, 1);
    const QImage screen =
        window.screen()
            ->grabWindow(0, window.x(), window.y(), window.width(), window.height())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    window.removeEventFilter(&paints);
    const QImage own = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(screen.size(), own.size());
    const QRegion shape = window.mask().isEmpty() ? QRegion(own.rect()) : window.mask();
    int inside = 0;
    int differing = 0;
    for (const QRect& r : shape) {
        for (int y = r.top(); y <= r.bottom(); ++y) {
            for (int x = r.left(); x <= r.right(); ++x) {
                ++inside;
                differing += screen.pixel(x, y) != own.pixel(x, y) ? 1 : 0;
            }
        }
    }
    EXPECT_GT(inside, own.width() * own.height() / 2);
    EXPECT_EQ(differing, 0) << "of " << inside << " pixels";
}

INSTANTIATE_TEST_SUITE_P(Models, EndToEnd, ::testing::Values(1, 2));
