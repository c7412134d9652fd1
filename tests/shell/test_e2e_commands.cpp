// The main window's commands on a real X server and the simulated keyboard,
// driven by real pointer and key events through every dialog they open.

#include "QtTestApp.h"
#include "XDriver.h"

#include "talvik/model/CAppState.h"
#include "talvik/shell/COrsaApp.h"
#include "talvik/shell/COrsaDlg.h"

#include "layout/SkinLayout.h"
#include "support/TestSupport.h"

#include <QFileInfo>
#include <QMessageBox>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

namespace id = talvik::layout::main_id;
using talvik::test::CModalScript;
using talvik::test::waitFor;

namespace {

constexpr int kKeyA = 43;
constexpr int kSaveSlot = 5;
constexpr int kOpenSlot = 6;
constexpr int kClearSlot = 7;

// The program as start-up builds it, on the simulated keyboard of `model`,
// with the fixture's X server and its own temporary folder.
class CRunningProgram {
public:
    explicit CRunningProgram(int model) : state(simulated(model)), app(state), window(nullptr) {}

    static CDeviceEnvironment simulated(int model) {
        CDeviceEnvironment environment = CDeviceEnvironment::fromProcess();
        environment.simulatorModel = model;
        return environment;
    }

    bool start() {
        state.modelNumber = state.device.DetectDeviceType();
        QString error;
        if (!app.loadSkin(state.modelNumber, error, talvik::test::builtSkinPath())) {
            return false;
        }
        state.buildNameTables();
        window = std::make_unique<talvik::shell::COrsaDlg>(app, state);
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
    std::unique_ptr<talvik::shell::COrsaDlg> window;
};

// Runs `script` against the dialogs that a click on `slot` opens, until the
// script is done and no dialog is left open.
::testing::AssertionResult clickThrough(CRunningProgram& program, int slot, CModalScript& script) {
    program.click(slot);
    if (!waitFor([&] { return script.finished(); }, 20000)) {
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
    ASSERT_TRUE(waitFor([&] { return unplugged.finished(); }, 20000))
        << "still waiting for: " << unplugged.pending().toStdString();
    ASSERT_TRUE(waitFor([&] { return !program.window->isVisible(); }));
    EXPECT_TRUE(QFileInfo::exists(pathIn("rescued.pro")));
    ASSERT_EQ(texts.size(), 2);
    EXPECT_EQ(texts[0], QStringLiteral("Keyboard is not connected"));
    EXPECT_TRUE(texts[1].contains(QStringLiteral("按键设置还没有写入键盘")));
}
