// The backup the progress dialog makes before a write, and its one question
// when the backup cannot be made.

#include "ProgressTestSupport.h"

#include "talvik/backup/BackupText.h"
#include "talvik/backup/Backups.h"

#include <gtest/gtest.h>

using namespace talvik;
using namespace talvik::test;
using device::IDCANCEL;
using device::IDOK;
using jobs::EJob;
namespace fs = std::filesystem;

namespace {

struct CBackupFixture {
    CTempDir dir;
    std::string log = (dir.path() / "traffic.log").string();
    CProgressFixture f{CSimulatorSetup{.trafficLog = log}};
    std::vector<QString> questions;

    // A dialog for `job` saving into `folder`, answering the question with `yes`.
    std::unique_ptr<CWatchedProgress> dialog(EJob job, const fs::path& folder, bool yes) {
        auto d = std::make_unique<CWatchedProgress>(f, job);
        d->setSleep([](auto) {});
        d->m_backupFolder = folder.string();
        device::CDevicePrompts prompts;
        prompts.question = [this, yes](const QString&, const QString& text) {
            questions.push_back(text);
            return yes;
        };
        d->setPrompts(prompts);
        return d;
    }
    // A folder that cannot be made: its parent is a file.
    fs::path unwritable() {
        writeFile(dir.path() / "file", "");
        return dir.path() / "file" / "backups";
    }
};

} // namespace

TEST(ProgressBackup, SavedBeforeTheWrite_WithoutAQuestion) {
    CBackupFixture b;
    ASSERT_TRUE(b.f.loaded);
    const fs::path folder = b.dir.path() / "backups";
    auto write = b.dialog(EJob::WriteKeys, folder, false);
    EXPECT_EQ(write->exec(), IDOK);
    EXPECT_TRUE(write->succeeded());
    EXPECT_TRUE(b.questions.empty());
    ASSERT_TRUE(write->backupResult().ok());
    EXPECT_EQ(backup::listBackups(folder.string()).size(), 1u);

    auto light = b.dialog(EJob::WriteLight, folder, false);
    EXPECT_EQ(light->exec(), IDOK);
    EXPECT_TRUE(light->succeeded());
    EXPECT_EQ(backup::listBackups(folder.string()).size(), 2u);
}

TEST(ProgressBackup, BackupThatCannotBeSaved_AsksOnce_NoWritesNothing) {
    CBackupFixture b;
    ASSERT_TRUE(b.f.loaded);
    b.f.board.state.keyboard.keys = b.f.board.state.keyConfig; // known: nothing to read
    auto write = b.dialog(EJob::WriteKeys, b.unwritable(), false);
    EXPECT_EQ(write->exec(), IDCANCEL);
    ASSERT_EQ(b.questions.size(), 1u);
    EXPECT_TRUE(b.questions[0].contains(QStringLiteral("无法在 ")));
    EXPECT_TRUE(b.questions[0].contains(QStringLiteral("是否不备份，直接写入键盘？")));
    EXPECT_EQ(write->report().end, jobs::EJobEnd::Cancelled);
    EXPECT_EQ(reportsTaken(b.log), 0u);
}

TEST(ProgressBackup, BackupThatCannotBeSaved_YesWritesWithoutOne) {
    CBackupFixture b;
    ASSERT_TRUE(b.f.loaded);
    b.f.board.state.language = text::Language::English;
    auto write = b.dialog(EJob::WriteKeys, b.unwritable(), true);
    EXPECT_EQ(write->exec(), IDOK);
    EXPECT_TRUE(write->succeeded());
    ASSERT_EQ(b.questions.size(), 1u);
    EXPECT_TRUE(b.questions[0].contains(QStringLiteral("Write to the keyboard without a backup?")));
    EXPECT_EQ(write->backupResult().status, backup::EBackupStatus::SaveFailed);
    EXPECT_TRUE(waitUntil([&] { return reportsTaken(b.log) == 1u + 176u; }))
        << "the read, then the whole key table";
}

TEST(ProgressBackup, TheReadRunsTheBarUnderTheBackupCaption_ThenTheWriteRunsItAgain) {
    CBackupFixture b;
    ASSERT_TRUE(b.f.loaded);
    model::CAppState& state = b.f.board.state;
    state.language = text::Language::English;
    // A keyboard that holds all its slots sends each of them back when read.
    CWaitRecorder waits;
    ASSERT_TRUE(jobs::runJobHere(EJob::WriteKeys, state, waits.control()).succeeded());
    state.keyboard = {};
    auto write = b.dialog(EJob::WriteKeys, b.dir.path() / "backups", false);
    std::vector<std::pair<QString, int>> shown;
    write->onProgress = [&](WPARAM) {
        shown.emplace_back(write->elements()[2].captions.at("en-US"), write->percent());
    };
    EXPECT_EQ(write->exec(), IDOK);
    ASSERT_EQ(shown.size(), 2u * 174u);
    const QString reading = QString::fromStdString(backup::backupReadingText(state.language));
    for (std::size_t i = 0; i < shown.size(); ++i) {
        const std::size_t slot = i % 174;
        EXPECT_EQ(shown[i].first,
                  i < 174 ? reading : QStringLiteral("Keep the keyboard connected!"))
            << i;
        EXPECT_EQ(shown[i].second, static_cast<int>(slot * 100 / 150)) << i;
    }
    EXPECT_EQ(write->elements()[2].captions.at("en-US"),
              QStringLiteral("Keep the keyboard connected!"));
}
