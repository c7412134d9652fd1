// The main window's commands on a real X server and the simulated keyboard,
// driven by real pointer and key events through every dialog they open.

#include "QtTestApp.h"
#include "RunningProgram.h"
#include "XDriver.h"
#include "model/ModelTestSupport.h"

#include "talvik/device/COrsaDialogFirmwareUpdate.h"
#include "talvik/editor/COrsaDialogKeyMapSettings.h"
#include "talvik/jobs/CDeviceWorkerSlot.h"
#include "talvik/jobs/CJobControl.h"
#include "talvik/jobs/JobText.h"
#include "talvik/model/CAppState.h"
#include "talvik/program/ProgramDialogs.h"
#include "talvik/shell/COrsaApp.h"
#include "talvik/shell/COrsaDlg.h"
#include "talvik/shell/PaletteColour.h"
#include "talvik/shell/WindowShape.h"

#include "support/TestSupport.h"
#include "talvik/layout/DeviceLayout.h"
#include "talvik/layout/KeySettingsLayout.h"
#include "talvik/layout/MainPanels.h"
#include "talvik/layout/SkinLayout.h"

#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iostream>
#include <memory>
#include <utility>

using namespace talvik::model;

namespace id = talvik::layout::main_id;
namespace keymap = talvik::layout::keymap_id;
using talvik::editor::COrsaDialogKeyMapSettings;
using talvik::test::CModalScript;
using talvik::test::waitFor;
using talvik::text::Language;

using talvik::test::CRunningProgram;

namespace {

constexpr int kKeyA = 43;
constexpr int kSaveSlot = 5;
constexpr int kOpenSlot = 6;
constexpr int kClearSlot = 7;

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

TEST_F(EndToEndCommands, SaveClearAndOpen) {
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
    waitFor([&] {
        return program.window->contextMenu() && program.window->contextMenu()->isVisible();
    });
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
    EXPECT_TRUE(keyDetails(program, kKeyQ, QStringLiteral("（尚未写入）"))
                    .contains(QStringLiteral("（尚未写入）")));
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
        const QString unwritten =
            QString::fromUtf8(language == std::string("zh") ? "（尚未写入）" : "(not written yet)");
        EXPECT_TRUE(keyDetails(program, kKeyQ, unwritten).contains(unwritten));
        talvik::test::saveShot(
            talvik::test::grabScreen(*program.window),
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
            return state.language ==
                   (language == std::string("zh") ? Language::English : Language::Chinese);
        }));
    }

    ASSERT_TRUE(runJobButton(program, kWriteSlot));
    EXPECT_NE(talvik::test::grabScreen(*program.window).pixel(mark), qRgb(255, 244, 214))
        << "written: no mark";
}

// The message box after a job and the profile file dialog, as the screen shows them: the
// skin's dark body, and Qt's buttons in the program's language, English after the switch.
TEST_F(EndToEndCommands, MessageBoxesAndFileDialogsInTheSkinsLookAndLanguage) {
    CRunningProgram program(1);
    ASSERT_TRUE(program.start());
    const QString shots = qEnvironmentVariable("TALVIK_SCREENSHOT_DIR");
    const QRgb body = talvik::shell::paletteColour(talvik::layout::kBodyMiddle).rgb();
    for (const QString& okText : {QStringLiteral("确定"), QStringLiteral("OK")}) {
        const bool chinese = okText != QStringLiteral("OK");
        QString seen;
        QRgb corner = 0;
        CModalScript script;
        script.then(QStringLiteral("the OK!! box"), [&](QWidget& modal) {
            auto* box = qobject_cast<QMessageBox*>(&modal);
            if (box == nullptr || !box->isVisible()) {
                return false;
            }
            QAbstractButton* ok = box->button(QMessageBox::Ok);
            seen = ok->text();
            // Off the text and the icon: the box's own body.
            const QImage screen = talvik::test::grabScreen(*box);
            corner = screen.pixel(screen.width() - 3, 3);
            if (!shots.isEmpty()) {
                screen.save(QStringLiteral("%1/message-box-%2.png")
                                .arg(shots, QLatin1String(chinese ? "zh" : "en")));
            }
            talvik::test::clickWidget(*ok);
            return true;
        });
        ASSERT_TRUE(clickThrough(program, kReadCountersSlot, script));
        EXPECT_EQ(seen, okText);
        EXPECT_EQ(corner, body) << std::hex << corner;

        QString cancel;
        CModalScript files;
        files.then(QStringLiteral("the save dialog"), [&](QWidget& modal) {
            auto* dialog = qobject_cast<QFileDialog*>(&modal);
            auto* buttons = dialog == nullptr ? nullptr : dialog->findChild<QDialogButtonBox*>();
            if (buttons == nullptr || !dialog->isVisible()) {
                return false;
            }
            cancel = buttons->button(QDialogButtonBox::Cancel)->text();
            EXPECT_EQ(dialog->palette().color(QPalette::Window).rgb(), body);
            if (!shots.isEmpty()) {
                talvik::test::grabScreen(*dialog).save(
                    QStringLiteral("%1/file-dialog-%2.png")
                        .arg(shots, QLatin1String(chinese ? "zh" : "en")));
            }
            talvik::test::pressKey("Escape");
            return true;
        });
        ASSERT_TRUE(clickThrough(program, kSaveSlot, files));
        EXPECT_EQ(cancel, chinese ? QStringLiteral("取消") : QStringLiteral("Cancel"));
        ASSERT_TRUE(waitFor([&] { return program.state.busy == 0; }));

        program.click(0); // the language button
        ASSERT_TRUE(waitFor([&] {
            return program.state.language == (chinese ? Language::English : Language::Chinese);
        }));
    }
}

// Ctrl+H from the X server after the counters were read: the heatmap, the information
// box's count and share for the key under the pointer, in both languages; Ctrl+H again
// brings the picture back as it was.
TEST_F(EndToEndCommands, HeatmapThroughCtrlHAndThePointer) {
    constexpr int kKeyS = 44;
    std::string counters;
    for (int key = 1; key <= 87; ++key) {
        counters += ' ' + std::to_string(key == kKeyA   ? 5000
                                         : key == kKeyQ ? 500
                                         : key == kKeyS ? 50
                                                        : 0);
    }
    const std::string stateFile = (dir.path() / "keyboard.state").string();
    talvik::test::writeFile(stateFile, "talvik-simulator-state 1\nmodel 1\ncounters" + counters +
                                           "\ntyping off\n");
    qputenv("TALVIK_SIMULATOR_STATE", QByteArray::fromStdString(stateFile));
    CRunningProgram program(1);
    ASSERT_TRUE(program.start());
    qunsetenv("TALVIK_SIMULATOR_STATE");
    ASSERT_TRUE(runJobButton(program, kReadCountersSlot));
    // Off every key, and not where keyDetails starts from.
    const QPoint offTheKeys = program.window->mapToGlobal(QPoint(5, 330));
    talvik::test::pointAt(offTheKeys);
    const QImage before = talvik::test::grabScreen(*program.window);

    talvik::test::pressKey("ctrl+h");
    ASSERT_TRUE(waitFor([&] { return program.window->heatmapShown(); }));
    const QString shots = qEnvironmentVariable("TALVIK_SCREENSHOT_DIR");
    for (const char* language : {"zh", "en"}) {
        const bool chinese = language == std::string("zh");
        // 5000 of 5550 presses.
        const QString share = chinese ? QStringLiteral("5000（占全部敲击的 90.1%）")
                                      : QStringLiteral("5000 (90.1% of all presses)");
        EXPECT_TRUE(keyDetails(program, kKeyA, share).contains(share));
        if (!shots.isEmpty()) {
            talvik::test::grabScreen(*program.window)
                .save(QStringLiteral("%1/main-heatmap-%2.png").arg(shots, QLatin1String(language)));
        }
        const Language next = chinese ? Language::English : Language::Chinese;
        program.click(0); // the language button
        ASSERT_TRUE(waitFor([&] { return program.state.language == next; }));
    }
    EXPECT_TRUE(program.window->heatmapShown()) << "the language does not end the heatmap";

    talvik::test::pointAt(offTheKeys);
    talvik::test::pressKey("ctrl+h");
    ASSERT_TRUE(waitFor([&] { return !program.window->heatmapShown(); }));
    QImage after;
    EXPECT_TRUE(waitFor([&] {
        after = talvik::test::grabScreen(*program.window);
        return after == before;
    })) << "the ordinary picture is back";
}

namespace {

constexpr int kBacklightSlot = 9;
constexpr int kFirmwareSlot = 11;

QString notConnectedText(Language language) {
    return QString::fromUtf8(talvik::jobs::notConnectedText(language));
}

// The connection light of the main window, as the screen shows it.
QRgb connectionLight(CRunningProgram& program) {
    const SkinRect light = talvik::layout::kStatusLight;
    return talvik::test::grabScreen(*program.window)
        .pixel((light.left + light.right) / 2, (light.top + light.bottom) / 2);
}

// What a simulated keyboard started afresh from `stateFile` holds on key Q's top layer.
std::pair<KeyMode, int> keyQInStateFile(const std::string& stateFile) {
    CAppState reader(CDeviceEnvironment::withSimulator(1, {.stateFile = stateFile}));
    reader.modelNumber = 1;
    reader.buildNameTables();
    reader.resetToDefaults();
    if (!reader.device.__createDev()) {
        return {KeyMode::Single, -1};
    }
    talvik::jobs::CJobControl noWaits([](std::chrono::milliseconds) {});
    talvik::jobs::runJobHere(talvik::jobs::EJob::ReadAll, reader, noWaits);
    return {reader.keyConfig.Mode[kKeyQ][0], reader.keyConfig.HWCode[kKeyQ][0]};
}

// Clicks element `id` of a skinned dialog once the script's step has returned:
// the click may open a message box, which the script's next step answers.
void clickSoon(QWidget& modal, int id) {
    QTimer::singleShot(0, &modal, [&modal, id] {
        auto* dialog = dynamic_cast<talvik::shell::CSkinWindow*>(&modal);
        talvik::test::clickAt(talvik::test::centreOf(*dialog, dialog->elementWithId(id).rect));
    });
}

// Takes the keyboard away and waits until the window has seen it go.
bool unplug(CRunningProgram& program, const std::string& unplugFile) {
    talvik::test::writeFile(unplugFile, "");
    return waitFor([&] { return program.window->keyboardGone(); });
}

// Plugs the keyboard in again and waits until the window has connected to it;
// says how long that took.
bool plugIn(CRunningProgram& program, const std::string& unplugFile) {
    QElapsedTimer clock;
    clock.start();
    std::filesystem::remove(unplugFile);
    const bool back = waitFor([&] { return !program.window->keyboardGone(); });
    std::cout << "connected again " << clock.elapsed() << " ms after the keyboard came back\n";
    return back;
}

class EndToEndHotplug : public EndToEndCommands {
protected:
    void SetUp() override {
        EndToEndCommands::SetUp();
        stateFile = (dir.path() / "keyboard.state").string();
        trafficLog = (dir.path() / "traffic.log").string();
        qputenv("TALVIK_SIMULATOR_STATE", QByteArray::fromStdString(stateFile));
        qputenv("TALVIK_SIMULATOR_LOG", QByteArray::fromStdString(trafficLog));
    }
    void TearDown() override {
        qunsetenv("TALVIK_SIMULATOR_STATE");
        qunsetenv("TALVIK_SIMULATOR_LOG");
        EndToEndCommands::TearDown();
    }

    std::string stateFile;
    std::string trafficLog;
};

} // namespace

// The keyboard goes while the key settings dialog is open on Q with Volume Up
// chosen: both windows stay, OK keeps the choice, a write says the keyboard is
// not connected and sends nothing; plugged in again, the window connects by
// itself and the write reaches the keyboard.
TEST_F(EndToEndHotplug, KeySettingsOpenWhileTheKeyboardGoesAndComesBack) {
    CRunningProgram program(1);
    ASSERT_TRUE(program.start());
    CAppState& state = program.state;
    EXPECT_EQ(connectionLight(program), qRgb(0, 200, 90));

    bool bothStayed = false;
    CModalScript script;
    script.then(QStringLiteral("key settings dialog"), [&](QWidget& modal) {
        auto* dialog = dynamic_cast<COrsaDialogKeyMapSettings*>(&modal);
        if (dialog == nullptr) {
            return false;
        }
        const auto clickElement = [dialog](int element) {
            talvik::test::clickAt(talvik::test::centreOf(*dialog, dialog->element(element).rect));
            return waitFor([dialog] { return !dialog->clickWaiting(); });
        };
        if (!clickElement(keymap::FirstTab + 3) || !clickElement(kVolumeUpElement) ||
            !unplug(program, unplugFile)) {
            return false;
        }
        bothStayed = dialog->isVisible() && program.window->isVisible();
        return clickElement(keymap::Ok);
    });
    ASSERT_TRUE(clickThrough(program, 12 + kKeyQ, script));
    EXPECT_TRUE(bothStayed);
    EXPECT_TRUE(program.window->isVisible());
    EXPECT_EQ(state.keyConfig.Mode[kKeyQ][0], KeyMode::Multimedia) << "OK kept the choice";
    EXPECT_EQ(state.keyConfig.HWCode[kKeyQ][0], kVolumeUpCode);
    EXPECT_EQ(connectionLight(program), qRgb(220, 50, 40));
    for (const char* language : {"zh", "en"}) {
        talvik::test::saveShot(
            talvik::test::grabScreen(*program.window),
            QStringLiteral("main-disconnected-%1.png").arg(QLatin1String(language)));
        program.click(0); // the language button
        ASSERT_TRUE(waitFor([&, language] {
            return state.language ==
                   (language == std::string("zh") ? Language::English : Language::Chinese);
        }));
    }

    const std::size_t sent = talvik::test::reportsTaken(trafficLog);
    QStringList texts;
    CModalScript refused;
    refused.answer(QMessageBox::Ok, &texts);
    ASSERT_TRUE(clickThrough(program, kWriteSlot, refused));
    EXPECT_EQ(texts, QStringList{notConnectedText(Language::Chinese)});
    EXPECT_EQ(talvik::test::reportsTaken(trafficLog), sent) << "nothing was sent";

    ASSERT_TRUE(plugIn(program, unplugFile));
    EXPECT_EQ(connectionLight(program), qRgb(0, 200, 90));
    for (const char* language : {"zh", "en"}) {
        talvik::test::saveShot(
            talvik::test::grabScreen(*program.window),
            QStringLiteral("main-reconnected-%1.png").arg(QLatin1String(language)));
        program.click(0);
        ASSERT_TRUE(waitFor([&, language] {
            return state.language ==
                   (language == std::string("zh") ? Language::English : Language::Chinese);
        }));
    }
    ASSERT_TRUE(runJobButton(program, kWriteSlot));
    EXPECT_EQ(state.modified, 0);
    EXPECT_EQ(keyQInStateFile(stateFile), std::make_pair(KeyMode::Multimedia, kVolumeUpCode));
}

// The same with the backlight dialog open: its Write says the keyboard is not
// connected and the dialog stays, with its colours; once the keyboard is back
// the same Write sends them.
TEST_F(EndToEndHotplug, BacklightOpenWhileTheKeyboardGoesAndComesBack) {
    CRunningProgram program(1);
    ASSERT_TRUE(program.start());
    program.state.language = Language::English;
    program.window->update();
    namespace light = talvik::layout::backlight_id;
    QStringList texts;
    std::size_t sentWhileAway = 0;
    bool stayed = false;
    CModalScript script;
    script
        .then(QStringLiteral("backlight dialog"),
              [&](QWidget& modal) {
                  if (!unplug(program, unplugFile)) {
                      return false;
                  }
                  sentWhileAway = talvik::test::reportsTaken(trafficLog);
                  clickSoon(modal, light::Write);
                  return true;
              })
        .answer(QMessageBox::Ok, &texts)
        .then(QStringLiteral("backlight dialog after the refusal"),
              [&](QWidget& modal) {
                  stayed = modal.isVisible();
                  if (talvik::test::reportsTaken(trafficLog) != sentWhileAway ||
                      !plugIn(program, unplugFile)) {
                      return false;
                  }
                  clickSoon(modal, light::Write);
                  return true;
              })
        .answer(QMessageBox::Ok, &texts);
    ASSERT_TRUE(clickThrough(program, kBacklightSlot, script));
    EXPECT_TRUE(stayed);
    EXPECT_EQ(texts, (QStringList{notConnectedText(Language::English), QStringLiteral("OK!")}));
    EXPECT_NE(talvik::test::readFile(trafficLog).find("W 00e1"), std::string::npos)
        << "the light area went out once the keyboard was back";
}

// The same with the firmware dialog open: Get Version says the keyboard is not
// connected, and reads the version once it is back.
TEST_F(EndToEndHotplug, FirmwareDialogOpenWhileTheKeyboardGoesAndComesBack) {
    CRunningProgram program(1);
    ASSERT_TRUE(program.start());
    namespace firmware = talvik::layout::firmware_id;
    QStringList texts;
    QString versionShown;
    CModalScript script;
    script
        .then(QStringLiteral("firmware dialog"),
              [&](QWidget& modal) {
                  auto* dialog = dynamic_cast<talvik::device::COrsaDialogFirmwareUpdate*>(&modal);
                  if (dialog == nullptr || dialog->versionBox().text().isEmpty() ||
                      !unplug(program, unplugFile)) {
                      return false;
                  }
                  clickSoon(modal, firmware::GetVersion);
                  return true;
              })
        .answer(QMessageBox::Ok, &texts)
        .then(QStringLiteral("firmware dialog after the refusal"), [&](QWidget& modal) {
            auto* dialog = dynamic_cast<talvik::device::COrsaDialogFirmwareUpdate*>(&modal);
            if (dialog == nullptr || !plugIn(program, unplugFile)) {
                return false;
            }
            // The reconnection sent one version query; Get Version sends the next.
            const std::size_t sent = talvik::test::reportsTaken(trafficLog);
            clickSoon(modal, firmware::GetVersion);
            if (!waitFor([&] { return talvik::test::reportsTaken(trafficLog) > sent; })) {
                return false;
            }
            versionShown = dialog->versionBox().text();
            clickSoon(modal, firmware::Close);
            return true;
        });
    ASSERT_TRUE(clickThrough(program, kFirmwareSlot, script));
    EXPECT_EQ(texts, QStringList{notConnectedText(Language::Chinese)});
    EXPECT_FALSE(versionShown.isEmpty());
    EXPECT_TRUE(program.window->isVisible());
}

// With a compositing manager on the X server the skinned windows are
// translucent rather than shaped: a window of 32 bits with an alpha channel,
// whose pixels of the colour key show what the manager draws behind it.
TEST(EndToEndComposited, WithACompositingManagerTheColourKeyIsTransparent) {
    ASSERT_TRUE(talvik::test::useFixtureDisplay());
    talvik::test::qtApp();
    QProcess manager;
    manager.start(QStringLiteral("xcompmgr"), {QStringLiteral("-n")});
    ASSERT_TRUE(manager.waitForStarted());
    ASSERT_TRUE(waitFor([] {
        return talvik::shell::platformWindowShape() == talvik::shell::EWindowShape::Alpha;
    })) << "xcompmgr never took the compositing manager's selection";

    {
        CRunningProgram program(1);
        ASSERT_TRUE(program.start());
        talvik::shell::COrsaDlg& main = *program.window;
        EXPECT_TRUE(main.isTranslucent());
        QProcess info;
        info.start(QStringLiteral("xwininfo"),
                   {QStringLiteral("-id"), QString::number(main.winId())});
        ASSERT_TRUE(info.waitForFinished());
        EXPECT_TRUE(info.readAllStandardOutput().contains("Depth: 32"));

        // The window with a margin of the screen around it.
        constexpr int kMargin = 4;
        const QRect around = main.frameGeometry().adjusted(-kMargin, -kMargin, kMargin, kMargin);
        const QImage canvas = main.renderCanvas();
        QImage shown;
        // The brand column's middle, far from every child widget and edge.
        ASSERT_TRUE(waitFor([&] {
            shown = QGuiApplication::primaryScreen()
                        ->grabWindow(0, around.x(), around.y(), around.width(), around.height())
                        .toImage()
                        .convertToFormat(QImage::Format_RGB32);
            return shown.pixel(kMargin + 100, kMargin + 300) ==
                   (canvas.pixel(100, 300) | 0xFF000000);
        }));
        int clear = 0;
        int wrong = 0;
        for (int y = 0; y < canvas.height(); ++y) {
            // What the manager draws beside the window on this row.
            const QRgb behind = shown.pixel(0, kMargin + y);
            for (int x = 0; x < canvas.width(); ++x) {
                if (qAlpha(canvas.pixel(x, y)) == 0) {
                    ++clear;
                    wrong += shown.pixel(kMargin + x, kMargin + y) != behind ? 1 : 0;
                }
            }
        }
        EXPECT_GT(clear, 0) << "the corners of the outline are transparent";
        EXPECT_EQ(wrong, 0);
        talvik::test::saveShot(shown.copy(0, 0, 64, 64).scaled(256, 256),
                               QStringLiteral("x11-composited-corner.png"));
    }
    manager.terminate();
    manager.waitForFinished();
    // The X server is the next test's as it was.
    EXPECT_TRUE(waitFor(
        [] { return talvik::shell::platformWindowShape() == talvik::shell::EWindowShape::Mask; }));
}

namespace {

// Presses `keysym` through the X server and waits until `moved` holds.
bool pressUntil(const char* keysym, const std::function<bool()>& moved) {
    talvik::test::pressKey(keysym);
    return waitFor(moved);
}

// Tab, as a user does, until the ring is on the element with `id` of `window`.
bool tabTo(talvik::shell::CSkinWindow& window, int id) {
    const auto onIt = [&] {
        const int focused = window.focusedElement();
        return window.focusRingShown() && focused >= 0 &&
               window.elements()[static_cast<std::size_t>(focused)].id == id;
    };
    for (int step = 0; step < 60 && !onIt(); ++step) {
        const int before = window.focusedElement();
        const bool ringBefore = window.focusRingShown();
        if (!pressUntil("Tab", [&] {
                return window.focusedElement() != before || window.focusRingShown() != ringBefore;
            })) {
            return false;
        }
    }
    return onIt();
}

// The arrow keys, from the focused key towards element `target`, as a user
// follows the ring with the eyes.
bool arrowTo(talvik::shell::CSkinWindow& window, int target) {
    const QRect goal = window.elementRect(target);
    for (int step = 0; step < 30 && window.focusedElement() != target; ++step) {
        const int from = window.focusedElement();
        const QPoint d = goal.center() - window.elementRect(from).center();
        const char* arrow = std::abs(d.y()) > goal.height() / 2 ? (d.y() < 0 ? "Up" : "Down")
                                                                : (d.x() < 0 ? "Left" : "Right");
        if (!pressUntil(arrow, [&] { return window.focusedElement() != from; })) {
            return false;
        }
    }
    return window.focusedElement() == target;
}

// Counts the pointer's presses on the program's windows.
class CPointerPresses : public QObject {
public:
    int count = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonPress ||
            event->type() == QEvent::MouseButtonDblClick) {
            ++count;
        }
        return QObject::eventFilter(watched, event);
    }
};

using EndToEndKeyboardOnly = EndToEndHotplug;

} // namespace

// Q gets Volume Up and is written with the keyboard alone: Tab into the keys,
// the arrows to Q, Enter; in the key settings Ctrl+Tab to Multimedia, Tab to
// Volume Up, Enter, Tab to OK, Enter; Tab to WriteKeys, Enter, and Return on
// "OK!!". The keyboard's state file holds it.
TEST_F(EndToEndKeyboardOnly, VolumeUpOnQGivenAndWrittenWithoutThePointer) {
    // The pointer rests off the window, where an earlier test may have left it
    // over a key.
    talvik::test::xdotool({QStringLiteral("mousemove"), QStringLiteral("0"), QStringLiteral("0")});
    CRunningProgram program(1);
    ASSERT_TRUE(program.start());
    CAppState& state = program.state;
    talvik::shell::COrsaDlg& window = *program.window;
    window.activateWindow();
    ASSERT_TRUE(waitFor([&] { return window.isActiveWindow(); }));
    CPointerPresses presses;
    qApp->installEventFilter(&presses);

    ASSERT_TRUE(tabTo(window, id::FirstKey)) << "Tab reaches the keys";
    ASSERT_TRUE(arrowTo(window, 12 + kKeyQ));
    talvik::test::saveShot(talvik::test::grabScreen(window),
                           QStringLiteral("keyboard-only-key-zh.png"));

    bool chosen = false;
    CModalScript script;
    script.then(QStringLiteral("key settings dialog"), [&](QWidget& modal) {
        auto* dialog = dynamic_cast<COrsaDialogKeyMapSettings*>(&modal);
        if (dialog == nullptr || !dialog->isActiveWindow()) {
            return false;
        }
        using talvik::keymap::KeyMapPage;
        for (int step = 0; step < 7 && dialog->session().m_page != KeyMapPage::Multimedia; ++step) {
            const KeyMapPage before = dialog->session().m_page;
            if (!pressUntil("ctrl+Tab", [&] { return dialog->session().m_page != before; })) {
                return false;
            }
        }
        if (dialog->session().m_page != KeyMapPage::Multimedia ||
            !tabTo(*dialog, kVolumeUpElement)) {
            return false;
        }
        talvik::test::saveShot(talvik::test::grabScreen(*dialog),
                               QStringLiteral("keyboard-only-volume-up-zh.png"));
        const auto volumeUpChosen = [&] {
            return dialog->session().selectionCode(KeyMapPage::Multimedia) == kVolumeUpCode;
        };
        chosen = pressUntil("Return", volumeUpChosen);
        return chosen && tabTo(*dialog, keymap::Ok) &&
               pressUntil("Return", [dialog] { return !dialog->isVisible(); });
    });
    talvik::test::pressKey("Return");
    ASSERT_TRUE(waitFor([&] { return script.finished(); })) << script.pending().toStdString();
    ASSERT_TRUE(waitFor([] { return QApplication::activeModalWidget() == nullptr; }));
    EXPECT_TRUE(chosen) << "Enter on Volume Up chose it";
    EXPECT_EQ(state.keyConfig.Mode[kKeyQ][0], KeyMode::Multimedia);
    EXPECT_EQ(state.keyConfig.HWCode[kKeyQ][0], kVolumeUpCode);

    // A window manager gives the keyboard back to the main window when the
    // dialog goes; Xvfb has none, so the test does.
    window.activateWindow();
    ASSERT_TRUE(waitFor([&] { return window.isActiveWindow(); }));
    EXPECT_EQ(window.focusedElement(), 12 + kKeyQ) << "the focus is where it was";
    ASSERT_TRUE(tabTo(window, id::WriteKeys));
    talvik::test::saveShot(talvik::test::grabScreen(window),
                           QStringLiteral("keyboard-only-write-zh.png"));
    QStringList texts;
    CModalScript write;
    write.then(QStringLiteral("\"OK!!\""), [&](QWidget& modal) {
        auto* box = qobject_cast<QMessageBox*>(&modal);
        if (box == nullptr || !box->isActiveWindow()) {
            return false;
        }
        texts << box->text();
        talvik::test::pressKey("Return");
        return true;
    });
    talvik::test::pressKey("Return");
    ASSERT_TRUE(waitFor([&] { return write.finished(); })) << write.pending().toStdString();
    ASSERT_TRUE(waitFor([] { return QApplication::activeModalWidget() == nullptr; }));
    EXPECT_EQ(texts, QStringList{QStringLiteral("OK!!")});
    EXPECT_EQ(state.modified, 0);
    EXPECT_EQ(keyQInStateFile(stateFile), std::make_pair(KeyMode::Multimedia, kVolumeUpCode));
    qApp->removeEventFilter(&presses);
    EXPECT_EQ(presses.count, 0) << "no pointer press came to the program";
}
