// The backup before a write: what it reads from the simulated keyboard and
// what not, what the saved profile holds, and the folder it keeps.

#include "JobTestSupport.h"

#include "talvik/backup/BackupText.h"
#include "talvik/backup/Backups.h"
#include "talvik/backup/CBackupJob.h"
#include "talvik/profile/Profile.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

using namespace talvik;
using namespace talvik::backup;
using namespace talvik::test;
using model::KeyMode;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kKeyS = 44;

model::CActionList macroOnS() {
    model::CActionList macro(9);
    for (const char* item : {"S Down", "<30 ms>", "S UP", "<40 ms>", "K"}) {
        macro.append(item);
    }
    return macro;
}

// A keyboard whose memory lives in a state file, as from one program run to the next.
struct CKeyboardRun {
    CKeyboardRun(const fs::path& stateFile, const fs::path& log, const std::string& faults = {})
        : board(CSimulatorSetup{
              .faults = faults, .stateFile = stateFile.string(), .trafficLog = log.string()}) {}
    CKeyboardState board;
    model::CAppState& state = board.state;
};

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

class BackupOnKeyboard : public ::testing::Test {
protected:
    CTempDir dir;
    fs::path stateFile = dir.path() / "keyboard.state";
    std::vector<int> macroRecord; // key S's definition as the earlier run wrote it
    fs::path log = dir.path() / "traffic.log";
    std::string folder = (dir.path() / "backups").string();

    // The keyboard holds a macro on key S, written by an earlier run.
    void SetUp() override {
        CKeyboardRun earlier(stateFile, dir.path() / "earlier.log");
        earlier.state.keyConfig.Mode[kKeyS][0] = KeyMode::Macro;
        earlier.state.keyConfig.ComboKey[kKeyS][0].assign(macroOnS());
        macroRecord = earlier.state.buildKeyDefinition(0, kKeyS);
        CWaitRecorder waits;
        ASSERT_TRUE(
            jobs::runJobHere(jobs::EJob::WriteKeys, earlier.state, waits.control()).succeeded());
    }
};

} // namespace

TEST_F(BackupOnKeyboard,
       FirstWriteReadsTheMacroIntoTheBackup_SecondReadsNothing_BackupWritesItBack) {
    auto program = std::make_unique<CKeyboardRun>(stateFile, log);
    CKeyboardRun& run = *program;
    const model::CKeyConfig before = run.state.keyConfig;
    CWaitRecorder waits;

    Clock::time_point start = Clock::now();
    const SBackupResult first = runBackupHere(EBackupOf::Keys, folder, run.state, waits.control());
    const double firstBackup = millisecondsSince(start);
    ASSERT_TRUE(first.ok()) << first.message;
    EXPECT_EQ(reportsTaken(log), 1u) << "one key table read";
    // The user's configuration is untouched; the program now knows what the keyboard holds.
    EXPECT_TRUE(model::sameAssignment(run.state.keyConfig, before, kKeyS, 0));
    ASSERT_TRUE(run.state.keyboard.keys.has_value());
    EXPECT_EQ(run.state.keyboard.keys->Mode[kKeyS][0], KeyMode::Macro);
    EXPECT_EQ(run.state.keyboard.keys->ComboKey[kKeyS][0].count(), 5);
    EXPECT_EQ(parseBackupFileName(fs::path(first.path).filename().string())->parts,
              (SBackupParts{true, false}));

    start = Clock::now();
    ASSERT_TRUE(jobs::runJobHere(jobs::EJob::WriteKeys, run.state, waits.control()).succeeded());
    const double write = millisecondsSince(start);
    // The simulator logs the last reports of the write a moment after the write returns.
    const std::size_t afterWrite = 1 + 176;
    ASSERT_TRUE(waitUntil([&] { return reportsTaken(log) == afterWrite; }));

    start = Clock::now();
    const SBackupResult second = runBackupHere(EBackupOf::Keys, folder, run.state, waits.control());
    const double secondBackup = millisecondsSince(start);
    ASSERT_TRUE(second.ok()) << second.message;
    EXPECT_EQ(reportsTaken(log), afterWrite) << "what the write sent is known: no read";
    EXPECT_NE(second.path, first.path);
    std::printf("key write %.1f ms; backup before it: first of the run (reads) %.1f ms, "
                "later (no read) %.1f ms\n",
                write, firstBackup, secondBackup);

    // The first backup holds the macro, says which parts are the program's, and writes it back.
    const std::string text = readFile(first.path);
    EXPECT_NE(text.find("<!-- Backup saved by Talvik"), std::string::npos);
    EXPECT_NE(text.find("backlight colours, the three collections."), std::string::npos);
    const profile::SProfileResult loaded = profile::loadProfile(run.state, first.path);
    ASSERT_TRUE(loaded.ok());
    EXPECT_TRUE(loaded.message.empty()) << loaded.message;
    EXPECT_EQ(run.state.buildKeyDefinition(0, kKeyS), macroRecord);
    ASSERT_TRUE(jobs::runJobHere(jobs::EJob::WriteKeys, run.state, waits.control()).succeeded());
    program.reset(); // the keyboard's memory goes to the state file as the connection closes

    CKeyboardRun later(stateFile, dir.path() / "later.log");
    ASSERT_TRUE(jobs::runJobHere(jobs::EJob::ReadAll, later.state, waits.control()).succeeded());
    EXPECT_EQ(later.state.buildKeyDefinition(0, kKeyS), macroRecord);
}

TEST_F(BackupOnKeyboard,
       KeyboardThatStopsAnsweringDuringTheReads_NoBackup_KeysThatArrivedAreKnown) {
    // The key table comes whole, the light read gets no answer.
    CKeyboardRun run(stateFile, log, "silent:1");
    const model::CKeyConfig before = run.state.keyConfig;
    CWaitRecorder waits;
    const SBackupResult result =
        runBackupHere(EBackupOf::KeysAndLights, folder, run.state, waits.control());
    EXPECT_EQ(result.status, EBackupStatus::ReadFailed);
    EXPECT_EQ(waits.requested(), std::vector<int>{2000}) << "the wait between the two reads";
    EXPECT_EQ(reportsTaken(log), 2u) << "the two read requests, no write";
    EXPECT_TRUE(listBackups(folder).empty());
    EXPECT_TRUE(run.state.keyboard.keys.has_value());
    EXPECT_FALSE(run.state.keyboard.lights.has_value());
    EXPECT_TRUE(model::sameAssignment(run.state.keyConfig, before, kKeyS, 0));
    EXPECT_NE(backupFailureText(result, folder, text::Language::English).find("could not be read"),
              std::string::npos);
}

TEST_F(BackupOnKeyboard, FolderThatCannotBeMade_SaveFailsWithTheReason_NothingSent) {
    CKeyboardRun run(stateFile, log);
    run.state.keyboard.keys = run.state.keyConfig;
    writeFile(dir.path() / "file", "");
    const std::string inFile = (dir.path() / "file" / "backups").string();
    CWaitRecorder waits;
    const SBackupResult result = runBackupHere(EBackupOf::Keys, inFile, run.state, waits.control());
    EXPECT_EQ(result.status, EBackupStatus::SaveFailed);
    EXPECT_FALSE(result.message.empty());
    EXPECT_EQ(reportsTaken(log), 0u);
    const std::string zh = backupFailureText(result, inFile, text::Language::Chinese);
    EXPECT_NE(zh.find(inFile), std::string::npos);
    EXPECT_NE(zh.find("没有向键盘写入任何数据"), std::string::npos);
}

TEST(BackupFolder, KeepsTheNewestFifty_AndNeverTouchesFilesOfItsOwn) {
    CTempDir dir;
    const std::string folder = dir.path().string();
    writeFile(dir.path() / "notes.txt", "mine");
    writeFile(dir.path() / "20200101T000000Z-00-model1-keys.pro.new", "mine");
    model::CKeyConfig config;
    const auto start = std::chrono::system_clock::from_time_t(1700000000);
    std::vector<std::string> saved;
    for (int i = 0; i < 53; ++i) {
        // Two backups in one second at the end.
        const auto at = start + std::chrono::seconds(std::min(i, 51));
        const SBackupSaveResult result =
            saveBackup(folder, config, 1 + i % 4, {true, i % 2 == 0}, at);
        ASSERT_TRUE(result.ok()) << result.message;
        saved.push_back(fs::path(result.path).filename().string());
    }
    EXPECT_NE(saved[51], saved[52]);
    EXPECT_EQ(saved[52].substr(0, 19), "20231114T221411Z-01");
    const std::vector<SBackupInfo> backups = listBackups(folder);
    ASSERT_EQ(backups.size(), kKeptBackups);
    EXPECT_EQ(backups.front().fileName, saved[52]) << "newest first, the later of one second";
    EXPECT_EQ(backups[1].fileName, saved[51]);
    EXPECT_EQ(backups.back().fileName, saved[3]);
    EXPECT_EQ(backups.back().modelNumber, 4);
    EXPECT_EQ(backups.back().parts, (SBackupParts{true, false}));
    EXPECT_TRUE(fs::exists(dir.path() / "notes.txt"));
    EXPECT_TRUE(fs::exists(dir.path() / "20200101T000000Z-00-model1-keys.pro.new"));
}

TEST(BackupFolder, NamesOfAnotherFormAreNoBackups) {
    for (const char* name :
         {"20231114T221411Z-00-model1-keys.pro.new", "20231114T221411Z-00-model5-keys.pro",
          "20231314T221411Z-00-model1-keys.pro", "20231114T221411-00-model1-keys.pro",
          "20231114T221411Z-0-model1-keys.pro", "20231114T221411Z-00-model1-colours.pro",
          "20231114T221411Z-00-model1-.pro", "x",
          // Beyond what the clock's time points hold: no overflow, no backup.
          "40501114T221411Z-00-model1-keys.pro", "19691231T235959Z-00-model1-keys.pro"}) {
        EXPECT_FALSE(parseBackupFileName(name).has_value()) << name;
    }
    const std::optional<SBackupInfo> info =
        parseBackupFileName("20231114T221411Z-07-model3-keys-lights.pro");
    ASSERT_TRUE(info.has_value());
    EXPECT_EQ(info->time, std::chrono::system_clock::from_time_t(1700000051));
    EXPECT_EQ(info->sequence, 7);
    EXPECT_EQ(info->modelNumber, 3);
    EXPECT_EQ(info->parts, (SBackupParts{true, true}));
}

TEST(BackupFolder, FollowsXdgDataHome_HomeWhenItIsUnsetEmptyOrRelative) {
    const char* oldData = std::getenv("XDG_DATA_HOME");
    const std::string keptData = oldData != nullptr ? oldData : "";
    const char* oldHome = std::getenv("HOME");
    const std::string keptHome = oldHome != nullptr ? oldHome : "";
    ::setenv("HOME", "/home/someone", 1);
    ::setenv("XDG_DATA_HOME", "/data", 1);
    EXPECT_EQ(backupsFolder(), "/data/talvik/backups");
    for (const char* fallback : {"", "relative/data"}) {
        ::setenv("XDG_DATA_HOME", fallback, 1);
        EXPECT_EQ(backupsFolder(), "/home/someone/.local/share/talvik/backups") << fallback;
    }
    ::unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(backupsFolder(), "/home/someone/.local/share/talvik/backups");
    oldData != nullptr ? ::setenv("XDG_DATA_HOME", keptData.c_str(), 1)
                       : ::unsetenv("XDG_DATA_HOME");
    oldHome != nullptr ? ::setenv("HOME", keptHome.c_str(), 1) : ::unsetenv("HOME");
}

TEST(BackupComment, DashesInTheCommentKeepTheProfileReadable) {
    CTempDir dir;
    model::CAppState state(CDeviceEnvironment::withoutDevices(1));
    state.buildNameTables();
    state.modelNumber = 1;
    state.resetToDefaults();
    const std::string path = (dir.path() / "a.pro").string();
    ASSERT_TRUE(profile::saveProfile(state.keyConfig, 1, path, "a -- b --- c-").ok());
    const std::string text = readFile(path);
    EXPECT_NE(text.find("<!-- a - - b - - - c- -->\r\n<Talvik(RGB)BLe>"), std::string::npos);
    const profile::SProfileResult loaded = profile::loadProfile(state, path);
    EXPECT_TRUE(loaded.ok());
    EXPECT_TRUE(loaded.message.empty()) << loaded.message;
}
