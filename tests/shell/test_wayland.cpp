// The windows on real Wayland compositors that the tests start themselves:
// weston (headless, pixman renderer) and sway (a tiling compositor, headless).
// Neither lets a test inject input from outside, so the clicks are
// synthesised inside the program, straight to the window; everything the
// compositor shows is read back from its own screenshots, and sway's tree
// says where it put each window and whether it floats.

#include "QtTestApp.h"
#include "RunningProgram.h"
#include "XDriver.h"

#include "support/TestSupport.h"
#include "talvik/editor/COrsaDialogKeyMapSettings.h"
#include "talvik/layout/KeySettingsLayout.h"
#include "talvik/layout/SkinLayout.h"
#include "talvik/shell/PaletteColour.h"
#include "talvik/shell/UiScale.h"

#include <QAbstractButton>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMessageBox>
#include <QProcess>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

using talvik::test::CModalScript;
using talvik::test::CRunningProgram;
using talvik::test::waitFor;
using talvik::text::Language;
namespace keymap = talvik::layout::keymap_id;

namespace {

constexpr int kLanguageSlot = 0;
constexpr int kReadCountersSlot = 1;
constexpr int kKeyA = 43;

QString fixtureDir(const std::string& kind) {
    return QStringLiteral(TALVIK_BINARY_DIR "/wayland/") + QString::fromStdString(kind);
}

// The compositor's variables (WAYLAND_DISPLAY and the rest) for this process,
// before Qt starts; false when the fixture did not start it. Qt stays on the
// compositor it started on: every test runs in a process of its own, as
// CTest runs them.
bool useCompositor(const std::string& kind) {
    static std::string connected;
    if (!connected.empty()) {
        return connected == kind;
    }
    connected = kind;
    QFile env(fixtureDir(kind) + QStringLiteral("/env"));
    if (!env.open(QIODevice::ReadOnly)) {
        return false;
    }
    for (const QByteArray& line : env.readAll().split('\n')) {
        const qsizetype equals = line.indexOf('=');
        if (equals > 0) {
            qputenv(line.left(equals).constData(), line.mid(equals + 1));
        }
    }
    return qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
}

// The whole screen as the compositor shows it now.
QImage screenshot(const std::string& kind) {
    const QString file = fixtureDir(kind) + QStringLiteral("/shot.png");
    QFile::remove(file);
    QProcess shot;
    shot.start(QStringLiteral(TALVIK_SOURCE_DIR "/scripts/wayland-fixture.sh"),
               {QStringLiteral("screenshot"), fixtureDir(kind), file});
    if (!shot.waitForFinished(60000) || shot.exitCode() != 0) {
        return {};
    }
    return QImage(file).convertToFormat(QImage::Format_RGB32);
}

// The smallest rectangle holding every pixel that differs between the two.
QRect changedBetween(const QImage& before, const QImage& after) {
    QRect changed;
    if (before.size() != after.size()) {
        return changed;
    }
    for (int y = 0; y < after.height(); ++y) {
        const auto* a = reinterpret_cast<const QRgb*>(before.constScanLine(y));
        const auto* b = reinterpret_cast<const QRgb*>(after.constScanLine(y));
        for (int x = 0; x < after.width(); ++x) {
            if (a[x] != b[x]) {
                changed |= QRect(x, y, 1, 1);
            }
        }
    }
    return changed;
}

// The smallest rectangle holding every pixel of `shot` that differs both
// from `before` and from `after`.
QRect changedFromBoth(const QImage& before, const QImage& after, const QImage& shot) {
    QRect changed;
    if (before.size() != shot.size() || after.size() != shot.size()) {
        return changed;
    }
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            const QRgb seen = shot.pixel(x, y);
            if (seen != before.pixel(x, y) && seen != after.pixel(x, y)) {
                changed |= QRect(x, y, 1, 1);
            }
        }
    }
    return changed;
}

// Where a window with `canvas` (its pixels, transparent outside its outline)
// appeared between the two screenshots, and how many of its transparent
// pixels do not show what lay behind them. A window not (yet) seen whole
// gives a null rectangle.
struct SAppearance {
    QRect window;
    int wrongPixels = 0;
};
SAppearance appearance(const QImage& before, const QImage& after, const QImage& canvas) {
    QRect opaque;
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            if (qAlpha(canvas.pixel(x, y)) != 0) {
                opaque |= QRect(x, y, 1, 1);
            }
        }
    }
    const QRect changed = changedBetween(before, after);
    if (changed.size() != opaque.size()) {
        return {};
    }
    SAppearance seen;
    seen.window = QRect(changed.topLeft() - opaque.topLeft(), canvas.size());
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            const QPoint on = seen.window.topLeft() + QPoint(x, y);
            if (qAlpha(canvas.pixel(x, y)) == 0 && after.rect().contains(on) &&
                after.pixel(on) != before.pixel(on)) {
                ++seen.wrongPixels;
            }
        }
    }
    return seen;
}

// Takes screenshots until one shows the window with `canvas` whole.
SAppearance waitForAppearance(const std::string& kind, const QImage& before, const QImage& canvas,
                              QImage& shot) {
    SAppearance seen;
    waitFor([&] {
        shot = screenshot(kind);
        seen = appearance(before, shot, canvas);
        return seen.window.isValid();
    });
    return seen;
}

// Whether `shot` shows the opaque pixels of `window`'s canvas where the
// window lies (`place`), leaving out its child widgets, which the canvas does
// not hold.
bool showsCanvas(const QImage& shot, const QRect& place, talvik::shell::CSkinWindow& window) {
    const QImage canvas = window.renderCanvas();
    QRegion children;
    for (const QWidget* child : window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child->isVisible()) {
            children += child->geometry();
        }
    }
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            const QPoint on = place.topLeft() + QPoint(x, y);
            if (qAlpha(canvas.pixel(x, y)) == 255 && !children.contains(QPoint(x, y)) &&
                (!shot.rect().contains(on) ||
                 shot.pixel(on) != (canvas.pixel(x, y) | 0xFF000000))) {
                return false;
            }
        }
    }
    return true;
}

// Takes screenshots until the window at `place` shows its canvas.
QImage waitForCanvas(const std::string& kind, const QRect& place,
                     talvik::shell::CSkinWindow& window) {
    QImage shot;
    waitFor([&] {
        shot = screenshot(kind);
        return showsCanvas(shot, place, window);
    });
    return shot;
}

// A left click on element `slot` of `window`, delivered to the window by the
// program itself after the current event, so that a dialog it opens runs
// its own loop outside the caller.
void postClick(talvik::shell::CSkinWindow& window, int slot) {
    const QPoint at = QRect(window.elements()[static_cast<std::size_t>(slot)].rect.left,
                            window.elements()[static_cast<std::size_t>(slot)].rect.top,
                            window.elements()[static_cast<std::size_t>(slot)].rect.width(),
                            window.elements()[static_cast<std::size_t>(slot)].rect.height())
                          .center();
    QTimer::singleShot(0, &window, [&window, at] {
        QTest::mouseClick(&window, Qt::LeftButton, {}, at);
        // No pointer stays behind over the element: the screenshots show it
        // as the user sees it after moving on.
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(&window, &leave);
    });
}

// The window nodes of sway's tree with the pid of this process, and whether
// each floats.
struct SSwayWindow {
    QRect rect;
    bool floating = false;
};
void collectWindows(const QJsonObject& node, bool floating, std::vector<SSwayWindow>& out) {
    if (node.value(QStringLiteral("pid")).toInteger() == QCoreApplication::applicationPid()) {
        const QJsonObject r = node.value(QStringLiteral("rect")).toObject();
        out.push_back(
            {QRect(r.value(QStringLiteral("x")).toInt(), r.value(QStringLiteral("y")).toInt(),
                   r.value(QStringLiteral("width")).toInt(),
                   r.value(QStringLiteral("height")).toInt()),
             floating});
    }
    for (const QJsonValue child : node.value(QStringLiteral("nodes")).toArray()) {
        collectWindows(child.toObject(), floating, out);
    }
    for (const QJsonValue child : node.value(QStringLiteral("floating_nodes")).toArray()) {
        collectWindows(child.toObject(), true, out);
    }
}
std::vector<SSwayWindow> swayWindows(const std::string& kind) {
    QProcess tree;
    tree.start(QStringLiteral(TALVIK_SOURCE_DIR "/scripts/wayland-fixture.sh"),
               {QStringLiteral("tree"), fixtureDir(kind)});
    std::vector<SSwayWindow> windows;
    if (tree.waitForFinished(60000) && tree.exitCode() == 0) {
        collectWindows(QJsonDocument::fromJson(tree.readAllStandardOutput()).object(), false,
                       windows);
    }
    return windows;
}

// Every window of this process floats, and the skinned ones at `sizes`.
::testing::AssertionResult allFloatAt(const std::string& kind, const std::vector<QSize>& sizes) {
    std::vector<SSwayWindow> windows;
    waitFor([&] {
        windows = swayWindows(kind);
        return windows.size() >= sizes.size();
    });
    std::vector<QSize> floatingSizes;
    for (const SSwayWindow& w : windows) {
        if (!w.floating) {
            return ::testing::AssertionFailure()
                   << "a window is tiled at " << w.rect.width() << "x" << w.rect.height();
        }
        floatingSizes.push_back(w.rect.size());
    }
    for (const QSize& size : sizes) {
        if (std::find(floatingSizes.begin(), floatingSizes.end(), size) == floatingSizes.end()) {
            return ::testing::AssertionFailure()
                   << "no floating window of " << size.width() << "x" << size.height();
        }
    }
    return ::testing::AssertionSuccess();
}

void saveCropped(const QImage& shot, const QRect& around, const QString& name) {
    talvik::test::saveShot(shot.copy(around.adjusted(-24, -24, 24, 24) & shot.rect()), name);
}

class OnCompositor : public ::testing::TestWithParam<std::string> {
protected:
    void SetUp() override {
        ASSERT_TRUE(useCompositor(GetParam()))
            << "no compositor in " << fixtureDir(GetParam()).toStdString()
            << ", or this process runs on another one";
        talvik::test::qtApp();
        ASSERT_TRUE(QGuiApplication::platformName().startsWith(QLatin1String("wayland")));
    }
};

} // namespace

// The main window, the key settings dialog and a message box, in both
// languages: the skinned windows are transparent where their pictures hold
// the colour key (what lay behind shows through, pixel for pixel), the dialogs
// are transient for the main window, and on sway every window floats, the
// skinned ones at their pictures' size.
TEST_P(OnCompositor, WindowsShowNoColourKeyAndFloatAtTheirSize) {
    const std::string kind = GetParam();
    const bool tiling = kind == "sway";
    CRunningProgram program(1);
    ASSERT_TRUE(program.start(false));
    talvik::shell::COrsaDlg& main = *program.window;
    ASSERT_TRUE(main.isTranslucent());
    const QImage empty = screenshot(kind);
    ASSERT_FALSE(empty.isNull());
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));

    QImage shown;
    const SAppearance seen = waitForAppearance(kind, empty, main.renderCanvas(), shown);
    ASSERT_TRUE(seen.window.isValid()) << "the main window never appeared whole";
    EXPECT_EQ(seen.wrongPixels, 0);
    EXPECT_EQ(seen.window.size(), main.size());
    if (tiling) {
        EXPECT_TRUE(allFloatAt(kind, {main.size()}));
    }
    const QRgb body = talvik::shell::paletteColour(talvik::layout::kBodyMiddle).rgb();

    // The canvas holds exactly what the compositor shows of the window.
    EXPECT_TRUE(showsCanvas(shown, seen.window, main));

    for (const Language language : {Language::Chinese, Language::English}) {
        const QString suffix = QString::fromStdString(kind) +
                               QLatin1String(language == Language::Chinese ? "-zh" : "-en");
        if (language != program.state.language) {
            postClick(main, kLanguageSlot);
            ASSERT_TRUE(waitFor([&] { return program.state.language == language; }));
            shown = waitForCanvas(kind, seen.window, main);
        }
        saveCropped(shown, seen.window, QStringLiteral("wayland-main-%1.png").arg(suffix));

        SAppearance dialog;
        bool transient = false;
        QString notice;
        CModalScript keySettings;
        keySettings.then(QStringLiteral("the key settings dialog"), [&](QWidget& modal) {
            auto* settings = dynamic_cast<talvik::editor::COrsaDialogKeyMapSettings*>(&modal);
            if (settings == nullptr || !settings->isVisible()) {
                return false;
            }
            transient = settings->windowHandle()->transientParent() == main.windowHandle();
            QImage over;
            dialog = waitForAppearance(kind, shown, settings->renderCanvas(), over);
            if (tiling) {
                EXPECT_TRUE(allFloatAt(kind, {main.size(), settings->size()}));
            }
            saveCropped(over, dialog.window,
                        QStringLiteral("wayland-key-settings-%1.png").arg(suffix));
            // A capture asks the compositor for its shortcuts: sway grants
            // them to the focused window, weston does not offer the protocol,
            // and the notice says so.
            const QRect record =
                talvik::shell::toQRect(settings->element(keymap::RecordSingle).rect);
            QTest::mouseClick(settings, Qt::LeftButton, {}, record.center());
            if (waitFor([&] { return !settings->captureNotice().isEmpty(); })) {
                notice = settings->captureNotice();
                QImage capturing;
                waitFor([&] {
                    capturing = screenshot(kind);
                    return showsCanvas(capturing, dialog.window, *settings);
                });
                saveCropped(capturing, dialog.window,
                            QStringLiteral("wayland-key-capture-%1.png").arg(suffix));
            }
            QTest::mouseClick(settings, Qt::LeftButton, {}, record.center());
            settings->reject();
            return true;
        });
        postClick(main, kKeyA);
        ASSERT_TRUE(waitFor([&] { return keySettings.finished(); }))
            << keySettings.pending().toStdString();
        EXPECT_TRUE(dialog.window.isValid()) << "the key settings dialog never appeared whole";
        const bool shortcutsToo = !notice.contains(QStringLiteral("desktop shortcuts")) &&
                                  !notice.contains(QStringLiteral("桌面快捷键"));
        EXPECT_FALSE(notice.isEmpty());
        EXPECT_EQ(shortcutsToo, tiling) << notice.toStdString();
        EXPECT_EQ(dialog.wrongPixels, 0);
        EXPECT_TRUE(transient);
        ASSERT_TRUE(waitFor([] { return QApplication::activeModalWidget() == nullptr; }));

        // The counters' "OK!!" box: Qt's own, in the skin's palette. The read
        // changes the main window too, before the box comes or after it has
        // gone: the box is what differs both from before and from after.
        QImage withBox;
        transient = false;
        CModalScript counters;
        counters.then(QStringLiteral("the OK!! box"), [&](QWidget& modal) {
            auto* message = qobject_cast<QMessageBox*>(&modal);
            if (message == nullptr || !message->isVisible()) {
                return false;
            }
            transient = message->windowHandle()->transientParent() == main.windowHandle();
            waitFor([&] {
                withBox = screenshot(kind);
                return changedBetween(shown, withBox).width() >= message->width();
            });
            if (tiling) {
                EXPECT_TRUE(allFloatAt(kind, {main.size()}));
            }
            message->button(QMessageBox::Ok)->click();
            return true;
        });
        postClick(main, kReadCountersSlot);
        ASSERT_TRUE(waitFor([&] { return counters.finished(); }))
            << counters.pending().toStdString();
        EXPECT_TRUE(transient);
        ASSERT_TRUE(waitFor([&] { return program.state.busy == 0; }));
        ASSERT_TRUE(waitFor([] { return QApplication::activeModalWidget() == nullptr; }));
        const QImage before = shown;
        shown = waitForCanvas(kind, seen.window, main);
        const QRect box = changedFromBoth(before, shown, withBox);
        int bodyPixels = 0;
        for (int y = box.top(); y <= box.bottom(); ++y) {
            for (int x = box.left(); x <= box.right(); ++x) {
                bodyPixels += withBox.pixel(x, y) == body ? 1 : 0;
            }
        }
        // Most of what the box brought is its dark body.
        EXPECT_GT(bodyPixels, box.width() * box.height() / 2) << box.width() << "x" << box.height();
        saveCropped(withBox, box, QStringLiteral("wayland-message-box-%1.png").arg(suffix));
    }
}

INSTANTIATE_TEST_SUITE_P(Wayland, OnCompositor, ::testing::Values("weston", "sway"),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             return info.param;
                         });

namespace {

// A session bus of the test's own with a notification area on it.
class CNotificationArea {
public:
    explicit CNotificationArea(const std::filesystem::path& dir) : m_log(dir / "items") {
        FILE* daemon = ::popen("dbus-daemon --session --fork --print-address=1 --print-pid=1", "r");
        char line[512] = {};
        if (daemon != nullptr && std::fgets(line, sizeof line, daemon) != nullptr) {
            m_address = QByteArray(line).trimmed();
            if (std::fgets(line, sizeof line, daemon) != nullptr) {
                m_daemonPid = std::atoi(line);
            }
        }
        if (daemon != nullptr) {
            ::pclose(daemon);
        }
        qputenv("DBUS_SESSION_BUS_ADDRESS", m_address);
        // Debian's own Python, which has the D-Bus bindings.
        m_watcher.setProcessChannelMode(QProcess::ForwardedChannels);
        m_watcher.start(QStringLiteral("/usr/bin/python3"),
                        {QStringLiteral(TALVIK_SOURCE_DIR "/tests/shell/sni_watcher.py"),
                         QString::fromStdString(m_log.string())});
    }
    ~CNotificationArea() {
        m_watcher.kill();
        m_watcher.waitForFinished();
        if (m_daemonPid > 0) {
            ::kill(m_daemonPid, SIGTERM);
        }
    }

    bool ready() {
        if (m_address.isEmpty()) {
            return false;
        }
        waitFor([&] {
            return std::filesystem::exists(m_log.string() + ".ready") ||
                   m_watcher.state() == QProcess::NotRunning;
        });
        return std::filesystem::exists(m_log.string() + ".ready");
    }
    // The bus names of the items that have registered, oldest first.
    QStringList items() const {
        QFile file(QString::fromStdString(m_log.string()));
        if (!file.open(QIODevice::ReadOnly)) {
            return {};
        }
        return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    // A click on the newest item's icon.
    void activate() const { talvik::test::writeFile(m_log.parent_path() / "ACTIVATE", ""); }

private:
    std::filesystem::path m_log;
    QByteArray m_address;
    int m_daemonPid = 0;
    QProcess m_watcher;
};

} // namespace

// Where the desktop has a notification area on the session bus (a
// StatusNotifierWatcher, as on Plasma and in the panels of wlroots desktops),
// the minimise button puts Talvik's icon there through Qt's StatusNotifierItem
// support, and a click on the icon brings the window back.
TEST(WaylandTray, MinimisedToTheNotificationAreaOfTheSessionBus) {
    ASSERT_TRUE(useCompositor("weston"));
    talvik::test::CTempDir dir;
    CNotificationArea area(dir.path());
    ASSERT_TRUE(area.ready());
    talvik::test::qtApp();
    CRunningProgram program(1);
    ASSERT_TRUE(program.start());
    talvik::shell::COrsaDlg& main = *program.window;

    postClick(main, main.indexOfId(talvik::layout::main_id::Minimise));
    ASSERT_TRUE(waitFor([&] { return !main.isVisible(); })) << "the window stayed";
    ASSERT_TRUE(waitFor([&] { return !area.items().isEmpty(); })) << "no item registered";
    area.activate();
    EXPECT_TRUE(waitFor([&] { return main.isVisible(); })) << "the icon did not bring it back";
}
