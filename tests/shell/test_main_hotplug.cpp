// The main window while the keyboard goes away and comes back, on the
// offscreen platform with a keyboard link the test plays: nothing ends,
// nothing is lost, the commands that need the keyboard say it is not there,
// and the window connects again by itself.

#include "MainWindowFixture.h"

#include "talvik/jobs/JobText.h"
#include "talvik/shell/CKeyboardWatch.h"

#include "support/TestSupport.h"
#include "talvik/layout/SkinLayout.h"

#include <QFileInfo>
#include <gtest/gtest.h>

using namespace talvik::model;
using talvik::shell::CKeyboardLink;
using talvik::shell::CKeyboardWatch;
using talvik::test::CMainWindowFixture;
using talvik::text::Language;
namespace id = talvik::layout::main_id;

namespace {

constexpr int kKeyQ = 29;

// The keyboard as the link sees it: which model is plugged in (0: none), what
// its version query says, whether the connection found it gone, whether a
// device worker is busy; and what the window did with it.
struct CFakeKeyboard {
    int model = 1;
    std::wstring version = L"V1.10";
    bool lost = false;
    bool workerBusy = false;
    bool answers = true;
    int connects = 0;
    int closes = 0;
    int searches = 0;
    bool open = false;

    CKeyboardLink link() {
        CKeyboardLink l;
        l.connect = [this] {
            ++connects;
            open = model != 0;
            lost = false;
            return open;
        };
        l.readVersion = [this] { return open && answers; };
        l.present = [this] {
            ++searches;
            return model != 0;
        };
        l.model = [this] {
            ++searches;
            return model;
        };
        l.versionText = [this] { return version; };
        l.connected = [this] { return !lost; };
        l.close = [this] {
            ++closes;
            open = false;
        };
        l.whenIdle = [this](const std::function<void()>& step) {
            if (workerBusy) {
                return false;
            }
            step();
            return true;
        };
        return l;
    }
};

struct CHotplugFixture {
    explicit CHotplugFixture(int model = 1) : window(model, QSize(1920, 1080), keyboard.link()) {
        talvik::shell::CMainWindowDialogs dialogs;
        dialogs.runJob = [this](talvik::jobs::EJob job) {
            jobs.push_back(job);
            return talvik::jobs::CJobReport{talvik::jobs::EJobEnd::Succeeded, {}};
        };
        dialogs.keySettings = [this] {
            window.state.keyConfig.Mode[kKeyQ][0] = KeyMode::Multimedia;
            return true;
        };
        window.dlg().setDialogs(std::move(dialogs));
        window.dlg().show();
    }

    QString notConnected() const {
        return QString::fromUtf8(talvik::jobs::notConnectedText(window.state.language));
    }

    CFakeKeyboard keyboard; // before the window, whose link plays it
    CMainWindowFixture window;
    std::vector<talvik::jobs::EJob> jobs;
};

} // namespace

TEST(KeyboardHotplug, GoneKeepsTheWindowAndEveryEditAndBackConnectsAgain) {
    CHotplugFixture f;
    ASSERT_TRUE(f.window.initialised);
    auto& dlg = f.window.dlg();
    f.window.state.keyboard.keys = f.window.state.keyConfig; // read before it went

    f.keyboard.model = 0;
    dlg.checkDevice();
    EXPECT_TRUE(dlg.keyboardGone());
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(f.keyboard.closes, 1) << "the dead connection is closed";
    dlg.checkDevice();
    dlg.checkDevice();
    EXPECT_TRUE(f.window.messages.isEmpty()) << "no message box, however often it looks";
    EXPECT_TRUE(f.window.notices.isEmpty());

    // Editing goes on: a key set in its dialog stays set, and undo still works.
    dlg.runCommand(id::FirstKey + kKeyQ - 1, 12 + kKeyQ);
    EXPECT_EQ(f.window.state.keyConfig.Mode[kKeyQ][0], KeyMode::Multimedia);
    EXPECT_EQ(f.window.state.modified, 1);
    EXPECT_TRUE(dlg.history().canUndo());

    // Back, the same keyboard by its version text: it still holds what it held.
    f.keyboard.model = 1;
    const int connectsBefore = f.keyboard.connects;
    dlg.checkDevice();
    EXPECT_FALSE(dlg.keyboardGone());
    EXPECT_EQ(f.keyboard.connects, connectsBefore + 1);
    EXPECT_TRUE(f.window.state.keyboard.keys.has_value());
    EXPECT_EQ(f.window.state.keyConfig.Mode[kKeyQ][0], KeyMode::Multimedia) << "nothing reset";
    EXPECT_TRUE(f.window.messages.isEmpty());

    // Back with another version text: what it holds is not known any more.
    f.keyboard.model = 0;
    dlg.checkDevice();
    f.keyboard.model = 1;
    f.keyboard.version = L"V2.00";
    dlg.checkDevice();
    EXPECT_FALSE(dlg.keyboardGone());
    EXPECT_FALSE(f.window.state.keyboard.keys.has_value());
}

TEST(KeyboardHotplug, TheCommandsThatTalkToTheKeyboardSaySoAndStartNothing) {
    for (const Language language : {Language::Chinese, Language::English}) {
        CHotplugFixture f;
        f.window.state.language = language;
        auto& dlg = f.window.dlg();
        f.keyboard.model = 0;
        dlg.checkDevice();
        for (const int command : {id::WriteKeys, id::ReadAll, id::ReadCounters}) {
            dlg.runCommand(command, 0);
        }
        EXPECT_TRUE(f.jobs.empty());
        ASSERT_EQ(f.window.notices.size(), 3);
        for (const QString& notice : f.window.notices) {
            EXPECT_TRUE(notice.endsWith(f.notConnected())) << notice.toStdString();
        }
        EXPECT_TRUE(f.notConnected().contains(
            QString::fromUtf8(language == Language::Chinese ? "键盘未连接" : "not connected")));

        // Connected again, they run.
        f.keyboard.model = 1;
        dlg.checkDevice();
        dlg.runCommand(id::WriteKeys, 0);
        EXPECT_EQ(f.jobs, std::vector<talvik::jobs::EJob>{talvik::jobs::EJob::WriteKeys});
    }
}

TEST(KeyboardHotplug, AConnectionATransferFoundGoneIsTakenUpAgainAtTheNextLook) {
    CHotplugFixture f;
    auto& dlg = f.window.dlg();
    // The keyboard left and came back between two looks (a hub that reset):
    // it is present, but the old connection is dead.
    f.keyboard.lost = true;
    dlg.runCommand(id::WriteKeys, 0);
    EXPECT_TRUE(f.jobs.empty()) << "a connection known to be dead starts nothing";
    dlg.checkDevice();
    EXPECT_TRUE(dlg.keyboardGone());
    dlg.checkDevice();
    EXPECT_FALSE(dlg.keyboardGone());
    EXPECT_FALSE(f.keyboard.lost);
}

TEST(KeyboardHotplug, AJobStillOnTheDeadConnectionIsWaitedForBeforeItIsClosedOrMadeAgain) {
    CHotplugFixture f;
    auto& dlg = f.window.dlg();
    f.keyboard.workerBusy = true;
    f.keyboard.model = 0;
    dlg.checkDevice();
    EXPECT_TRUE(dlg.keyboardGone());
    EXPECT_EQ(f.keyboard.closes, 0) << "a worker still uses the device object";
    f.keyboard.model = 1;
    const int connects = f.keyboard.connects;
    dlg.checkDevice();
    EXPECT_TRUE(dlg.keyboardGone());
    EXPECT_EQ(f.keyboard.connects, connects);
    f.keyboard.workerBusy = false;
    dlg.checkDevice();
    EXPECT_EQ(f.keyboard.closes, 1);
    EXPECT_FALSE(dlg.keyboardGone());
    EXPECT_EQ(f.keyboard.connects, connects + 1);
}

TEST(KeyboardHotplug, AKeyboardThatDoesNotAnswerYetIsTriedAgainAtTheNextLook) {
    CHotplugFixture f;
    auto& dlg = f.window.dlg();
    f.keyboard.model = 0;
    dlg.checkDevice();
    f.keyboard.model = 1;
    f.keyboard.answers = false; // its node not yet open to us
    dlg.checkDevice();
    EXPECT_TRUE(dlg.keyboardGone());
    EXPECT_FALSE(f.keyboard.open) << "the half-made connection is closed again";
    f.keyboard.answers = true;
    dlg.checkDevice();
    EXPECT_FALSE(dlg.keyboardGone());
    EXPECT_TRUE(f.window.messages.isEmpty());
}

TEST(KeyboardHotplug, ExitAsksItsTwoQuestionsWithTheKeyboardGone) {
    talvik::test::CTempDir dir;
    CHotplugFixture f;
    auto& dlg = f.window.dlg();
    f.keyboard.model = 0;
    dlg.checkDevice();
    f.window.state.modified = 1;
    f.window.answers = {true, true};
    f.window.paths = {QString::fromStdString((dir.path() / "kept.pro").string())};
    dlg.runCommand(id::Exit, 4);
    ASSERT_EQ(f.window.questions.size(), 2);
    EXPECT_TRUE(f.window.questions[0].contains(QStringLiteral("配置未写入")));
    EXPECT_TRUE(f.window.questions[1].contains(QStringLiteral("是否保存按键配置文件")));
    EXPECT_TRUE(QFileInfo::exists(QString::fromStdString((dir.path() / "kept.pro").string())));
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_FALSE(dlg.restartRequested());
}

TEST(KeyboardHotplug, AnotherModelIsNamedAndTheWindowOffersToSaveAndStartAgain) {
    talvik::test::CTempDir dir;
    CHotplugFixture f(1);
    auto& dlg = f.window.dlg();
    f.keyboard.model = 0;
    dlg.checkDevice();
    f.keyboard.model = 2;
    const QString saved = QString::fromStdString((dir.path() / "old.pro").string());

    // No to starting again: the window stays with the old configuration, and
    // is not asked again while that keyboard stays.
    f.window.answers = {false, false};
    dlg.checkDevice();
    ASSERT_EQ(f.window.questions.size(), 2);
    EXPECT_TRUE(f.window.questions[0].contains(QStringLiteral("Talvik(S)BLe")))
        << f.window.questions[0].toStdString();
    EXPECT_TRUE(f.window.questions[0].contains(QStringLiteral("Talvik(RGB)BLe")));
    EXPECT_TRUE(f.window.questions[1].contains(QStringLiteral("重新启动")));
    dlg.checkDevice();
    EXPECT_EQ(f.window.questions.size(), 2);
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_TRUE(dlg.keyboardGone()) << "nothing opened on another model's keyboard";
    EXPECT_EQ(f.keyboard.connects, 1) << "only the first connection";

    // Unplugged and plugged in again it is offered again; Yes to both.
    f.keyboard.model = 0;
    dlg.checkDevice();
    f.keyboard.model = 2;
    f.window.state.language = Language::English;
    f.window.answers = {true, true};
    f.window.paths = {saved};
    dlg.checkDevice();
    ASSERT_EQ(f.window.questions.size(), 4);
    EXPECT_TRUE(f.window.questions[2].contains(QStringLiteral("belongs to the Talvik(RGB)BLe")));
    EXPECT_TRUE(QFileInfo::exists(saved));
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_TRUE(dlg.restartRequested());
}

TEST(KeyboardWatch, OneLookSearchesOnce) {
    CFakeKeyboard keyboard;
    CKeyboardLink link = keyboard.link();
    CKeyboardWatch watch(link);
    watch.start(1);
    EXPECT_EQ(watch.check().change, CKeyboardWatch::EChange::None);
    EXPECT_EQ(keyboard.searches, 1);
    keyboard.model = 0;
    EXPECT_EQ(watch.check().change, CKeyboardWatch::EChange::Gone);
    EXPECT_EQ(watch.check().change, CKeyboardWatch::EChange::None);
    EXPECT_EQ(keyboard.searches, 3);
    keyboard.model = 1;
    const CKeyboardWatch::SChange back = watch.check();
    EXPECT_EQ(back.change, CKeyboardWatch::EChange::Back);
    EXPECT_TRUE(back.sameKeyboard);
    EXPECT_EQ(keyboard.searches, 4);
}
