// The Macro and Emulate pages on a real X server with the simulated keyboard:
// a word typed through the X server is recorded while the desktop keyboard is
// grabbed, OK gives it to the key, the key writing job puts it into the
// keyboard and reading everything back shows the same keys and delays. With
// TALVIK_SCREENSHOT_DIR set it saves both pages in both languages.

#include "model/ModelTestSupport.h"
#include "shell/QtTestApp.h"
#include "shell/XDriver.h"

#include "talvik/editor/COrsaDialogKeyMapSettings.h"
#include "talvik/hwi/KeyboardHook.h"
#include "talvik/jobs/CDeviceJob.h"
#include "talvik/model/CAppState.h"
#include "talvik/shell/COrsaApp.h"
#include "talvik/text/KeyTables.h"

#include "support/TestSupport.h"
#include "talvik/layout/KeySettingsLayout.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace talvik::model;

namespace keymap = talvik::layout::keymap_id;
using talvik::editor::COrsaDialogKeyMapSettings;
using talvik::keymap::KeyMapPage;
using talvik::test::centreOf;
using talvik::test::clickAt;
using talvik::test::grabScreen;
using talvik::test::saveShot;
using talvik::test::pointAt;
using talvik::test::waitFor;
using talvik::test::xdotool;
using talvik::text::Language;
using talvik::text::leadingNumber;

namespace {

constexpr int kKeyA = 43;
constexpr int kKeyASlot = kKeyA - 1; // layer 1 of the keyboard, the dialog's level 0

// An application state on the simulated keyboard of model 1, which keeps its
// memory in `stateFile`.
std::unique_ptr<CAppState> simulatedModel1(const std::filesystem::path& stateFile) {
    qputenv("TALVIK_SIMULATOR_STATE", QByteArray::fromStdString(stateFile.string()));
    return std::make_unique<CAppState>(talvik::test::processSimulator(1));
}

// The state of one program run: the simulated keyboard of model 1, the skin,
// the name tables and the factory configuration.
struct CProgram {
    explicit CProgram(const std::filesystem::path& stateFile)
        : state(simulatedModel1(stateFile)), app(*state) {
        state->modelNumber = state->device.DetectDeviceType();
        QString error;
        loaded = app.loadSkin(state->modelNumber, error, talvik::test::builtSkinPath());
        state->buildNameTables();
        state->resetToDefaults();
        connected = state->device.__createDev();
    }

    std::unique_ptr<CAppState> state;
    talvik::shell::COrsaApp app;
    bool loaded = false;
    bool connected = false;
};

// The key settings dialog as the main window opens it for a key, driven by
// the pointer and the keyboard of the X server.
class CDialogDriver {
public:
    CDialogDriver(CProgram& program, int key, int level) {
        program.state->editKey = key;
        program.state->editLevel = level;
        m_dialog = std::make_unique<COrsaDialogKeyMapSettings>(program.app, *program.state);
        m_dialog->setMessageSink([this](const QString& text) { messages << text; });
        initialised = m_dialog->initialise();
        m_dialog->show();
        exposed = QTest::qWaitForWindowExposed(m_dialog.get());
    }

    COrsaDialogKeyMapSettings& dlg() { return *m_dialog; }

    // A click, and the wait for its double-click guard: the click has acted.
    void click(int elementId) {
        // The test screen keeps the scale at 1: element rectangles are window pixels.
        clickAt(centreOf(*m_dialog, m_dialog->element(elementId).rect));
        ASSERT_TRUE(waitFor([&] { return !m_dialog->clickWaiting(); }));
    }
    // Types while the dialog goes on handling its messages, so each keystroke
    // is timed when it comes, as when a user types.
    void type(const QString& text) {
        QProcess typing;
        typing.start(QStringLiteral("xdotool"), {QStringLiteral("type"), QStringLiteral("--delay"),
                                                 QStringLiteral("150"), text});
        ASSERT_TRUE(waitFor([&] { return typing.state() == QProcess::NotRunning; }));
        ASSERT_EQ(typing.exitCode(), 0);
    }
    void key(const QString& name) { xdotool({QStringLiteral("key"), name}); }

    // A new entry on the page, named as proposed.
    void newEntry(int newButton) {
        click(newButton);
        ASSERT_TRUE(waitFor([&] { return m_dialog->isRenaming(); }));
        key(QStringLiteral("Return"));
        ASSERT_TRUE(waitFor([&] { return !m_dialog->isRenaming(); }));
    }
    // Records `text` typed on the keyboard; a click on `stopAt` ends it.
    void record(int recordButton, const QString& text, int stopAt,
                const std::function<bool()>& complete) {
        click(recordButton);
        ASSERT_TRUE(waitFor([&] { return m_dialog->currentPage().capturing(); }));
        ASSERT_EQ(GetHookStatus(), HookStatus::Active) << "the desktop keyboard is grabbed";
        type(text);
        ASSERT_TRUE(waitFor(complete));
        click(stopAt);
        ASSERT_TRUE(waitFor([&] { return !m_dialog->currentPage().capturing(); }));
        ASSERT_EQ(GetHookStatus(), HookStatus::NotInstalled);
    }

    // What the screen shows of the dialog, saved as `name` when screenshots are wanted.
    void shoot(const QString& name) {
        pointAt(m_dialog->mapToGlobal(QPoint(560, 300))); // over no element
        saveShot(grabScreen(*m_dialog), name + QStringLiteral(".png"));
    }

    QStringList messages;
    bool initialised = false;
    bool exposed = false;

private:
    std::unique_ptr<COrsaDialogKeyMapSettings> m_dialog;
};

// The simulated keyboard writes its state file once more at exit, so the file
// lives in the build tree rather than in a folder the test removes.
std::filesystem::path freshStateFile() {
    const std::filesystem::path file = TALVIK_BINARY_DIR "/tests/editor/e2e-macro-keyboard.state";
    std::filesystem::remove(file);
    return file;
}

class MacroEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(talvik::test::useFixtureDisplay());
        talvik::test::qtApp();
    }
    void TearDown() override { qunsetenv("TALVIK_SIMULATOR_STATE"); }
};

// Records "hi" on the Macro page and "ok" on the Emulate page and confirms on
// the Macro page. Returns the macro recorded, with the pause the stopping
// click added.
std::vector<std::string> recordBothPages(CDialogDriver& driver, const char* language) {
    COrsaDialogKeyMapSettings& dlg = driver.dlg();
    driver.click(keymap::FirstTab + 1);
    EXPECT_EQ(dlg.session().m_page, KeyMapPage::Macro);
    driver.newEntry(keymap::NewMacro);
    driver.record(keymap::RecordMacro, QStringLiteral("hi"), keymap::FirstEventRow,
                  [&] { return dlg.session().m_macro.count() == 7; });
    const std::vector<std::string> macro = dlg.session().m_macro.items();
    driver.shoot(QStringLiteral("keymap-macro-recorded-%1").arg(language));

    driver.click(keymap::FirstTab + 2);
    EXPECT_EQ(dlg.session().m_page, KeyMapPage::Emulation);
    driver.newEntry(keymap::NewEmu);
    driver.record(keymap::RecordEmu, QStringLiteral("ok"), keymap::FirstEmuKeyRow,
                  [&] { return dlg.session().m_emu.count() == 2; });
    EXPECT_EQ(dlg.session().m_emu.items(), (std::vector<std::string>{"O", "K"}));
    driver.shoot(QStringLiteral("keymap-emulate-recorded-%1").arg(language));

    driver.click(keymap::FirstTab + 1);
    driver.click(keymap::Ok);
    EXPECT_TRUE(waitFor([&] { return !dlg.isVisible(); }));
    return macro;
}

// The jobs as the main window runs them, with no one to show the waits to.
bool runJob(talvik::jobs::EJob job, CAppState& state) {
    talvik::jobs::CJobControl control([](std::chrono::milliseconds) {});
    return talvik::jobs::runJobHere(job, state, control).succeeded();
}

// The bytes the simulated keyboard keeps for `slot`, as its state file lists them.
std::vector<int> slotRecord(const std::filesystem::path& stateFile, int slot) {
    const QString text = QString::fromStdString(talvik::test::readFile(stateFile));
    const QRegularExpression line(QStringLiteral("^slot %1 ([0-9a-f]+)$").arg(slot),
                                  QRegularExpression::MultilineOption);
    const QByteArray hex = line.match(text).captured(1).toLatin1();
    std::vector<int> bytes;
    for (const char byte : QByteArray::fromHex(hex)) {
        bytes.push_back(static_cast<unsigned char>(byte));
    }
    return bytes;
}

// A macro of key events with a delay after each, as the keyboard keeps it when
// every event carries its own delay: a header, then code, C8, delay high, low.
void expectTimedMacroRecord(const std::vector<int>& record, const std::vector<std::string>& macro) {
    constexpr std::size_t kHeader = 11;
    const std::size_t events = macro.size() / 2;
    ASSERT_GE(record.size(), 64u) << "the key has a record";
    EXPECT_EQ(record[1], 0xF0);
    EXPECT_EQ(record[3], kKeyA);
    EXPECT_GE(record[4], 2) << "a macro type";
    EXPECT_EQ(record[6], 1) << "each event has its own delay";
    EXPECT_EQ(record[9] * 256 + record[10], static_cast<int>(events * 4));
    for (std::size_t i = 0; i < events; ++i) {
        const std::size_t at = kHeader + i * 4;
        EXPECT_EQ(record[at + 1], 0xC8) << i;
        EXPECT_EQ(record[at + 2] * 256 + record[at + 3],
                  leadingNumber(std::string_view(macro[2 * i + 1]).substr(1)))
            << macro[2 * i + 1];
    }
    // The two keys typed, each pressed and released: a press and its release
    // carry the same code.
    EXPECT_EQ(record[kHeader], record[kHeader + 4]);
    EXPECT_EQ(record[kHeader + 8], record[kHeader + 12]);
    EXPECT_NE(record[kHeader], record[kHeader + 8]);
}

// What the keyboard gives back of a recorded macro: a record holds one code
// per event, the same for its press and its release, so the events come back
// as plain key names, and the delay after the last event is not read back.
std::vector<std::string> asReadBack(const std::vector<std::string>& recorded) {
    std::vector<std::string> items;
    for (std::string item : recorded) {
        for (const std::string suffix : {" Down", " UP"}) {
            if (item.ends_with(suffix)) {
                item.resize(item.size() - suffix.size());
            }
        }
        items.push_back(item);
    }
    if (!items.empty() && talvik::text::isDelayText(items.back())) {
        items.pop_back();
    }
    return items;
}

} // namespace

TEST_F(MacroEndToEnd, TypedWordIsRecorded_WrittenToTheKeyboard_AndReadBackTheSame) {
    const std::filesystem::path stateFile = freshStateFile();
    CProgram program(stateFile);
    ASSERT_TRUE(program.loaded);
    ASSERT_TRUE(program.connected);
    CAppState& state = *program.state;

    std::vector<std::string> macro;
    for (const char* language : {"en", "zh"}) {
        state.language = std::string(language) == "en" ? Language::English : Language::Chinese;
        CDialogDriver driver(program, kKeyA, 0);
        ASSERT_TRUE(driver.initialised && driver.exposed);
        macro = recordBothPages(driver, language);
        ASSERT_EQ(macro.size(), 8u);
        EXPECT_EQ(macro, (std::vector<std::string>{"H Down", macro[1], "H UP", macro[3], "I Down",
                                                   macro[5], "I UP", "<50 ms>"}));
        for (std::size_t i = 1; i < macro.size(); i += 2) {
            EXPECT_TRUE(talvik::text::isDelayText(macro[i])) << macro[i];
        }
        EXPECT_EQ(driver.dlg().result(), QDialog::Accepted);
        EXPECT_EQ(state.keyConfig.Mode[kKeyA][0], KeyMode::Macro);
        EXPECT_EQ(state.keyConfig.ComboKey[kKeyA][0].items(), macro);
        EXPECT_TRUE(driver.messages.isEmpty()) << driver.messages.join(';').toStdString();
    }

    ASSERT_EQ(macro.size(), 8u);

    ASSERT_TRUE(runJob(talvik::jobs::EJob::WriteKeys, state));
    // The keyboard takes the last reports a moment after the job has sent them.
    std::vector<int> record;
    EXPECT_TRUE(waitFor([&] {
        record = slotRecord(stateFile, kKeyASlot);
        return !record.empty();
    }));
    expectTimedMacroRecord(record, macro);

    // Forget everything, the macro library included, then read the keyboard.
    state.resetToDefaults();
    ASSERT_TRUE(runJob(talvik::jobs::EJob::ReadAll, state));
    EXPECT_EQ(state.keyConfig.Mode[kKeyA][0], KeyMode::Macro);
    CDialogDriver reopened(program, kKeyA, 0);
    ASSERT_TRUE(reopened.initialised && reopened.exposed);
    EXPECT_EQ(reopened.dlg().session().m_page, KeyMapPage::Macro)
        << "the dialog opens on the Macro page";
    EXPECT_EQ(reopened.dlg().session().m_macro.items(), asReadBack(macro));
    reopened.shoot(QStringLiteral("keymap-macro-read-back-zh"));
}
