// Start-up: model detection with its retries, the skin file, and the order
// in which the program comes up.

#include "MainWindowFixture.h"
#include "talvik/shell/COrsaDialogWaitKeyboard.h"
#include "talvik/shell/InstallPaths.h"
#include "talvik/shell/SessionBus.h"

#include "talvik/layout/WaitLayout.h"

#include <QDBusConnection>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QProcessEnvironment>
#include <QTimer>
#include <gtest/gtest.h>

#include <filesystem>

#include "support/TestSupport.h"

using namespace talvik::model;

using talvik::shell::COrsaApp;
using talvik::shell::COrsaDialogWaitKeyboard;
using talvik::shell::CStartupHooks;
using talvik::shell::detectModel;
using talvik::text::Language;

namespace {

struct CDetector {
    explicit CDetector(std::vector<int> given) : answers(std::move(given)) {}
    std::vector<int> answers; // the last one repeats
    int calls = 0;
    std::vector<int> sleeps;

    int detect() {
        const auto i = static_cast<std::size_t>(calls++);
        return i < answers.size() ? answers[i] : answers.back();
    }
};

} // namespace

TEST(Startup, KeyboardPresentMeansOneDetectionAndNoSleep) {
    CDetector d({4});
    EXPECT_EQ(detectModel([&] { return d.detect(); }, [&](int ms) { d.sleeps.push_back(ms); }), 4);
    EXPECT_EQ(d.calls, 1);
    EXPECT_TRUE(d.sleeps.empty());
}

TEST(Startup, KeyboardPluggedInDuringDetectionIsFoundOnTheNextRetry) {
    CDetector d({0, 0, 2});
    EXPECT_EQ(detectModel([&] { return d.detect(); }, [&](int ms) { d.sleeps.push_back(ms); }), 2);
    EXPECT_EQ(d.calls, 3);
    EXPECT_EQ(d.sleeps, (std::vector<int>{1000, 1000})) << "the successful retry sleeps too";
}

TEST(Startup, NoKeyboardGivesUpAfterTwelveCalls) {
    CDetector d({0});
    EXPECT_EQ(detectModel([&] { return d.detect(); }, [&](int ms) { d.sleeps.push_back(ms); }), 0);
    EXPECT_EQ(d.calls, 12);
    EXPECT_EQ(d.sleeps.size(), 11u);
}

TEST(Startup, MissingOrBrokenSkinIsReportedNotCrashed) {
    talvik::test::qtApp();
    CAppState state(CDeviceEnvironment::withoutDevices());
    COrsaApp app(state);
    QString error;
    EXPECT_FALSE(app.loadSkin(1, error, QStringLiteral("/nonexistent/TalvikRES.rcc")));
    EXPECT_TRUE(error.contains(QStringLiteral("/nonexistent/TalvikRES.rcc")));
    EXPECT_TRUE(app.m_bmpMainNormal.isNull());

    talvik::test::CTempDir dir;
    const auto garbage = dir.path() / "TalvikRES.rcc";
    talvik::test::writeFile(garbage, "not a resource file");
    error.clear();
    EXPECT_FALSE(app.loadSkin(1, error, QString::fromStdString(garbage.string())));
    EXPECT_FALSE(error.isEmpty());

    // The real skin with a sparse hole after it to two gigabytes: only its size refuses it.
    const auto huge = dir.path() / "huge.rcc";
    std::filesystem::copy_file(talvik::test::builtSkinPath().toStdString(), huge);
    std::filesystem::resize_file(huge, std::uintmax_t{2} << 30);
    error.clear();
    EXPECT_FALSE(app.loadSkin(1, error, QString::fromStdString(huge.string())));
    EXPECT_TRUE(error.contains(QStringLiteral("huge.rcc is larger than 64 MB")))
        << error.toStdString();
    EXPECT_TRUE(error.contains(QStringLiteral("huge.rcc 超过 64 MB"))) << error.toStdString();
    EXPECT_TRUE(app.m_bmpMainNormal.isNull());
    error.clear();
    EXPECT_FALSE(app.loadSkin(1, error, QString::fromStdString(dir.path().string())))
        << "a folder is no skin file";

    std::vector<QString> failures;
    CStartupHooks hooks;
    hooks.detect = [] { return 1; };
    hooks.sleep = [](int) {};
    hooks.fail = [&](const QString& text) { failures.push_back(text); };
    hooks.resourcePath = QStringLiteral("/nonexistent/TalvikRES.rcc");
    EXPECT_EQ(app.run(hooks), 1);
    EXPECT_EQ(failures.size(), 1u);
}

TEST(Startup, RunsDetectionSkinTablesAndWindowInOrder) {
    talvik::test::qtApp();
    CAppState state(CDeviceEnvironment::withoutDevices());
    COrsaApp app(state);
    CDetector d({0, 3});
    std::vector<std::string> seen;
    CStartupHooks hooks;
    hooks.detect = [&] { return d.detect(); };
    hooks.sleep = [&](int ms) { d.sleeps.push_back(ms); };
    hooks.resourcePath = talvik::test::builtSkinPath();
    hooks.prepareWindow = [&](talvik::shell::COrsaDlg& window) {
        // By now the model is known, the skin loaded and the tables built.
        seen.push_back(std::to_string(state.modelNumber) + " " +
                       std::string(talvik::text::tagOf(state.language)) + " " +
                       (app.m_bmpMainNormal.isNull() ? "no skin" : "skin"));
        window.setKeyboardLink({[] { return false; }, [] { return false; }, [] { return false; }});
        window.setMessageSink([&](const QString& text) { seen.push_back(text.toStdString()); });
    };
    EXPECT_EQ(app.run(hooks), 0);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], "3 zh-CN skin");
    EXPECT_EQ(seen[1].rfind("Keyboard is not connected!", 0), 0u) << seen[1];
    EXPECT_EQ(d.calls, 2);
    EXPECT_EQ(d.sleeps.size(), 1u);
    EXPECT_TRUE(app.m_bmpMainNormal.isNull()) << "the skin is released at the end";
}

// An installed program finds its skin, help and udev rule from its own
// folder, under any prefix; a build tree keeps them beside the program.
TEST(InstallPaths, DataIsFoundBesideTheProgramOrUnderItsPrefix) {
    using talvik::shell::dataDirectory;
    using talvik::shell::dataFilePath;
    using talvik::shell::installedUdevRule;
    talvik::test::CTempDir prefix;
    const auto bin = prefix.path() / "opt dir" / "bin";
    const auto share = prefix.path() / "opt dir" / "share" / "talvik";
    const QString program = QString::fromStdString(bin.string());
    std::filesystem::create_directories(bin);

    // Nothing anywhere: the program's folder, so messages name where it looked.
    EXPECT_EQ(dataDirectory(program), program);
    EXPECT_TRUE(installedUdevRule(program).isEmpty());

    talvik::test::writeFile(share / "TalvikRES.rcc", "skin");
    talvik::test::writeFile(
        prefix.path() / "opt dir" / "lib" / "udev" / "rules.d" / "70-talvik.rules", "rule");
    EXPECT_EQ(dataDirectory(program), QString::fromStdString(share.string()));
    EXPECT_EQ(dataFilePath(QStringLiteral("help/index.html"), program),
              QString::fromStdString((share / "help" / "index.html").string()));
    EXPECT_TRUE(installedUdevRule(program).endsWith(
        QStringLiteral("/opt dir/lib/udev/rules.d/70-talvik.rules")));

    // A skin beside the program (a build tree) wins over an installed one.
    talvik::test::writeFile(bin / "TalvikRES.rcc", "skin");
    EXPECT_EQ(dataDirectory(program), program);
}

namespace {

// Start-up with every hook set, and what it showed collected.
struct CSearchRun {
    explicit CSearchRun(std::vector<int> answers)
        : state(CDeviceEnvironment::withoutDevices()), app(state), detector(std::move(answers)) {
        talvik::test::qtApp();
        hooks.detect = [this] { return detector.detect(); };
        hooks.sleep = [this](int ms) {
            detector.sleeps.push_back(ms);
            if (wait != nullptr) {
                visibleDuringSleeps += wait->isVisible() ? 1 : 0;
                attempts.push_back(attemptText());
            }
            if (onSleep) {
                onSleep();
            }
        };
        hooks.resourcePath = talvik::test::builtSkinPath();
        hooks.prepareWait = [this](COrsaDialogWaitKeyboard& window) {
            wait = &window;
            ++waitWindows;
        };
        hooks.prepareWindow = [this](talvik::shell::COrsaDlg& window) {
            wait = nullptr; // gone by now
            mainWindowReached = true;
            window.setKeyboardLink(
                {[] { return false; }, [] { return false; }, [] { return false; }});
            window.setMessageSink([this](const QString& text) { messages << text; });
        };
    }

    QString attemptText() {
        for (SkinElement& e : wait->elements()) {
            if (e.id == talvik::layout::wait_id::Attempt) {
                return e.caption(Language::Chinese);
            }
        }
        return {};
    }

    CAppState state;
    COrsaApp app;
    CDetector detector;
    CStartupHooks hooks;
    COrsaDialogWaitKeyboard* wait = nullptr;
    int waitWindows = 0;
    int visibleDuringSleeps = 0;
    QStringList attempts;
    QStringList messages;
    bool mainWindowReached = false;
    std::function<void()> onSleep;
};

} // namespace

TEST(KeyboardSearch, WindowShowsFromTheFirstMissAndTheRetriesKeepTheirTiming) {
    CSearchRun run({0});
    EXPECT_EQ(run.app.run(run.hooks), 0);
    EXPECT_EQ(run.waitWindows, 1);
    EXPECT_EQ(run.detector.calls, 12);
    EXPECT_EQ(run.detector.sleeps, std::vector<int>(11, 1000));
    EXPECT_EQ(run.visibleDuringSleeps, 11) << "shown before the first retry";
    ASSERT_EQ(run.attempts.size(), 11);
    EXPECT_EQ(run.attempts.front(), QStringLiteral("第 2 次，共 12 次\nattempt 2 of 12"));
    EXPECT_EQ(run.attempts.back(), QStringLiteral("第 12 次，共 12 次\nattempt 12 of 12"));
    // Then the main window says what to check.
    EXPECT_TRUE(run.mainWindowReached);
    ASSERT_EQ(run.messages.size(), 1);
    EXPECT_TRUE(run.messages[0].startsWith(QStringLiteral("Keyboard is not connected!")));
}

TEST(KeyboardSearch, KeyboardFoundAtOnceShowsNoWindow) {
    CSearchRun run({2});
    EXPECT_EQ(run.app.run(run.hooks), 0);
    EXPECT_EQ(run.waitWindows, 0);
    EXPECT_EQ(run.state.modelNumber, 2);
}

TEST(KeyboardSearch, QuitButtonAndEscapeEndTheProgramWithoutAMessage) {
    for (const bool escape : {false, true}) {
        CSearchRun run({0});
        run.onSleep = [&run, escape] {
            if (run.detector.sleeps.size() != 3) {
                return;
            }
            if (escape) {
                QKeyEvent key(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                QCoreApplication::sendEvent(run.wait, &key);
                return;
            }
            const int quit = run.wait->indexOfId(talvik::layout::wait_id::Quit);
            const SkinRect r = run.wait->elements()[static_cast<std::size_t>(quit)].rect;
            const QPoint at((r.left + r.right) / 2, (r.top + r.bottom) / 2);
            QMouseEvent release(QEvent::MouseButtonRelease, QPointF(at),
                                QPointF(run.wait->mapToGlobal(at)), Qt::LeftButton, Qt::NoButton,
                                Qt::NoModifier);
            QCoreApplication::sendEvent(run.wait, &release);
        };
        EXPECT_EQ(run.app.run(run.hooks), 0);
        EXPECT_EQ(run.detector.calls, 4) << "no retry after the third";
        EXPECT_FALSE(run.mainWindowReached);
        EXPECT_TRUE(run.messages.isEmpty());
    }
}

// The program's own waits keep the window alive and end early on Quit.
TEST(KeyboardSearch, WaitsBetweenRetriesKeepTheWindowResponsive) {
    CSearchRun run({0});
    run.hooks.sleep = {};
    run.hooks.prepareWait = [&run](COrsaDialogWaitKeyboard& window) {
        run.wait = &window;
        QTimer::singleShot(300, &window, [&window] {
            QKeyEvent key(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QCoreApplication::sendEvent(&window, &key);
        });
    };
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(run.app.run(run.hooks), 0);
    EXPECT_LT(timer.elapsed(), 900) << "the wait ends when the user quits";
    EXPECT_EQ(run.detector.calls, 2);
    EXPECT_FALSE(run.mainWindowReached);
}

// The lit keycap walks along with the attempts.
TEST(KeyboardSearch, WindowLightsOneKeycapAfterTheOther) {
    talvik::test::qtApp();
    CAppState state(CDeviceEnvironment::withoutDevices());
    COrsaApp app(state);
    QString error;
    ASSERT_TRUE(app.registerSkin(error, talvik::test::builtSkinPath())) << error.toStdString();
    COrsaDialogWaitKeyboard window(app);
    ASSERT_TRUE(window.initialise(QSize(1920, 1080)));
    EXPECT_EQ(window.size(), QSize(talvik::layout::kWaitWidth, talvik::layout::kWaitHeight));
    const auto keycap = [&window](int i) {
        const SkinRect r = window
                               .elements()[static_cast<std::size_t>(
                                   window.indexOfId(talvik::layout::wait_id::FirstKeycap + i))]
                               .rect;
        return QRect(r.left, r.top, r.width(), r.height());
    };
    window.setAttempt(2, 12);
    const QImage second = window.renderCanvas();
    window.setAttempt(3, 12);
    const QImage third = window.renderCanvas();
    EXPECT_NE(second.copy(keycap(1)), third.copy(keycap(1)));
    EXPECT_NE(second.copy(keycap(2)), third.copy(keycap(2)));
    EXPECT_EQ(second.copy(keycap(0)), third.copy(keycap(0)));
    window.setAttempt(6, 12); // wraps round to the second keycap
    EXPECT_EQ(window.renderCanvas().copy(keycap(1)), second.copy(keycap(1)));

    const QString shots = qEnvironmentVariable("TALVIK_SCREENSHOT_DIR");
    if (!shots.isEmpty()) {
        window.setAttempt(3, 12);
        QDir().mkpath(shots);
        // What the screen shows: the window's shape, with nothing around it.
        QImage shot = window.grab().toImage().convertToFormat(QImage::Format_ARGB32);
        const QRegion shape = window.mask();
        for (int y = 0; y < shot.height(); ++y) {
            for (int x = 0; x < shot.width(); ++x) {
                if (!shape.contains(QPoint(x, y))) {
                    shot.setPixel(x, y, qRgba(0, 0, 0, 0));
                }
            }
        }
        shot.save(shots + QStringLiteral("/wait-for-keyboard.png"));
    }
}

// A keyboard of another model in place of the one that went: Yes to starting
// again ends the main window and starts the program over, as at start-up, for
// the new model, in the language the user had chosen.
TEST(KeyboardSearch, StartingAgainForAnotherModelRunsTheStartUpOnceMore) {
    CSearchRun run({1, 4});
    std::vector<int> windowModels;
    QStringList questions;
    run.hooks.prepareWindow = [&](talvik::shell::COrsaDlg& window) {
        windowModels.push_back(run.state.modelNumber);
        window.setMessageSink([&](const QString& text) { run.messages << text; });
        if (windowModels.size() > 1) {
            // The second start finds no keyboard answering, and ends there.
            window.setKeyboardLink({[] { return false; }, [] { return false; }, [] { return false; }});
            return;
        }
        talvik::shell::CKeyboardLink link{[] { return true; }, [] { return true; }, [] { return true; }};
        link.model = [] { return 4; };
        link.connected = [] { return false; }; // the connection found the keyboard gone
        window.setKeyboardLink(std::move(link));
        window.setQuestionSink([&](const QString&, const QString& text) {
            questions << text;
            return questions.size() == 2; // no profile; yes, start again
        });
        QTimer::singleShot(0, &window, [&window, &run] {
            run.state.language = Language::English;
            window.checkDevice(); // gone
            window.checkDevice(); // another model there
        });
    };
    EXPECT_EQ(run.app.run(run.hooks), 0);
    EXPECT_EQ(windowModels, (std::vector<int>{1, 4}));
    ASSERT_EQ(questions.size(), 2);
    EXPECT_TRUE(questions[0].contains(QStringLiteral("Talvik(RGB)"))) << questions[0].toStdString();
    EXPECT_TRUE(questions[1].startsWith(QStringLiteral("Restart Talvik for the Talvik(RGB)")));
    EXPECT_EQ(run.state.modelNumber, 4);
    EXPECT_EQ(run.state.language, Language::English);
    EXPECT_EQ(run.messages.size(), 1) << "the second start's own message";
}

// Where the bus library would find a session bus, and that start-up's own
// connection leaves the environment of the programs Talvik starts as it was.
TEST(SessionBus, FoundByAddressSocketOrDbusLaunchAndRefusedAtOnceWithoutThem) {
    using talvik::shell::sessionBusFindable;
    talvik::test::CTempDir runtime;
    talvik::test::CTempDir tools;
    talvik::test::CTempDir path;
    const QString runtimeDir = QString::fromStdString(runtime.path().string());
    const QString toolDir = QString::fromStdString(tools.path().string());
    const QString pathDir = QString::fromStdString(path.path().string());
    QProcessEnvironment none;
    none.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir);
    none.insert(QStringLiteral("PATH"), pathDir + QStringLiteral(":/nonexistent"));
    EXPECT_FALSE(sessionBusFindable(none, toolDir));

    QProcessEnvironment address = none;
    address.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("unix:path=/x"));
    EXPECT_TRUE(sessionBusFindable(address, toolDir));

    // A file that is not a program named dbus-launch finds nothing.
    talvik::test::writeFile(path.path() / "dbus-launch", "");
    EXPECT_FALSE(sessionBusFindable(none, toolDir));
    std::filesystem::permissions(path.path() / "dbus-launch", std::filesystem::perms::owner_all);
    EXPECT_TRUE(sessionBusFindable(none, toolDir));
    std::filesystem::remove(path.path() / "dbus-launch");

    talvik::test::writeFile(tools.path() / "dbus-launch", "");
    std::filesystem::permissions(tools.path() / "dbus-launch", std::filesystem::perms::owner_all);
    EXPECT_TRUE(sessionBusFindable(none, toolDir));
    std::filesystem::remove(tools.path() / "dbus-launch");

    talvik::test::writeFile(runtime.path() / "bus", "");
    EXPECT_TRUE(sessionBusFindable(none, toolDir));
    QProcessEnvironment noRuntime = none;
    noRuntime.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    EXPECT_FALSE(sessionBusFindable(noRuntime, toolDir));

    // This process, without a bus: refused, and the variable is gone again.
    if (sessionBusFindable(QProcessEnvironment::systemEnvironment())) {
        GTEST_SKIP() << "this machine has a session bus or dbus-launch";
    }
    talvik::shell::connectSessionBus();
    EXPECT_FALSE(qEnvironmentVariableIsSet("DBUS_SESSION_BUS_ADDRESS"));
    EXPECT_FALSE(QDBusConnection::sessionBus().isConnected());
}
