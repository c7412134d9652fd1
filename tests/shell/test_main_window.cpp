// The main window on the offscreen platform: its element tables, scale,
// the pictures and markers keys are drawn with, the information box, the
// language and layer switches, and what it does when the keyboard is missing.

#include "MainWindowFixture.h"
#include "hwi/FakeSysfs.h"

#include "talvik/layout/SkinLayout.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QTest>
#include <gtest/gtest.h>

using namespace talvik::model;

using talvik::test::CMainWindowFixture;
namespace id = talvik::layout::main_id;
using talvik::text::Language;

namespace {

// Key numbers used below: 43 "A", 44 "S", 45.."51" the rest of the home row.
constexpr int kKeyA = 43;
constexpr int kKeyS = 44;

SkinRect keyRect(CMainWindowFixture& f, int key) {
    return f.dlg().elements()[static_cast<std::size_t>(12 + key)].rect;
}

void movePointer(QWidget& w, QPoint at) {
    QMouseEvent move(QEvent::MouseMove, QPointF(at), QPointF(w.mapToGlobal(at)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&w, &move);
}

QPoint centreOf(const SkinRect& r) {
    return QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

void clearAllModes(CMainWindowFixture& f) {
    for (int key = 1; key <= 87; ++key) {
        f.setMode(key, 0, KeyMode::NotSet);
        f.setMode(key, 1, KeyMode::NotSet);
    }
}

} // namespace

TEST(MainWindow, FillsTheTableOfItsModelIn124Slots) {
    CMainWindowFixture wide(1);
    ASSERT_TRUE(wide.initialised);
    const auto& w = wide.dlg().elements();
    ASSERT_EQ(w.size(), 124u);
    EXPECT_EQ(w[9].id, id::Backlight);
    EXPECT_EQ(w[13].id, 100);
    EXPECT_EQ(w[99].id, 186);
    EXPECT_EQ(w[99].keyIndex, 87);
    EXPECT_EQ(w[109].id, id::TopLayerLabel);
    EXPECT_EQ(w[117].id, 61);
    EXPECT_EQ(w[118].id, -1);
    EXPECT_EQ(w[13].captions.at("en-US"), QStringLiteral("Esc"));

    CMainWindowFixture narrow(3);
    const auto& n = narrow.dlg().elements();
    EXPECT_EQ(n[9].id, -1);
    EXPECT_EQ(n[10].id, id::ReadAll);
    EXPECT_EQ(n[108].id, id::TopLayerLabel);
    EXPECT_EQ(n[117].id, -1);
}

TEST(MainWindow, AtScaleOneTheWindowHasThePictureSize) {
    CMainWindowFixture f(1);
    EXPECT_FLOAT_EQ(f.state.uiScale, 1.0f);
    EXPECT_EQ(f.dlg().size(), f.app.m_bmpMainNormal.size());
    EXPECT_EQ(f.dlg().pos(), QPoint((1920 - 1240) / 2, (1080 - 670) / 2));
}

TEST(MainWindow, A2160PixelScreenDoublesEveryNonLabelRectangleAndTheWindow) {
    CMainWindowFixture f(2, QSize(3840, 2160));
    ASSERT_TRUE(f.initialised);
    EXPECT_FLOAT_EQ(f.state.uiScale, 2.0f);
    EXPECT_EQ(f.dlg().size(), QSize(2480, 1340));
    EXPECT_EQ(keyRect(f, 1), (SkinRect{444, 336, 536, 432}));
    EXPECT_EQ(f.dlg().elements()[0].rect, (SkinRect{1500, 184, 1690, 256}));
    EXPECT_EQ(f.dlg().elements()[100].rect, (SkinRect{750, 101, 845, 130})) << "labels keep theirs";
    EXPECT_EQ(f.dlg().infoBox().geometry(), QRect(54, 1012, 1866, 288));
    EXPECT_EQ(f.dlg().infoBox().font().pixelSize(), 26);
}

TEST(MainWindow, KeysShowTheirModeByPictureAndMarker) {
    CMainWindowFixture f(1);
    clearAllModes(f);
    f.setMode(kKeyA, 0, KeyMode::Single);
    for (int mode = 2; mode <= 8; ++mode) {
        f.setMode(kKeyS + mode - 1, 0, static_cast<KeyMode>(mode)); // keys 45..51
    }
    const QImage canvas = f.dlg().renderCanvas();
    const auto markerAt = [&](int key) {
        const SkinRect r = keyRect(f, key);
        return canvas.pixel((r.left + r.right) / 2, r.bottom - 2);
    };
    const SkinRect a = keyRect(f, kKeyA);
    const SkinRect s = keyRect(f, kKeyS);
    EXPECT_EQ(canvas.pixel(centreOf(a)), f.app.m_bmpMainActive.pixel(centreOf(a)));
    EXPECT_EQ(markerAt(kKeyA), f.app.m_bmpMainActive.pixel((a.left + a.right) / 2, a.bottom - 2))
        << "a single key has no marker";
    EXPECT_EQ(canvas.pixel(centreOf(s)), f.app.m_bmpMainNormal.pixel(centreOf(s)));
    EXPECT_EQ(markerAt(kKeyS), f.app.m_bmpMainNormal.pixel((s.left + s.right) / 2, s.bottom - 2));
    for (int mode = 2; mode <= 8; ++mode) {
        const int key = kKeyS + mode - 1;
        EXPECT_EQ(markerAt(key), f.dlg().modeColors()[static_cast<std::size_t>(mode)].rgb())
            << "mode " << mode;
        EXPECT_EQ(canvas.pixel(centreOf(keyRect(f, key))),
                  f.app.m_bmpMainActive.pixel(centreOf(keyRect(f, key))));
        // The bar is 14 pixels wide and centred.
        const SkinRect r = keyRect(f, key);
        const int d = (r.width() - 14) / 2;
        EXPECT_EQ(canvas.pixel(r.left + d, r.bottom - 1), markerAt(key));
        EXPECT_NE(canvas.pixel(r.left + d - 1, r.bottom - 1), markerAt(key));
    }
}

TEST(MainWindow, SwitchingTheLayerChangesWhichModeDecides) {
    CMainWindowFixture f(1);
    clearAllModes(f);
    f.setMode(kKeyA, 1, KeyMode::Macro);
    f.setMode(kKeyS, 0, KeyMode::Combo);
    const SkinRect a = keyRect(f, kKeyA);
    const SkinRect s = keyRect(f, kKeyS);
    const QPoint aBar((a.left + a.right) / 2, a.bottom - 2);
    const QPoint sBar((s.left + s.right) / 2, s.bottom - 2);
    QImage canvas = f.dlg().renderCanvas();
    EXPECT_EQ(canvas.pixel(centreOf(a)), f.app.m_bmpMainNormal.pixel(centreOf(a)));
    EXPECT_EQ(canvas.pixel(sBar), qRgb(255, 255, 0));
    EXPECT_TRUE(f.dlg().elements()[109].active) << "TopLayer label lit";

    f.dlg().runCommand(id::Layer, 12);
    EXPECT_EQ(f.state.editLevel, 1);
    canvas = f.dlg().renderCanvas();
    EXPECT_EQ(canvas.pixel(aBar), qRgb(0, 255, 0));
    EXPECT_EQ(canvas.pixel(centreOf(s)), f.app.m_bmpMainNormal.pixel(centreOf(s)));
    EXPECT_TRUE(f.dlg().elements()[12].active);
    EXPECT_FALSE(f.dlg().elements()[109].active);
    EXPECT_TRUE(f.dlg().elements()[110].active) << "FnLayer label lit";

    f.dlg().runCommand(id::Layer, 12);
    EXPECT_EQ(f.state.editLevel, 0);
    EXPECT_EQ(f.dlg().renderCanvas().pixel(sBar), qRgb(255, 255, 0));
}

TEST(MainWindow, HeaderGivesFiveBlanksForUnreadStatisticsInBothLanguages) {
    CMainWindowFixture f(2);
    EXPECT_EQ(f.dlg().infoHeader(),
              QStringLiteral("Talvik(S)BLe 编程软件 [版本 1.1.2]\r\n\r\n高频键：      低频键："
                             "     \r\n敲击次数："));
    f.state.mostPressedKey = kKeyA;
    f.state.leastPressedKey = 88; // out of range: blanks as well
    f.dlg().runCommand(id::Language, 0);
    EXPECT_EQ(f.dlg().infoHeader(),
              QStringLiteral("Talvik(S)BLe Programming Software [Ver 1.1.2]\r\n\r\nHighest: A  "
                             "Lowest:      \r\n\r\nCounter: "));
    f.dlg().runCommand(id::Language, 0);
    EXPECT_EQ(f.dlg().infoHeader(),
              QStringLiteral("Talvik(S)BLe 编程软件 [版本 1.1.2]\r\n\r\n高频键：A  低频键："
                             "     \r\n敲击次数："));
}

TEST(MainWindow, PointerOverAKeyFillsTheInformationBox) {
    CMainWindowFixture f(1);
    f.state.pressCount[kKeyA] = 17;
    f.dlg().show();
    movePointer(f.dlg(), centreOf(keyRect(f, kKeyA)));
    f.dlg().renderCanvas();
    const QString text = f.dlg().infoBox().text();
    EXPECT_TRUE(
        text.contains(QStringLiteral("敲击次数：17\r\n\r\n顶层键：单键 A\r\n\r\nFN组合键：")))
        << text.toStdString();

    f.state.pressCount[kKeyA] = -1;
    f.dlg().runCommand(id::Language, 0);
    f.dlg().renderCanvas();
    EXPECT_TRUE(f.dlg().infoBox().text().contains(
        QStringLiteral("Counter: \r\n\r\nTop layer Key: Single A\r\n\r\nFn layer Key: ")));

    movePointer(f.dlg(), QPoint(5, 300)); // the body, no element
    f.dlg().renderCanvas();
    EXPECT_EQ(f.dlg().infoBox().text(), f.dlg().infoHeader());
}

// The box's text is set before the window first paints, so that paint does
// not change it: a change while the window paints marks the box for a second
// pass in the same exposure, and on X11 that pass waits for the display to
// take the first picture before the window is up.
TEST(MainWindow, FirstExposurePaintsTheInformationBoxOnce) {
    CMainWindowFixture f(1);
    ASSERT_TRUE(f.initialised);
    EXPECT_EQ(f.dlg().infoBox().text(), f.dlg().infoHeader());

    talvik::test::CPaintCounter count;
    f.dlg().infoBox().viewport()->installEventFilter(&count);
    f.dlg().move(0, 0); // no pointer over a key: the first paint shows the header
    f.dlg().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f.dlg()));
    ASSERT_TRUE(talvik::test::waitFor([&] { return count.paints > 0; }));
    QTest::qWait(50); // a second paint would have come by now
    EXPECT_EQ(count.paints, 1);
    EXPECT_EQ(f.dlg().infoBox().text(), f.dlg().infoHeader());
}

TEST(MainWindow, PointerOverAnActiveButtonShowsNoPointerOverPicture) {
    CMainWindowFixture f(1);
    const SkinRect read = f.dlg().elements()[1].rect;
    movePointer(f.dlg(), centreOf(read));
    EXPECT_EQ(f.dlg().renderCanvas().pixel(centreOf(read)),
              f.app.mainHover()->pixel(centreOf(read)));
    f.dlg().runCommand(id::Language, 0); // the language button becomes active
    const SkinRect language = f.dlg().elements()[0].rect;
    movePointer(f.dlg(), centreOf(language) + QPoint(0, 12)); // below the caption
    const QPoint probe = centreOf(language) + QPoint(0, 12);
    EXPECT_EQ(f.dlg().renderCanvas().pixel(probe), f.app.m_bmpMainActive.pixel(probe));
}

TEST(MainWindow, LanguageSwitchTurnsEveryLabelAndBack) {
    CMainWindowFixture f(1);
    EXPECT_EQ(f.state.language, Language::Chinese);
    auto& language = f.dlg().elements()[100];
    EXPECT_EQ(language.caption(f.state.language), QStringLiteral("English"));
    const QImage chinese = f.dlg().renderCanvas();

    f.dlg().runCommand(id::Language, 0);
    EXPECT_EQ(f.state.language, Language::English);
    EXPECT_TRUE(f.dlg().elements()[0].active);
    EXPECT_EQ(language.caption(f.state.language), QStringLiteral("简体中文"));
    const QImage english = f.dlg().renderCanvas();
    for (std::size_t slot = 100; slot < 118; ++slot) {
        const SkinRect r = f.dlg().elements()[slot].rect;
        const QRect area(r.left, r.top, r.width(), r.height());
        EXPECT_NE(chinese.copy(area), english.copy(area)) << "label in slot " << slot;
    }

    f.dlg().runCommand(id::Language, 0);
    EXPECT_EQ(f.state.language, Language::Chinese);
    EXPECT_FALSE(f.dlg().elements()[0].active);
    EXPECT_EQ(f.dlg().renderCanvas(), chinese);
}

TEST(MainWindow, ConnectionFailuresAreToldAndStopTheWindow) {
    talvik::test::qtApp();
    CAppState state(CDeviceEnvironment::withoutDevices());
    talvik::shell::COrsaApp app(state);
    QString error;
    ASSERT_TRUE(app.loadSkin(1, error, talvik::test::builtSkinPath()));
    state.buildNameTables();
    struct CCase {
        bool connects;
        CDeviceAccess access;
    };
    QStringList messages;
    for (const CCase c :
         {CCase{false, CDeviceAccess::NotConnected}, CCase{true, CDeviceAccess::Open},
          CCase{true, CDeviceAccess::OpenFailed}, CCase{true, CDeviceAccess::NoPermission}}) {
        talvik::shell::COrsaDlg dlg(app, state);
        dlg.setKeyboardLink({[c] { return c.connects; }, [] { return false; }, [] { return true; },
                             [c] {
                                 return talvik::shell::CAccessReport{c.access, "/dev/hidraw6"};
                             }});
        dlg.setMessageSink([&](const QString& text) { messages << text; });
        EXPECT_FALSE(dlg.initialise(QSize(1920, 1080)));
    }
    ASSERT_EQ(messages.size(), 4);
    // Nothing found: the program's own words first, then what to check, in both languages.
    EXPECT_TRUE(messages[0].startsWith(QStringLiteral("Keyboard is not connected!\n")));
    for (const char* hint :
         {"plugged in", "70-talvik.rules", "other program", "USB", "权限", "其他程序"}) {
        EXPECT_TRUE(messages[0].contains(QString::fromUtf8(hint))) << hint;
    }
    // Opened but silent, or not opened for another reason: held by another program.
    EXPECT_EQ(messages[1], QStringLiteral("Keyboard has be occupied!"));
    EXPECT_EQ(messages[2], QStringLiteral("Keyboard has be occupied!"));
    // Not opened for lack of permission: says so and names the fix, in both languages.
    for (const char* part : {"no permission", "/dev/hidraw6", "70-talvik.rules", "plug it in again",
                             "没有使用它的权限", "重新插入"}) {
        EXPECT_TRUE(messages[3].contains(QString::fromUtf8(part))) << part;
    }
}

TEST(MainWindow, ClicksAreIgnoredWhileBusy) {
    CMainWindowFixture f(1);
    f.state.busy = 1;
    const QPoint at = centreOf(f.dlg().elements()[12].rect);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(at), QPointF(f.dlg().mapToGlobal(at)),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&f.dlg(), &release);
    EXPECT_EQ(f.state.editLevel, 0);
    f.state.busy = 0;
    QCoreApplication::sendEvent(&f.dlg(), &release);
    EXPECT_EQ(f.state.editLevel, 1);
}

TEST(MainWindow, EnterAndEscapeLeaveLikeTheExitButton) {
    CMainWindowFixture f(1);
    f.dlg().show();
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(&f.dlg(), &escape);
    EXPECT_FALSE(f.dlg().isVisible()) << "nothing unwritten: only the save question";
    EXPECT_EQ(f.dlg().result(), QDialog::Accepted);
    EXPECT_EQ(f.questions, QStringList{QStringLiteral("Talvik(RGB)BLe|是否保存按键配置文件??")});

    CMainWindowFixture g(2);
    g.dlg().show();
    g.state.modified = 1;
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(&g.dlg(), &enter);
    EXPECT_TRUE(g.dlg().isVisible()) << "No keeps the program running";
    g.answers = {true, false};
    QCoreApplication::sendEvent(&g.dlg(), &enter);
    EXPECT_FALSE(g.dlg().isVisible());
    EXPECT_EQ(g.questions, (QStringList{QStringLiteral("Talvik(S)BLe|配置未写入，是否继续退出??"),
                                        QStringLiteral("Talvik(S)BLe|配置未写入，是否继续退出??"),
                                        QStringLiteral("Talvik(S)BLe|是否保存按键配置文件??")}));
}

// The whole way from a hidraw node this user may not open to the message:
// discovery on a fake sysfs tree, the library's open, the window's diagnosis.
TEST(MainWindow, KeyboardWithoutPermissionNamesTheFix) {
    talvik::test::qtApp();
    talvik::test::FakeSysfs sysfs;
    sysfs.addNode(9, "0003:00000483:00005031", 1);
    CDeviceEnvironment environment = sysfs.environment();
    environment.openNode = [](const char*, int) {
        errno = EACCES;
        return -1;
    };
    CAppState state(environment);
    talvik::shell::COrsaApp app(state);
    QString error;
    ASSERT_TRUE(app.loadSkin(1, error, talvik::test::builtSkinPath()));
    state.buildNameTables();
    talvik::shell::COrsaDlg dlg(app, state);
    QStringList messages;
    dlg.setMessageSink([&](const QString& text) { messages << text; });
    EXPECT_FALSE(dlg.initialise(QSize(1920, 1080)));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(
        messages[0].contains(QString::fromStdString((sysfs.devDir() / "hidraw9").string())));
    EXPECT_TRUE(messages[0].contains(QStringLiteral("no permission"))) << messages[0].toStdString();
}
