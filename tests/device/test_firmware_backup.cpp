// The backup the firmware dialog makes before a download, on a simulated
// keyboard whose memory comes from an earlier run: what it reads and what
// not, where the backup goes, and the one question when it cannot be made.

#include "DeviceFixture.h"
#include "JobTestSupport.h"

#include "talvik/backup/BackupText.h"
#include "talvik/backup/Backups.h"
#include "talvik/device/CFirmwareDownload.h"
#include "talvik/device/COrsaDialogFirmwareUpdate.h"
#include "talvik/profile/Profile.h"

#include "talvik/layout/DeviceLayout.h"

#include <QTest>
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <thread>

using namespace talvik;
using namespace talvik::test;
using device::CFirmwareDownload;
using device::COrsaDialogFirmwareUpdate;
using model::KeyMode;
namespace id = layout::firmware_id;
namespace fs = std::filesystem;

namespace {

constexpr int kKeyS = 44;

// Points XDG_DATA_HOME at `folder` while it lives.
class CDataHome {
public:
    explicit CDataHome(const fs::path& folder) {
        if (const char* was = std::getenv("XDG_DATA_HOME")) {
            m_was = was;
        }
        ::setenv("XDG_DATA_HOME", folder.c_str(), 1);
    }
    ~CDataHome() {
        if (m_was) {
            ::setenv("XDG_DATA_HOME", m_was->c_str(), 1);
        } else {
            ::unsetenv("XDG_DATA_HOME");
        }
    }
    CDataHome(const CDataHome&) = delete;
    CDataHome& operator=(const CDataHome&) = delete;

private:
    std::optional<std::string> m_was;
};

// What the program sent since the dialog opened: firmware records and the rest.
struct CSent {
    std::size_t firmware = 0;
    std::size_t otherBeforeFirmware = 0; // the backup's read requests
};

CSent sentSince(const fs::path& log, std::size_t first) {
    std::ifstream in(log);
    CSent sent;
    std::size_t line = 0;
    for (std::string text; std::getline(in, text); ++line) {
        if (line < first || !text.starts_with("W ")) {
            continue;
        }
        if (text.starts_with("W 003a")) {
            ++sent.firmware;
        } else if (sent.firmware == 0) {
            ++sent.otherBeforeFirmware;
        }
    }
    return sent;
}

std::size_t lineCount(const fs::path& log) {
    std::ifstream in(log);
    std::size_t lines = 0;
    for (std::string text; std::getline(in, text);) {
        ++lines;
    }
    return lines;
}

// Model 1's keyboard, holding a macro on key S from an earlier run, the
// firmware dialog on it with a chosen image, and a backup folder under a
// data home of the test's own.
class FirmwareBackup : public ::testing::Test {
protected:
    CTempDir dir;
    fs::path stateFile = dir.path() / "keyboard.state";
    fs::path log = dir.path() / "traffic.log";
    fs::path image = dir.path() / "Talvik(RGB)BLe_2.0.bin";
    CDataHome home{dir.path() / "data"};
    std::vector<int> macroRecord;
    std::vector<QString> questions;
    bool answer = false;
    std::vector<int> waits;
    std::atomic<bool> holdBetweenReads{false};

    void SetUp() override {
        CKeyboardState earlier(CSimulatorSetup{.stateFile = stateFile.string()});
        earlier.state.keyConfig.Mode[kKeyS][0] = KeyMode::Macro;
        for (const char* item : {"S Down", "<30 ms>", "S UP", "<40 ms>", "K"}) {
            earlier.state.keyConfig.ComboKey[kKeyS][0].append(item);
        }
        macroRecord = earlier.state.buildKeyDefinition(0, kKeyS);
        CWaitRecorder recorder;
        ASSERT_TRUE(
            jobs::runJobHere(jobs::EJob::WriteKeys, earlier.state, recorder.control()).succeeded());

        const fs::path binary = dir.path() / "image.raw";
        writeFile(binary, std::string(256, '\x5a'));
        ASSERT_TRUE(objcopyToIntelHex(binary, image));
    }

    struct CRun {
        CRun(const CSimulatorSetup& setup, text::Language language) : f(1, setup, language) {}
        CDeviceFixture f;
        CFirmwareDownload download{f.state, f.slot};
        COrsaDialogFirmwareUpdate dialog{f.app, f.state, download};
        std::size_t before = 0; // the log's lines when the image had been chosen
    };

    // The program's run on that keyboard, the dialog open with the image chosen
    // and its backups going where backupsFolder() says.
    std::unique_ptr<CRun> open(text::Language language = text::Language::Chinese,
                               const std::string& faults = {}) {
        auto run = std::make_unique<CRun>(CSimulatorSetup{.faults = faults,
                                                          .stateFile = stateFile.string(),
                                                          .trafficLog = log.string()},
                                          language);
        device::CDevicePrompts prompts = run->f.prompts();
        prompts.question = [this](const QString&, const QString& text) {
            questions.push_back(text);
            return answer;
        };
        run->dialog.setPrompts(prompts);
        run->dialog.setSleep([this](std::chrono::milliseconds duration) {
            waits.push_back(static_cast<int>(duration.count()));
            while (holdBetweenReads) {
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
        });
        run->dialog.setBackupFolder(backup::backupsFolder());
        EXPECT_TRUE(run->dialog.initialise(QSize(1920, 1080)));
        run->f.files = {QString::fromStdString(image.string())};
        run->dialog.runCommand(id::Open);
        run->before = lineCount(log);
        return run;
    }

    std::string folder() const { return (dir.path() / "data" / "talvik" / "backups").string(); }
};

bool sameKeys(const model::CKeyConfig& a, const model::CKeyConfig& b) {
    return a.Mode == b.Mode && a.HWCode == b.HWCode;
}

} // namespace

TEST_F(FirmwareBackup, DownloadReadsBothPartsIntoABackupWithTheMacro_ThenSendsTheImage) {
    auto run = open();
    CRun& r = *run;
    const model::CKeyConfig mine = r.f.state.keyConfig;
    holdBetweenReads = true;
    r.dialog.runCommand(id::Update);
    EXPECT_TRUE(r.dialog.backingUp());
    EXPECT_EQ(r.dialog.barText(), QStringLiteral("正在备份键盘的设置…"));
    // Every slot the earlier run wrote comes back: the key read fills the bar.
    ASSERT_TRUE(waitFor([&] { return r.dialog.percent() == 100; }));
    EXPECT_TRUE(r.dialog.backingUp());
    EXPECT_EQ(sentSince(log, r.before).firmware, 0u);
    holdBetweenReads = false;

    ASSERT_TRUE(waitFor([&] { return !r.f.messages.isEmpty(); }));
    EXPECT_TRUE(r.f.messages[0].startsWith(QStringLiteral("固件下载完成。")))
        << r.f.messages[0].toStdString();
    EXPECT_TRUE(questions.empty());
    EXPECT_EQ(waits, std::vector<int>{static_cast<int>(jobs::kBetweenReadsWait.count())});
    ASSERT_TRUE(waitFor([&] { return sentSince(log, r.before).firmware >= 17u; }));
    const CSent sent = sentSince(log, r.before);
    EXPECT_EQ(sent.otherBeforeFirmware, 2u) << "the key read, then the light read";
    EXPECT_EQ(sent.firmware, 256u / 16 + 1);

    const std::vector<backup::SBackupInfo> saved = backup::listBackups(folder());
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_EQ(saved[0].path, r.dialog.backupResult().path);
    EXPECT_EQ(saved[0].parts, (backup::SBackupParts{true, true}));
    // The user's own configuration stays as it was; the keyboard's is known now.
    EXPECT_TRUE(sameKeys(r.f.state.keyConfig, mine));
    ASSERT_TRUE(r.f.state.keyboard.keys.has_value());
    EXPECT_EQ(r.f.state.keyboard.keys->Mode[kKeyS][0], KeyMode::Macro);
    ASSERT_TRUE(profile::loadProfile(r.f.state, saved[0].path).ok());
    EXPECT_EQ(r.f.state.buildKeyDefinition(0, kKeyS), macroRecord);
}

TEST_F(FirmwareBackup, AKnownKeyboardIsNotReadAgain) {
    auto run = open(text::Language::English);
    CRun& r = *run;
    r.f.state.keyboard.keys = r.f.state.keyConfig;
    r.f.state.keyboard.lights = r.f.state.keyConfig.LightAreas;
    r.dialog.runCommand(id::Update);
    ASSERT_TRUE(waitFor([&] { return !r.f.messages.isEmpty(); }));
    EXPECT_TRUE(r.f.messages[0].startsWith(QStringLiteral("The Firmware is downloaded")));
    ASSERT_TRUE(waitFor([&] { return sentSince(log, r.before).firmware >= 17u; }));
    EXPECT_EQ(sentSince(log, r.before).otherBeforeFirmware, 0u);
    EXPECT_TRUE(waits.empty());
    EXPECT_EQ(backup::listBackups(folder()).size(), 1u);
}

TEST_F(FirmwareBackup, ABackupThatCannotBeSaved_AsksOnce_NoSendsNothing_YesDownloadsWithoutOne) {
    writeFile(dir.path() / "data", ""); // the data home is a file: no folder under it
    auto run = open();
    CRun& r = *run;
    r.dialog.runCommand(id::Update);
    ASSERT_TRUE(waitFor([&] { return !questions.empty(); }));
    QTest::qWait(50); // a download would have started by now
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_TRUE(questions[0].contains(QStringLiteral("无法在 "))) << questions[0].toStdString();
    EXPECT_TRUE(questions[0].endsWith(
        QString::fromStdString(backup::writeWithoutBackupQuestion(text::Language::Chinese))));
    EXPECT_EQ(r.dialog.backupResult().status, backup::EBackupStatus::SaveFailed);
    EXPECT_FALSE(r.download.running());
    EXPECT_EQ(sentSince(log, r.before).firmware, 0u);
    EXPECT_TRUE(r.f.messages.isEmpty());
    EXPECT_TRUE(r.dialog.ready()) << "Update may be tried again";
    EXPECT_TRUE(r.dialog.barText().isEmpty());

    // The first attempt's reads are known now: the second reads nothing more.
    answer = true;
    r.dialog.runCommand(id::Update);
    ASSERT_TRUE(waitFor([&] { return !r.f.messages.isEmpty(); }));
    EXPECT_EQ(questions.size(), 2u);
    ASSERT_TRUE(waitFor([&] { return sentSince(log, r.before).firmware >= 17u; }));
    EXPECT_EQ(sentSince(log, r.before).otherBeforeFirmware, 2u);
}

TEST_F(FirmwareBackup, AKeyboardThatDoesNotAnswerTheRead_AsksOnce_NoSendsNoFirmware) {
    auto run = open(text::Language::English, "silent");
    CRun& r = *run;
    r.dialog.runCommand(id::Update);
    ASSERT_TRUE(waitFor([&] { return !questions.empty(); }));
    QTest::qWait(50);
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_TRUE(questions[0].startsWith(QStringLiteral("The keyboard's current settings could "
                                                       "not be read")))
        << questions[0].toStdString();
    EXPECT_EQ(sentSince(log, r.before).otherBeforeFirmware, 1u) << "no light read after it";
    EXPECT_EQ(sentSince(log, r.before).firmware, 0u);
    EXPECT_FALSE(r.download.running());
    EXPECT_TRUE(backup::listBackups(folder()).empty());
}

TEST_F(FirmwareBackup, ADamagedImageReadsNothingAndSendsNothing) {
    std::string text = readFile(image);
    const std::size_t digit = text.find("\r\n") - 1; // the first record's checksum no longer holds
    text[digit] = text[digit] == '0' ? '1' : '0';
    writeFile(image, text);
    auto run = open(text::Language::English);
    CRun& r = *run;
    r.dialog.runCommand(id::Update);
    ASSERT_EQ(r.f.messages.size(), 1);
    EXPECT_TRUE(r.f.messages[0].contains(QStringLiteral("damaged")))
        << r.f.messages[0].toStdString();
    EXPECT_FALSE(r.dialog.backingUp());
    QTest::qWait(50);
    EXPECT_EQ(lineCount(log), r.before);
    EXPECT_TRUE(backup::listBackups(folder()).empty());
}

TEST_F(FirmwareBackup, ClosingTheDialogDuringTheBackupCancelsTheDownload) {
    auto run = open(text::Language::English);
    CRun& r = *run;
    holdBetweenReads = true;
    r.dialog.runCommand(id::Update);
    ASSERT_TRUE(waitFor([&] { return !waits.empty(); }));
    r.dialog.runCommand(id::Close);
    EXPECT_TRUE(r.f.messages.isEmpty()) << "no download goes on";
    holdBetweenReads = false;
    r.f.slot.waitUntilFree();
    QTest::qWait(50);
    EXPECT_FALSE(r.download.running());
    EXPECT_EQ(sentSince(log, r.before).otherBeforeFirmware, 1u) << "the light read is not made";
    EXPECT_EQ(sentSince(log, r.before).firmware, 0u);
    EXPECT_TRUE(backup::listBackups(folder()).empty());
    EXPECT_TRUE(r.f.messages.isEmpty());
}
