// The main window's commands on a real X server and the simulated keyboard,
// driven by real pointer and key events through every dialog they open.

#include "QtTestApp.h"
#include "XDriver.h"
#include "model/ModelTestSupport.h"

#include "talvik/editor/COrsaDialogKeyMapSettings.h"
#include "talvik/jobs/CDeviceWorkerSlot.h"
#include "talvik/model/CAppState.h"
#include "talvik/program/ProgramDialogs.h"
#include "talvik/shell/COrsaApp.h"
#include "talvik/shell/COrsaDlg.h"

#include "support/TestSupport.h"
#include "talvik/layout/KeySettingsLayout.h"
#include "talvik/layout/MainPanels.h"
#include "talvik/layout/SkinLayout.h"

#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

using namespace talvik::model;

namespace id = talvik::layout::main_id;
namespace keymap = talvik::layout::keymap_id;
using talvik::editor::COrsaDialogKeyMapSettings;
using talvik::test::CModalScript;
using talvik::test::waitFor;
using talvik::text::Language;

namespace {

constexpr int kKeyA = 43;
constexpr int kSaveSlot = 5;
constexpr int kOpenSlot = 6;
constexpr int kClearSlot = 7;

// The program as start-up builds it, on the simulated keyboard of `model`,
// with the fixture's X server and its own temporary folder.
class CRunningProgram {
public:
    explicit CRunningProgram(int model)
        : state(talvik::test::processSimulator(model)), app(state), window(nullptr) {}

    bool start() {
        state.modelNumber = state.device.DetectDeviceType();
        QString error;
        if (!app.loadSkin(state.modelNumber, error, talvik::test::builtSkinPath())) {
            return false;
        }
        state.buildNameTables();
        window = std::make_unique<talvik::shell::COrsaDlg>(app, state);
        talvik::program::installDialogs(*window, app, state, worker);
        if (!window->initialise()) {
            return false;
        }
        window->show();
        return QTest::qWaitForWindowExposed(window.get());
    }

    void click(int slot) {
        talvik::test::clickAt(talvik::test::centreOf(
            *window, window->elements()[static_cast<std::size_t>(slot)].rect));
    }

    CAppState state;
    talvik::shell::COrsaApp app;
    talvik::jobs::CDeviceWorkerSlot worker;
    std::unique_ptr<talvik::shell::COrsaDlg> window;
};

// Runs `script` against the dialogs that a click on `slot` opens, until the
// script is done and no dialog is left open.
::testing::AssertionResult clickThrough(CRunningProgram& program, int slot, CModalScript& script) {
    program.click(slot);
    if (!waitFor([&] { return script.finished(); })) {
        return ::testing::AssertionFailure()
               << "still waiting for: " << script.pending().toStdString();
    }
    waitFor([] { return QApplication::activeModalWidget() == nullptr; });
    return ::testing::AssertionSuccess();
}

class EndToEndCommands : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(talvik::test::useFixtureDisplay());
        talvik::test::qtApp();
        unplugFile = (dir.path() / "unplugged").string();
        qputenv("TALVIK_SIMULATOR_UNPLUG_FILE", QByteArray::fromStdString(unplugFile));
    }
    void TearDown() override { qunsetenv("TALVIK_SIMULATOR_UNPLUG_FILE"); }

    QString pathIn(const char* name) const {
        return QString::fromStdString((dir.path() / name).string());
    }

    talvik::test::CTempDir dir;
    std::string unplugFile;
};

} // namespace

TEST_F(EndToEndCommands, SaveClearOpenAndTheUnplugOffer) {
    CRunningProgram program(1);
    ASSERT_TRUE(program.start());
    CAppState& state = program.state;
    state.keyConfig.Mode[kKeyA][0] = KeyMode::Macro;
    state.keyConfig.HWCode[kKeyA][0] = 0;
    state.keyConfig.ComboKey[kKeyA][0].append("B Down");

    // Save: the dialog adds the suffix.
    CModalScript save;
    save.choosePath(pathIn("e2e"));
    ASSERT_TRUE(clickThrough(program, kSaveSlot, save));
    ASSERT_TRUE(QFileInfo::exists(pathIn("e2e.pro")));

    program.click(kClearSlot);
    ASSERT_TRUE(waitFor([&] { return state.keyConfig.Mode[kKeyA][0] == KeyMode::Single; }));
    EXPECT_EQ(state.modified, 0);

    CModalScript open;
    open.choosePath(pathIn("e2e.pro"));
    ASSERT_TRUE(clickThrough(program, kOpenSlot, open));
    EXPECT_EQ(state.keyConfig.Mode[kKeyA][0], KeyMode::Macro) << "the configuration is back";
    EXPECT_EQ(state.keyConfig.ComboKey[kKeyA][0].items(), std::vector<std::string>{"B Down"});

    // Unplugged with unwritten settings: told, offered a save, then the end.
    state.modified = 1;
    QStringList texts;
    CModalScript unplugged;
    unplugged.answer(QMessageBox::Ok, &texts)
        .answer(QMessageBox::Yes, &texts)
        .choosePath(pathIn("rescued"));
    talvik::test::writeFile(unplugFile, "");
    ASSERT_TRUE(waitFor([&] { return unplugged.finished(); }))
        << "still waiting for: " << unplugged.pending().toStdString();
    ASSERT_TRUE(waitFor([&] { return !program.window->isVisible(); }));
    EXPECT_TRUE(QFileInfo::exists(pathIn("rescued.pro")));
    ASSERT_EQ(texts.size(), 2);
    EXPECT_EQ(texts[0], QStringLiteral("Keyboard is not connected"));
    EXPECT_TRUE(texts[1].contains(QStringLiteral("按键设置还没有写入键盘")));
}

namespace {

constexpr int kKeyQ = 29;
constexpr int kWriteSlot = 8;
constexpr int kReadCountersSlot = 1;
constexpr int kReadAllSlot = 10;
constexpr int kExitSlot = 4;
// "VolumeUp" of the multimedia functions, and its button in the key settings.
constexpr int kVolumeUpCode = 113;
constexpr int kVolumeUpElement = 407;

// A keyboard that has been used: every key pressed a few times, "A" most
// often and "Q" least.
std::string usedKeyboardState() {
    std::string counters;
    for (int key = 1; key <= 87; ++key) {
        counters += ' ' + std::to_string(key == kKeyA ? 900 : (key == kKeyQ ? 3 : 40 + key));
    }
    return "talvik-simulator-state 1\nmodel 1\ncounters" + counters + "\n";
}

// Clicks a button whose job ends with "OK!!", and answers that.
::testing::AssertionResult runJobButton(CRunningProgram& program, int slot) {
    QStringList texts;
    CModalScript script;
    script.answer(QMessageBox::Ok, &texts);
    ::testing::AssertionResult done = clickThrough(program, slot, script);
    if (!done) {
        return done;
    }
    if (texts != QStringList{QStringLiteral("OK!!")}) {
        return ::testing::AssertionFailure() << texts.join(QLatin1Char('|')).toStdString();
    }
    return ::testing::AssertionSuccess();
}

// Points at a key and returns the information box once it shows `expected`
// (or what it shows when that never comes).
QString keyDetails(CRunningProgram& program, int key, const QString& expected) {
    const QPoint centre = talvik::test::centreOf(
        *program.window, program.window->elements()[static_cast<std::size_t>(12 + key)].rect);
    QString text;
    talvik::test::pointAt(program.window->mapToGlobal(QPoint(5, 300))); // off every key
    talvik::test::pointAt(centre);
    waitFor([&] {
        text = program.window->infoBox().text();
        return text.contains(expected);
    });
    return text;
}

// Clicks `key` in the main window; in the key settings dialog it opens,
// clicks the Multimedia tab, Volume Up and OK, as a user does.
::testing::AssertionResult assignVolumeUpThroughTheDialog(CRunningProgram& program, int key) {
    CModalScript script;
    script.then(QStringLiteral("key settings dialog"), [](QWidget& modal) {
        auto* dialog = dynamic_cast<COrsaDialogKeyMapSettings*>(&modal);
        if (dialog == nullptr) {
            return false;
        }
        for (const int element : {keymap::FirstTab + 3, kVolumeUpElement, keymap::Ok}) {
            talvik::test::clickAt(talvik::test::centreOf(*dialog, dialog->element(element).rect));
            // Each click acts before the next one comes, never seen as a double click.
            if (!waitFor([dialog] { return !dialog->clickWaiting(); })) {
                return false;
            }
        }
        return true;
    });
    return clickThrough(program, 12 + key, script);
}

} // namespace

namespace {

// The second run: a new process on the keyboard the first run wrote to.
void readBackInASecondRun(const QString& folder) {
    CRunningProgram program(1);
    ASSERT_TRUE(program.start());
    CAppState& state = program.state;
    EXPECT_EQ(state.keyConfig.Mode[kKeyQ][0], KeyMode::Single) << "a fresh start knows nothing";

    ASSERT_TRUE(runJobButton(program, kReadAllSlot));
    EXPECT_EQ(state.keyConfig.Mode[kKeyQ][0], KeyMode::Multimedia);
    const QString name = QString::fromStdString(state.codeToItem(kVolumeUpCode));
    const QString details = QStringLiteral("顶层键：多媒体键 ") + name;
    EXPECT_TRUE(keyDetails(program, kKeyQ, details).contains(details));
    const SkinRect q = program.window->elements()[12 + kKeyQ].rect;
    const QImage screen = talvik::test::grabScreen(*program.window);
    EXPECT_EQ(screen.pixel((q.left + q.right) / 2, q.bottom - 2), qRgb(255, 0, 255))
        << "the Multimedia marker";

    ASSERT_TRUE(runJobButton(program, kReadCountersSlot));
    EXPECT_EQ(state.mostPressedKey, kKeyA);
    EXPECT_EQ(state.leastPressedKey, kKeyQ);
    const QString shots = qEnvironmentVariable("TALVIK_SCREENSHOT_DIR");
    for (const char* language : {"zh", "en"}) {
        keyDetails(program, kKeyQ,
                   QString::fromUtf8(language == std::string("zh") ? "低频键：Q" : "Lowest: Q"));
        if (!shots.isEmpty()) {
            talvik::test::grabScreen(*program.window)
                .save(
                    QStringLiteral("%1/main-counters-%2.png").arg(shots, QLatin1String(language)));
        }
        program.click(0); // the language button
        waitFor([&] { return state.language == Language::English; });
    }
    ASSERT_TRUE(waitFor([&] { return state.language == Language::Chinese; }));

    // Save, clear, open: the configuration read from the keyboard is back.
    CModalScript save;
    save.choosePath(folder + QStringLiteral("/read"));
    ASSERT_TRUE(clickThrough(program, kSaveSlot, save));
    program.click(kClearSlot);
    ASSERT_TRUE(waitFor([&] { return state.keyConfig.Mode[kKeyQ][0] == KeyMode::Single; }));
    ASSERT_TRUE(waitFor([&] { return state.busy == 0; }));
    CModalScript open;
    open.choosePath(folder + QStringLiteral("/read.pro"));
    ASSERT_TRUE(clickThrough(program, kOpenSlot, open));
    EXPECT_EQ(state.keyConfig.Mode[kKeyQ][0], KeyMode::Multimedia);
    EXPECT_EQ(state.keyConfig.HWCode[kKeyQ][0], kVolumeUpCode);
}

} // namespace

// The first run: a key gets a multimedia function, the keys are written, the
// program ends. The second run, a new process on the same simulated keyboard,
// reads everything back.
TEST_F(EndToEndCommands, WrittenKeysAreThereWhenTheProgramStartsAgain) {
    const QString secondRunFolder = qEnvironmentVariable("TALVIK_E2E_FOLDER");
    if (!secondRunFolder.isEmpty()) {
        readBackInASecondRun(secondRunFolder);
        return;
    }
    const std::string stateFile = (dir.path() / "keyboard.state").string();
    talvik::test::writeFile(stateFile, usedKeyboardState());
    qputenv("TALVIK_SIMULATOR_STATE", QByteArray::fromStdString(stateFile));
    {
        CRunningProgram program(1);
        ASSERT_TRUE(program.start());
        ASSERT_TRUE(assignVolumeUpThroughTheDialog(program, kKeyQ));
        EXPECT_EQ(program.state.keyConfig.Mode[kKeyQ][0], KeyMode::Multimedia);
        EXPECT_EQ(program.state.keyConfig.HWCode[kKeyQ][0], kVolumeUpCode);
        EXPECT_EQ(program.state.modified, 1);
        ASSERT_TRUE(runJobButton(program, kWriteSlot));
        EXPECT_EQ(program.state.modified, 0);

        CModalScript exit;
        exit.answer(QMessageBox::No);
        ASSERT_TRUE(clickThrough(program, kExitSlot, exit));
        ASSERT_TRUE(waitFor([&] { return !program.window->isVisible(); }));
    }

    QProcess second;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TALVIK_E2E_FOLDER"), QString::fromStdString(dir.path()));
    second.setProcessEnvironment(environment);
    second.setProcessChannelMode(QProcess::MergedChannels);
    second.start(
        QCoreApplication::applicationFilePath(),
        {QStringLiteral(
            "--gtest_filter=EndToEndCommands.WrittenKeysAreThereWhenTheProgramStartsAgain")});
    ASSERT_TRUE(second.waitForFinished(90000));
    const std::string output = second.readAll().toStdString();
    EXPECT_EQ(second.exitCode(), 0) << output;
    qunsetenv("TALVIK_SIMULATOR_STATE");
}

namespace {

// A right-click at `global` through the X server, and the menu it opens.
QMenu* rightClickMenu(CRunningProgram& program, QPoint global) {
    talvik::test::pointAt(global);
    talvik::test::xdotool({QStringLiteral("click"), QStringLiteral("3")});
    waitFor([&] { return program.window->contextMenu() && program.window->contextMenu()->isVisible(); });
    return program.window->contextMenu();
}

} // namespace

// Volume Up on Q, Clear, and the keys take it back and forth; a key changed since the
// keyboard was read carries its mark, which a write takes away.
TEST_F(EndToEndCommands, UndoAndRedoFromTheKeysAndTheMarksOfUnwrittenKeys) {
    CRunningProgram program(1);
    ASSERT_TRUE(program.start());
    CAppState& state = program.state;
    ASSERT_TRUE(runJobButton(program, kReadAllSlot));
    ASSERT_TRUE(state.keyboard.keys);
    ASSERT_TRUE(assignVolumeUpThroughTheDialog(program, kKeyQ));
    ASSERT_EQ(state.keyConfig.HWCode[kKeyQ][0], kVolumeUpCode);
    EXPECT_TRUE(keyDetails(program, kKeyQ, QStringLiteral("（尚未写入）")).contains(QStringLiteral("（尚未写入）")));
    const SkinRect q = program.window->elements()[12 + kKeyQ].rect;
    const int inset = talvik::layout::kKeycapInset + 3;
    const QPoint mark(q.left + inset + talvik::layout::kUnwrittenMarkSize / 2,
                      q.bottom - inset - talvik::layout::kUnwrittenMarkSize / 2);
    EXPECT_EQ(talvik::test::grabScreen(*program.window).pixel(mark), qRgb(255, 244, 214));

    program.click(kClearSlot);
    ASSERT_TRUE(waitFor([&] { return state.keyConfig.Mode[kKeyQ][0] == KeyMode::Single; }));
    program.window->activateWindow();
    ASSERT_TRUE(waitFor([&] { return program.window->isActiveWindow(); }));
    talvik::test::pressKey("ctrl+z");
    ASSERT_TRUE(waitFor([&] { return state.keyConfig.HWCode[kKeyQ][0] == kVolumeUpCode; }));
    EXPECT_EQ(state.keyConfig.Mode[kKeyQ][0], KeyMode::Multimedia);
    EXPECT_TRUE(waitFor([&] {
        return program.window->infoBox().text().endsWith(QStringLiteral("已撤销：恢复默认配置"));
    })) << program.window->infoBox().text().toStdString();
    talvik::test::pressKey("ctrl+shift+z");
    ASSERT_TRUE(waitFor([&] { return state.keyConfig.Mode[kKeyQ][0] == KeyMode::Single; }));
    talvik::test::pressKey("ctrl+z");
    ASSERT_TRUE(waitFor([&] { return state.keyConfig.HWCode[kKeyQ][0] == kVolumeUpCode; }));

    // The menu off the keys, in both languages, and the marks, for the record.
    const QPoint offTheKeys = program.window->mapToGlobal(QPoint(640, 140));
    for (const char* language : {"zh", "en"}) {
        const QString unwritten = QString::fromUtf8(
            language == std::string("zh") ? "（尚未写入）" : "(not written yet)");
        EXPECT_TRUE(keyDetails(program, kKeyQ, unwritten).contains(unwritten));
        talvik::test::saveShot(talvik::test::grabScreen(*program.window),
                               QStringLiteral("main-unwritten-%1.png").arg(QLatin1String(language)));
        QMenu* menu = rightClickMenu(program, offTheKeys);
        ASSERT_NE(menu, nullptr);
        EXPECT_TRUE(menu->actions().front()->isEnabled());
        talvik::test::saveShot(talvik::test::grabScreen(*program.window),
                               QStringLiteral("main-menu-%1.png").arg(QLatin1String(language)));
        menu->close();
        ASSERT_TRUE(waitFor([&] { return !menu->isVisible(); }));
        program.click(0); // the language button
        ASSERT_TRUE(waitFor([&, language] {
            return state.language == (language == std::string("zh") ? Language::English : Language::Chinese);
        }));
    }

    ASSERT_TRUE(runJobButton(program, kWriteSlot));
    EXPECT_NE(talvik::test::grabScreen(*program.window).pixel(mark), qRgb(255, 244, 214))
        << "written: no mark";
}
