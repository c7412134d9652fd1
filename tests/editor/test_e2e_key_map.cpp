// The key settings dialog on a real X server with real pointer and keyboard
// events: a combination recorded by typing it, from a click on a key of the
// main window to the combo marker on that key. With TALVIK_SCREENSHOT_DIR set
// it also saves every page in both languages.

#include "model/ModelTestSupport.h"
#include "shell/QtTestApp.h"
#include "shell/XDriver.h"

#include "talvik/editor/COrsaDialogKeyMapSettings.h"
#include "talvik/editor/CTipWindow.h"
#include "talvik/hwi/KeyboardHook.h"
#include "talvik/jobs/CDeviceWorkerSlot.h"
#include "talvik/model/CAppState.h"
#include "talvik/program/ProgramDialogs.h"
#include "talvik/shell/COrsaApp.h"
#include "talvik/shell/COrsaDlg.h"

#include "support/TestSupport.h"
#include "talvik/layout/KeySettingsLayout.h"

#include <QDir>
#include <QElapsedTimer>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <gtest/gtest.h>

#include <functional>
#include <vector>

using namespace talvik::model;

using talvik::editor::COrsaDialogKeyMapSettings;
using talvik::test::centreOf;
using talvik::test::clickAt;
using talvik::test::grabScreen;
using talvik::test::pointAt;
using talvik::test::waitFor;
using talvik::test::xdotool;
namespace keymap = talvik::layout::keymap_id;
using talvik::text::Language;

namespace {

constexpr int kKeyA = 43;

// Steps that run one after another from a timer, whichever event loop is
// running: the dialog runs its own, modal one.
class CScript {
public:
    struct Step {
        std::function<bool()> ready;
        std::function<void()> act;
    };
    explicit CScript(std::vector<Step> steps) : m_steps(std::move(steps)) {
        m_timer.setInterval(50);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { tick(); });
        m_timer.start();
    }
    bool finished() const { return m_next == m_steps.size(); }
    std::size_t reached() const { return m_next; }

private:
    void tick() {
        if (finished() || m_busy) {
            return;
        }
        m_busy = true; // xdotool runs its own short loop
        // The give-up clock runs from the script's last step, and from its
        // first tick before that: the click that opens the dialog is sent
        // before the loop runs, and xdotool alone can take seconds on a loaded
        // machine, which must not count against the dialog.
        if (!m_clock.isValid()) {
            m_clock.start();
        }
        if (m_clock.elapsed() > kGiveUpMs) {
            // A stuck script must not leave a modal dialog that nobody closes.
            if (QWidget* modal = QApplication::activeModalWidget()) {
                modal->close();
            }
        } else if (m_steps[m_next].ready()) {
            m_steps[m_next++].act();
            m_clock.start();
        }
        m_busy = false;
    }

    static constexpr qint64 kGiveUpMs = 15000;
    std::vector<Step> m_steps;
    std::size_t m_next = 0;
    bool m_busy = false;
    QTimer m_timer;
    QElapsedTimer m_clock;
};

QImage grabScreenArea(QWidget& window, const QRect& area) {
    grabScreen(window); // lets the last repaint reach the screen
    return window.screen()
        ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

COrsaDialogKeyMapSettings* runningDialog() {
    auto* dialog = dynamic_cast<COrsaDialogKeyMapSettings*>(QApplication::activeModalWidget());
    return dialog != nullptr && dialog->isVisible() ? dialog : nullptr;
}

void clickElement(COrsaDialogKeyMapSettings& dialog, int id) {
    clickAt(centreOf(dialog, dialog.element(id).rect));
}

class KeyMapEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(talvik::test::useFixtureDisplay());
        talvik::test::qtApp();
    }
};

} // namespace

namespace {

// Talvik as the program puts it together, on the simulated keyboard of model
// 1, in English.
struct CProgram {
    CProgram() : state(talvik::test::processSimulator(1)), app(state), window(app, state) {
        state.modelNumber = state.device.DetectDeviceType();
        loaded = app.loadSkin(1, error, talvik::test::builtSkinPath());
        state.buildNameTables();
        state.language = Language::English;
        talvik::program::installDialogs(window, app, state, worker);
    }
    CAppState state;
    talvik::shell::COrsaApp app;
    talvik::jobs::CDeviceWorkerSlot worker;
    talvik::shell::COrsaDlg window;
    QString error;
    bool loaded = false;
};

} // namespace

TEST_F(KeyMapEndToEnd, AComboTypedInTheDialogMarksTheKeyInTheMainWindow) {
    CProgram program;
    ASSERT_TRUE(program.loaded) << program.error.toStdString();
    CAppState& state = program.state;
    talvik::shell::COrsaDlg& window = program.window;
    QStringList messages;
    window.setMessageSink([&](const QString& text) { messages << text; });
    ASSERT_TRUE(window.initialise()) << messages.join(QLatin1Char(';')).toStdString();
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    COrsaDialogKeyMapSettings* dialog = nullptr;
    bool grabbed = false;
    const auto at = [&] { return dialog = runningDialog(); };
    CScript script({
        {[&] { return at() != nullptr && dialog->windowHandle()->isExposed(); },
         [&] { clickElement(*dialog, keymap::ComboRadio); }},
        {[&] { return !dialog->session().m_isSingle; },
         [&] { clickElement(*dialog, keymap::NewCombo); }},
        // The proposed name stays: the next click closes the name field and does nothing else.
        {[&] { return dialog->isRenaming(); }, [&] { clickElement(*dialog, keymap::SingleRadio); }},
        {[&] { return !dialog->isRenaming(); },
         [&] { clickElement(*dialog, keymap::RecordCombo); }},
        {[&] { return dialog->session().m_capturingCombo; },
         [&] {
             grabbed = IsHookActive();
             xdotool({QStringLiteral("keydown"), QStringLiteral("Control_L")});
             xdotool({QStringLiteral("keydown"), QStringLiteral("Shift_L")});
             xdotool({QStringLiteral("key"), QStringLiteral("k")});
             xdotool({QStringLiteral("keyup"), QStringLiteral("Shift_L")});
             xdotool({QStringLiteral("keyup"), QStringLiteral("Control_L")});
         }},
        {[&] { return dialog->session().m_combo.count() == 3; },
         [&] { clickElement(*dialog, keymap::Ok); }},
    });
    clickAt(centreOf(window, window.elements()[12 + kKeyA].rect));
    ASSERT_TRUE(waitFor([&] { return script.finished() && runningDialog() == nullptr; }))
        << "stopped before step " << script.reached();
    EXPECT_TRUE(grabbed) << "the capture took the desktop keyboard";
    EXPECT_EQ(GetHookStatus(), HookStatus::NotInstalled);

    const auto& items = state.keyConfig.ComboKey[kKeyA][0].items();
    EXPECT_EQ(items, (std::vector<std::string>{"LCTRL", "LSHIFT", "K"}));
    EXPECT_EQ(state.keyConfig.Mode[kKeyA][0], KeyMode::Combo);
    EXPECT_EQ(state.modified, 1);
    ASSERT_EQ(state.keyConfig.PredefinedCombo.count(), 1);
    EXPECT_EQ(state.keyConfig.PredefinedCombo.itemAtRow(0), "New Combo 1");

    // The key wears the combo's yellow marker, and its details name the keys.
    const SkinRect key = window.elements()[12 + kKeyA].rect;
    pointAt(centreOf(window, key));
    EXPECT_TRUE(waitFor([&] {
        return window.infoBox().text().contains(
            QStringLiteral("Top layer Key: Combo LCTRL | LSHIFT | K"));
    })) << window.infoBox().text().toStdString();
    const QImage screen = grabScreen(window);
    EXPECT_EQ(QColor(screen.pixel((key.left + key.right) / 2, key.bottom - 2)),
              QColor(255, 255, 0));
    EXPECT_TRUE(messages.isEmpty());
}

namespace {

// Key A with a combo from a small library, so the lists show entries.
void giveKeyAComboFromASmallLibrary(CAppState& state) {
    CActionList& combos = state.keyConfig.PredefinedCombo;
    for (const char* name : {"Copy", "Paste", "Undo"}) {
        combos.append(name);
    }
    CActionList copy(6);
    copy.append("LCTRL");
    copy.append("C");
    combos.setChildAtRow(0, copy);
    combos.setCursor(0);
    state.keyConfig.ComboKey[kKeyA][0] = copy;
    state.keyConfig.Mode[kKeyA][0] = KeyMode::Combo;
    state.editKey = kKeyA;
}

} // namespace

TEST_F(KeyMapEndToEnd, EveryPageInBothLanguages) {
    const QString dir = qEnvironmentVariable("TALVIK_SCREENSHOT_DIR");
    for (const Language language : {Language::Chinese, Language::English}) {
        CAppState state(CDeviceEnvironment::withoutDevices());
        state.modelNumber = 1;
        talvik::shell::COrsaApp app(state);
        QString error;
        ASSERT_TRUE(app.loadSkin(1, error, talvik::test::builtSkinPath())) << error.toStdString();
        state.buildNameTables();
        state.resetToDefaults();
        state.language = language;
        giveKeyAComboFromASmallLibrary(state);
        COrsaDialogKeyMapSettings dialog(app, state);
        ASSERT_TRUE(dialog.initialise());
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        for (int page = 1; page <= 7; ++page) {
            clickElement(dialog, keymap::FirstTab + page - 1);
            ASSERT_TRUE(waitFor([&] {
                return dialog.session().m_page == talvik::keymap::pageNumbered(page);
            })) << "page "
                << page;
            // Where the caption is a tooltip, show one.
            const int tipped = page == 4 ? 407 : (page == 6 ? 615 : (page == 7 ? 702 : 0));
            if (tipped != 0) {
                pointAt(centreOf(dialog, dialog.element(tipped).rect));
                EXPECT_TRUE(waitFor([&] { return dialog.tip().isVisible(); })) << "page " << page;
            } else {
                pointAt(dialog.mapToGlobal(QPoint(300, 360)));
            }
            // The tooltip may reach past the dialog: the picture takes it in.
            const QRect area = dialog.tip().isVisible()
                                   ? dialog.frameGeometry().united(dialog.tip().frameGeometry())
                                   : dialog.frameGeometry();
            const QImage shot = grabScreenArea(dialog, area);
            EXPECT_NE(shot.pixel(1, 1), qRgb(255, 0, 0)) << "the colour key is never shown";
            if (!dir.isEmpty()) {
                QDir().mkpath(dir);
                shot.save(QStringLiteral("%1/keymap-page%2-%3.png")
                              .arg(dir)
                              .arg(page)
                              .arg(language == Language::Chinese ? QStringLiteral("zh")
                                                                 : QStringLiteral("en")));
            }
        }
        if (language == Language::English) {
            EXPECT_EQ(dialog.tip().activeText(), QStringLiteral("Sleep"));
        }
        dialog.done(QDialog::Rejected);
    }
}
