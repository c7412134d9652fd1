// The main window's commands on the offscreen platform: exit with its
// questions, profiles and what their outcomes say, clear, the busy period
// after opening a profile, help and the notification area.

#include "MainWindowFixture.h"

#include "talvik/profile/Profile.h"
#include "talvik/shell/ProfileMessages.h"

#include "talvik/layout/SkinLayout.h"
#include "support/TestSupport.h"

#include <QFileInfo>
#include <QMouseEvent>
#include <QTest>
#include <gtest/gtest.h>

#include <filesystem>

using namespace talvik::profile;

using namespace talvik::model;

using talvik::test::CMainWindowFixture;
using talvik::text::Language;
using EFileDialog = talvik::shell::COrsaDlg::EFileDialog;
namespace id = talvik::layout::main_id;

namespace {

constexpr int kKeyA = 43;

QString pathIn(const talvik::test::CTempDir& dir, const char* name) {
    return QString::fromStdString((dir.path() / name).string());
}

void assignMacroToA(CMainWindowFixture& f) {
    f.setMode(kKeyA, 0, KeyMode::Macro);
    f.state.keyConfig.HWCode[kKeyA][0] = 0;
}

} // namespace

TEST(MainCommands, ExitWithNothingUnwrittenAsksOnlyWhetherToSave) {
    CMainWindowFixture f(1);
    f.dlg().show();
    f.dlg().runCommand(id::Exit, 4);
    EXPECT_EQ(f.questions, QStringList{QStringLiteral("Talvik(RGB)BLe|是否保存按键配置文件??")});
    EXPECT_TRUE(f.fileDialogs.isEmpty());
    EXPECT_FALSE(f.dlg().isVisible());
    EXPECT_EQ(f.dlg().result(), QDialog::Accepted);
}

TEST(MainCommands, NoToTheUnwrittenQuestionKeepsEverything) {
    CMainWindowFixture f(4);
    f.dlg().show();
    f.dlg().runCommand(id::Language, 0);
    assignMacroToA(f);
    f.state.modified = 1;
    f.dlg().runCommand(id::Exit, 4);
    EXPECT_EQ(f.questions, QStringList{QStringLiteral(
                               "Talvik(RGB)|Configuration don't be writted,continue to exit??")});
    EXPECT_TRUE(f.dlg().isVisible());
    EXPECT_EQ(f.state.modified, 1);
    EXPECT_EQ(f.state.keyConfig.Mode[kKeyA][0], KeyMode::Macro);
    EXPECT_TRUE(f.fileDialogs.isEmpty());
}

TEST(MainCommands, ExitSavesTheProfileAskedForAndLeavesEvenWhenTheSaveIsCancelled) {
    talvik::test::CTempDir dir;
    CMainWindowFixture f(2);
    f.dlg().show();
    assignMacroToA(f);
    f.state.modified = 1;
    f.answers = {true, true};
    f.paths = {pathIn(dir, "exit.pro")};
    f.dlg().runCommand(id::Exit, 4);
    EXPECT_FALSE(f.dlg().isVisible());
    ASSERT_TRUE(QFileInfo::exists(pathIn(dir, "exit.pro")));
    EXPECT_NE(talvik::test::readFile(dir.path() / "exit.pro").find("<Talvik(S)BLe>"),
              std::string::npos);
    EXPECT_EQ(f.fileDialogs, QList<EFileDialog>{EFileDialog::Save});

    CMainWindowFixture g(2);
    g.dlg().show();
    g.answers = {true}; // save: yes, then the dialog is cancelled
    g.dlg().runCommand(id::Exit, 4);
    EXPECT_FALSE(g.dlg().isVisible()) << "cancelling the save dialog still exits";
}

TEST(MainCommands, AFailedSaveSaysWhyAndDoesNotExit) {
    talvik::test::CTempDir dir;
    CMainWindowFixture f(1);
    f.dlg().show();
    f.answers = {true};
    f.paths = {pathIn(dir, "no-such-folder/kept.pro")};
    f.dlg().runCommand(id::Exit, 4);
    EXPECT_TRUE(f.dlg().isVisible()) << "what the user meant to keep is not lost";
    ASSERT_EQ(f.notices.size(), 1);
    EXPECT_TRUE(f.notices[0].startsWith(QStringLiteral("Talvik(RGB)BLe|配置文件没有保存：")))
        << f.notices[0].toStdString();
    EXPECT_GT(f.notices[0].indexOf(QLatin1Char('\n')), 25) << "the reason is given";
    EXPECT_EQ(f.noticeIcons[0], QMessageBox::Warning);

    // Saving on its own says the same, in the language of the moment.
    f.dlg().runCommand(id::Language, 0);
    f.paths = {pathIn(dir, "no-such-folder/kept.pro")};
    f.dlg().runCommand(id::SaveProfile, 5);
    ASSERT_EQ(f.notices.size(), 2);
    EXPECT_TRUE(f.notices[1].contains(QStringLiteral("The profile was not saved: ")));
}

TEST(MainCommands, SaveClearOpenBringsTheConfigurationBackWithoutTouchingTheModifiedFlag) {
    talvik::test::CTempDir dir;
    CMainWindowFixture f(1);
    assignMacroToA(f);
    f.state.keyConfig.ComboKey[kKeyA][0].append("A Down");
    f.paths = {pathIn(dir, "mine")}; // the dialog adds the suffix; this one is taken as given
    f.dlg().runCommand(id::SaveProfile, 5);
    ASSERT_TRUE(QFileInfo::exists(pathIn(dir, "mine")));

    f.dlg().runCommand(id::ClearConfig, 7);
    EXPECT_EQ(f.state.keyConfig.Mode[kKeyA][0], KeyMode::Single);
    EXPECT_EQ(f.state.modified, 0) << "clearing does not mark the configuration modified";

    f.paths = {pathIn(dir, "mine")};
    f.dlg().runCommand(id::OpenProfile, 6);
    EXPECT_EQ(f.state.keyConfig.Mode[kKeyA][0], KeyMode::Macro);
    EXPECT_EQ(f.state.keyConfig.ComboKey[kKeyA][0].items().size(), 1u);
    EXPECT_EQ(f.state.modified, 0);
    EXPECT_TRUE(f.notices.isEmpty()) << f.notices.join(QLatin1Char(';')).toStdString();
    EXPECT_EQ(f.fileDialogs, (QList<EFileDialog>{EFileDialog::Save, EFileDialog::Open}));

    // Exit after a clear does not warn about unwritten settings.
    f.dlg().runCommand(id::ClearConfig, 7);
    f.dlg().runCommand(id::Exit, 4);
    EXPECT_EQ(f.questions.size(), 1);
}

TEST(MainCommands, AProfileThatCannotBeUsedIsExplainedAndTheModelStays) {
    talvik::test::CTempDir dir;
    CMainWindowFixture f(4);
    talvik::test::writeFile(dir.path() / "notes.pro", "just some text");
    talvik::test::writeFile(dir.path() / "other.xml", "<?xml version=\"1.0\"?>\r\n<a><b/></a>\r\n");
    CMainWindowFixture model2(2);
    ASSERT_TRUE(saveProfile(model2.state, (dir.path() / "model2.pro").string()).ok());
    // Sparse: two gigabytes that take no disk.
    talvik::test::writeFile(dir.path() / "huge.pro", "");
    std::filesystem::resize_file(dir.path() / "huge.pro", std::uintmax_t{2} << 30);
    assignMacroToA(f);

    f.paths = {pathIn(dir, "missing.pro"), pathIn(dir, "notes.pro"), pathIn(dir, "other.xml"),
               pathIn(dir, "model2.pro"), pathIn(dir, "huge.pro")};
    for (int i = 0; i < 5; ++i) {
        f.state.busy = 0;
        f.dlg().runCommand(id::OpenProfile, 6);
    }
    ASSERT_EQ(f.notices.size(), 5);
    for (const QString& notice : f.notices) {
        EXPECT_TRUE(notice.startsWith(QStringLiteral("Talvik(RGB)|"))) << notice.toStdString();
        EXPECT_TRUE(notice.endsWith(QStringLiteral("当前配置没有改变。"))) << notice.toStdString();
    }
    EXPECT_TRUE(f.notices[0].contains(QStringLiteral("无法读取配置文件")));
    EXPECT_TRUE(f.notices[1].contains(QStringLiteral("没有 XML")));
    EXPECT_TRUE(f.notices[2].contains(QStringLiteral("不是 Talvik 配置文件")));
    EXPECT_TRUE(f.notices[3].contains(QStringLiteral("Talvik(S)BLe 键盘的配置文件")));
    EXPECT_TRUE(f.notices[3].contains(QStringLiteral("Talvik(RGB) 键盘")));
    EXPECT_TRUE(f.notices[4].contains(QStringLiteral("huge.pro 超过 512 MB")))
        << f.notices[4].toStdString();
    EXPECT_EQ(f.state.keyConfig.Mode[kKeyA][0], KeyMode::Macro) << "the model is unchanged";
}

TEST(MainCommands, ADamagedProfileLoadsAndSaysWhatWasRepaired) {
    talvik::test::CTempDir dir;
    CMainWindowFixture f(1);
    f.dlg().runCommand(id::Language, 0);
    const auto file = dir.path() / "damaged.pro";
    ASSERT_TRUE(saveProfile(f.state, file.string()).ok());
    std::string text = talvik::test::readFile(file);
    // One key of a number no keyboard has, and an element that is never closed.
    text.insert(text.find("<KEY ID=\"1\""),
                "<KEY ID=\"99\" Level=\"0\" Mode=\"3\" HWCode=\"0\"/>\r\n");
    text.insert(text.find("<AREA ID=\"2\""), "<open>");
    talvik::test::writeFile(file, text);
    assignMacroToA(f);

    f.paths = {QString::fromStdString(file.string())};
    f.dlg().runCommand(id::OpenProfile, 6);
    ASSERT_EQ(f.notices.size(), 1);
    const QString notice = f.notices[0];
    EXPECT_TRUE(notice.contains(QStringLiteral("The profile is damaged"))) << notice.toStdString();
    EXPECT_TRUE(notice.contains(QStringLiteral("A KEY with the invalid ID 99 was skipped")))
        << notice.toStdString();
    EXPECT_TRUE(notice.contains(QStringLiteral("was never closed"))) << notice.toStdString();
    EXPECT_EQ(f.state.keyConfig.Mode[kKeyA][0], KeyMode::Single) << "it did load";
}

TEST(MainCommands, ClicksAreDroppedFor500MsAfterTheOpenDialog) {
    CMainWindowFixture f(1);
    f.dlg().show();
    f.dlg().runCommand(id::OpenProfile, 6); // cancelled: busy all the same
    EXPECT_EQ(f.state.busy, 1);
    clickElement(f, 12); // the layer switch
    EXPECT_EQ(f.state.editLevel, 0) << "a click during the busy period does nothing";
    ASSERT_TRUE(talvik::test::waitFor([&] { return f.state.busy == 0; }));
    clickElement(f, 12);
    EXPECT_EQ(f.state.editLevel, 1);
}

TEST(MainCommands, HelpOpensThePageOfTheLanguageOrSaysItIsMissing) {
    talvik::test::CTempDir dir;
    CMainWindowFixture f(3);
    f.dlg().setHelpFolder(QString::fromStdString(dir.path().string()));
    f.dlg().runCommand(id::Help, 2);
    ASSERT_EQ(f.notices.size(), 1);
    EXPECT_TRUE(f.notices[0].startsWith(QStringLiteral("Talvik(S)|找不到帮助页面")));
    EXPECT_TRUE(f.opened.isEmpty());

    talvik::test::writeFile(dir.path() / "Talvik.zh-CN.html", "<html></html>");
    talvik::test::writeFile(dir.path() / "Talvik.en-US.html", "<html></html>");
    f.dlg().runCommand(id::Help, 2);
    f.dlg().runCommand(id::Language, 0);
    f.dlg().runCommand(id::Help, 2);
    ASSERT_EQ(f.opened.size(), 2);
    EXPECT_EQ(f.opened[0], QUrl::fromLocalFile(pathIn(dir, "Talvik.zh-CN.html")));
    EXPECT_EQ(f.opened[1], QUrl::fromLocalFile(pathIn(dir, "Talvik.en-US.html")));

    f.openerWorks = false;
    f.dlg().runCommand(id::Help, 2);
    ASSERT_EQ(f.notices.size(), 2);
    EXPECT_TRUE(f.notices[1].contains(QStringLiteral("No program could open the help page")));
}

TEST(MainCommands, TheBuiltHelpPagesExistInBothLanguages) {
    const QString folder = QStringLiteral(TALVIK_BINARY_DIR "/bin/help");
    for (const Language language : {Language::Chinese, Language::English}) {
        const QString page = talvik::shell::COrsaDlg::helpPagePath(folder, language);
        EXPECT_TRUE(QFileInfo(page).isFile()) << page.toStdString();
    }
}

TEST(MainCommands, WithoutANotificationAreaMinimiseKeepsAWayBack) {
    CMainWindowFixture f(1);
    f.dlg().show();
    f.dlg().runCommand(id::Minimise, 3);
    EXPECT_TRUE(f.dlg().isVisible());
    EXPECT_TRUE(f.dlg().isMinimized());
    EXPECT_EQ(f.dlg().trayIcon(), nullptr) << "no icon is made where none can be shown";
}

TEST(MainCommands, TheNotificationAreaHidesAndRestoresAndItsMenuEndsWithoutQuestions) {
    CMainWindowFixture f(2);
    f.trayAvailable = true;
    f.dlg().show();
    f.dlg().runCommand(id::Minimise, 3);
    EXPECT_FALSE(f.dlg().isVisible());
    ASSERT_NE(f.dlg().trayIcon(), nullptr);
    EXPECT_TRUE(f.dlg().trayIcon()->isVisible());
    EXPECT_EQ(f.dlg().trayIcon()->toolTip(), QStringLiteral("Talvik(S)BLe"));
    EXPECT_EQ(f.dlg().trayExitAction()->text(), QStringLiteral("关闭"));

    f.dlg().trayActivated(QSystemTrayIcon::Context);
    EXPECT_FALSE(f.dlg().isVisible()) << "the right button only opens the menu";
    f.dlg().trayActivated(QSystemTrayIcon::DoubleClick);
    EXPECT_TRUE(f.dlg().isVisible());
    EXPECT_FALSE(f.dlg().trayIcon()->isVisible());

    f.dlg().runCommand(id::Language, 0);
    f.state.modified = 1;
    f.dlg().runCommand(id::Minimise, 3);
    EXPECT_EQ(f.dlg().trayExitAction()->text(), QStringLiteral("Exit"));
    f.dlg().trayExitAction()->trigger();
    EXPECT_FALSE(f.dlg().trayIcon()->isVisible());
    EXPECT_EQ(f.dlg().result(), QDialog::Rejected);
    EXPECT_TRUE(f.questions.isEmpty()) << "Cancel semantics: no questions";
}

TEST(ProfileMessages, RepairsAreListedPlainlyAndLongListsAreCut) {
    using talvik::shell::repairLines;
    std::string notes =
        "<read encoding=\"UTF-8\"/><converted_to encoding=\"UTF-16\" length=\"9\"/>";
    EXPECT_TRUE(repairLines(notes, Language::English).isEmpty())
        << "how a file was read is no repair";
    notes += "<skipped element=\"x\" ID=\"-4\"/><lone_end_tag tagname=\"a&amp;b\" offset=\"7\"/>";
    EXPECT_EQ(repairLines(notes, Language::English),
              (QStringList{QStringLiteral("A x with the invalid ID -4 was skipped"),
                           QStringLiteral("A stray end tag </a&b> at character 7 was ignored")}));
    EXPECT_EQ(repairLines(notes, Language::Chinese)[0],
              QStringLiteral("跳过了编号无效的 x（ID=-4）"));
    for (int i = 0; i < 10; ++i) {
        notes += "<first_tag_syntax offset=\"" + std::to_string(i) + "\"/>";
    }
    const QStringList lines = repairLines(notes, Language::English);
    ASSERT_EQ(lines.size(), 9);
    EXPECT_EQ(lines[2], QStringLiteral("A broken tag at character 0 was skipped"));
    EXPECT_EQ(lines.last(), QStringLiteral("... and 4 more"));
    EXPECT_EQ(repairLines("<odd/>", Language::English),
              QStringList{QStringLiteral("Another problem: odd")});
}

TEST(ProfileMessages, ATooLargeFileIsNamedWithTheBoundInEitherLanguage) {
    using talvik::shell::profileLoadMessage;
    const SProfileResult result{EProfileStatus::TooLarge, "/home/u/big.pro"};
    EXPECT_EQ(profileLoadMessage(result, Language::English, 1),
              QStringLiteral("The profile /home/u/big.pro is larger than 512 MB, more than "
                             "Talvik ever writes, and was not read.\nThe current configuration "
                             "is unchanged."));
    EXPECT_EQ(profileLoadMessage(result, Language::Chinese, 1),
              QStringLiteral("配置文件 /home/u/big.pro 超过 512 MB，不是 Talvik 能写出的配置文件，"
                             "没有读取。\n当前配置没有改变。"));
}

TEST(ProfileMessages, AnAssumedEncodingIsToldAndJoinsWhatElseTheLoadFound) {
    using talvik::shell::profileLoadMessage;
    const auto message = [](const char* encoding, const char* notes, Language language) {
        return profileLoadMessage({EProfileStatus::Ok, notes, encoding}, language, 1);
    };
    const QString english = QStringLiteral("The profile's text was not UTF-8 and was read as "
                                           "Windows-1252; it will be saved as UTF-8.");
    EXPECT_EQ(message("Windows-1252", "", Language::English), english);
    EXPECT_EQ(
        message("GB18030", "", Language::Chinese),
        QStringLiteral("配置文件的文本不是 UTF-8 编码，已按 GB18030 读取，保存时将改存为 UTF-8。"));
    EXPECT_EQ(message("", "", Language::English), QString()) << "a clean load says nothing";

    // Characters alone are no damage to the file's structure.
    const QString characters =
        message("Windows-1252", "<undefined_bytes count=\"5\"/>", Language::English);
    EXPECT_EQ(characters,
              english + QStringLiteral(
                            "\nSome characters of the profile could not be read as written:\n"
                            "5 bytes that Windows-1252 leaves undefined were kept as invisible "
                            "control characters\nCheck the names and contents before writing "
                            "the configuration to the keyboard."));
    EXPECT_TRUE(message("", "<unreadable count=\"2\"/>", Language::Chinese)
                    .contains(QStringLiteral("2 个字符无法识别，已替换为“?”")));

    // A damaged file read in a legacy encoding: both are told, the encoding first.
    const QString damaged = message(
        "GB18030", "<legacy_encoding encoding=\"GB18030\"/><skipped element=\"KEY\" ID=\"99\"/>",
        Language::English);
    EXPECT_TRUE(damaged.startsWith(
        QStringLiteral("The profile's text was not UTF-8 and was read as GB18030; it will be "
                       "saved as UTF-8.\nThe profile is damaged and was read as far as "
                       "possible:\nA KEY with the invalid ID 99 was skipped\n")))
        << damaged.toStdString();
    EXPECT_FALSE(damaged.contains(QStringLiteral("legacy_encoding"))) << damaged.toStdString();
}

namespace {

using talvik::jobs::EJobEnd;

// Device commands whose jobs end as `outcome` says, recording what ran.
struct CDeviceLog {
    QList<int> jobs;
    QStringList dialogs;
    EJobEnd outcome = EJobEnd::Succeeded;
    std::string failureText;

    talvik::shell::CMainWindowDialogs commands() {
        talvik::shell::CMainWindowDialogs dialogs;
        dialogs.runJob = [this](talvik::jobs::EJob job) {
            jobs << static_cast<int>(job);
            return talvik::jobs::CJobReport{outcome, outcome == EJobEnd::Failed ? failureText
                                                                                : std::string()};
        };
        dialogs.backlight = [this] { this->dialogs << QStringLiteral("backlight"); };
        dialogs.firmware = [this] { this->dialogs << QStringLiteral("firmware"); };
        return dialogs;
    }
};

} // namespace

TEST(MainCommands, WritingKeysSaysOkOnlyWhenTheKeyboardTookThem) {
    CMainWindowFixture f(2);
    CDeviceLog device;
    f.dlg().setDialogs(device.commands());
    f.state.modified = 1;

    device.outcome = EJobEnd::Failed;
    f.dlg().runCommand(id::WriteKeys, 8);
    EXPECT_EQ(f.state.modified, 1) << "a failed write keeps the changes marked unwritten";
    ASSERT_EQ(f.notices.size(), 1);
    EXPECT_FALSE(f.notices[0].contains(QStringLiteral("OK!!")));
    EXPECT_TRUE(f.notices[0].startsWith(QStringLiteral("Talvik(S)Ble|与键盘的传输失败")))
        << f.notices[0].toStdString();

    device.outcome = EJobEnd::Cancelled;
    f.dlg().runCommand(id::WriteKeys, 8);
    EXPECT_EQ(f.state.modified, 1);
    EXPECT_EQ(f.notices.size(), 1) << "a cancelled job says nothing";

    device.outcome = EJobEnd::Succeeded;
    f.dlg().runCommand(id::WriteKeys, 8);
    EXPECT_EQ(f.state.modified, 0);
    EXPECT_EQ(f.notices.last(), QStringLiteral("Talvik(S)Ble|OK!!"));
    EXPECT_EQ(device.jobs, (QList<int>{1, 1, 1}));
}

TEST(MainCommands, ReadingCountersAndEverythingRunTheirJobsAndTellTheOutcome) {
    CMainWindowFixture f(3);
    CDeviceLog device;
    f.dlg().setDialogs(device.commands());
    f.dlg().runCommand(id::ReadCounters, 1);
    f.dlg().runCommand(id::ReadAll, 10);
    f.dlg().runCommand(id::Language, 0);
    device.outcome = EJobEnd::Failed;
    device.failureText = "Reading the keys failed.";
    f.dlg().runCommand(id::ReadAll, 10);
    EXPECT_EQ(device.jobs, (QList<int>{5, 3, 3}));
    ASSERT_EQ(f.notices.size(), 3);
    EXPECT_EQ(f.notices[0], QStringLiteral("Talvik(S)|OK!!"));
    EXPECT_EQ(f.notices[1], QStringLiteral("Talvik(S)|OK!!"));
    EXPECT_EQ(f.notices[2], QStringLiteral("Talvik(S)|Reading the keys failed."));
    EXPECT_EQ(f.state.modified, 0) << "reading leaves the modified flag alone";
}

TEST(MainCommands, OnModelsWithoutBacklightTheButtonThereReadsAll) {
    for (const int model : {2, 3}) {
        CMainWindowFixture f(model);
        CDeviceLog device;
        f.dlg().setDialogs(device.commands());
        f.dlg().show();
        const QPointF at((435 + 535) / 2, (92 + 128) / 2); // the backlight button of models 1, 4
        QMouseEvent release(QEvent::MouseButtonRelease, at, f.dlg().mapToGlobal(at), Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&f.dlg(), &release);
        EXPECT_EQ(device.jobs, QList<int>{3}) << "model " << model;
        EXPECT_TRUE(device.dialogs.isEmpty());
    }
    CMainWindowFixture wide(4);
    CDeviceLog device;
    wide.dlg().setDialogs(device.commands());
    wide.dlg().runCommand(id::Backlight, 9);
    wide.dlg().runCommand(id::Firmware, 11);
    EXPECT_EQ(device.dialogs,
              (QStringList{QStringLiteral("backlight"), QStringLiteral("firmware")}));
    EXPECT_TRUE(wide.notices.isEmpty()) << "the dialogs report for themselves";
}
