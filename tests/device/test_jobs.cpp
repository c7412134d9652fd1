// The device jobs without windows, on the simulated keyboard: the steps and
// waits of each job, the messages it posts, what it gives the model, and the
// press statistics.

#include "JobTestSupport.h"

#include "talvik/jobs/CDeviceJob.h"
#include "talvik/jobs/JobText.h"

#include <gtest/gtest.h>

#include <thread>

using namespace talvik::model;

using namespace talvik::jobs;
using namespace talvik::test;
using talvik::text::Language;

namespace {

std::array<int, kKeyRows> counters(std::initializer_list<std::pair<int, int>> set) {
    std::array<int, kKeyRows> count{};
    count[0] = kUnreadPressCount; // row 0 carries no key and must not count
    for (const auto& [key, value] : set) {
        count[static_cast<std::size_t>(key)] = value;
    }
    return count;
}

} // namespace

TEST(PressStatistics, MostAndLeastFollowThePositiveCountersOnly) {
    EXPECT_EQ(pressStatistics(counters({})), (CPressStatistics{-1, -1}));
    EXPECT_EQ(pressStatistics(counters({{3, 7}, {9, 7}})), (CPressStatistics{3, 3}));
    EXPECT_EQ(pressStatistics(counters({{5, static_cast<int>(0x80000001u)}})),
              (CPressStatistics{-1, -1}));
    EXPECT_EQ(
        pressStatistics(counters({{1, -4}, {3, 7}, {9, 7}, {40, static_cast<int>(0xFFFFFFF0u)}})),
        (CPressStatistics{3, 3}));
    EXPECT_EQ(pressStatistics(counters({{1, 2}, {50, 900}, {87, 1}})), (CPressStatistics{50, 87}));
    std::array<int, kKeyRows> unread;
    unread.fill(kUnreadPressCount);
    EXPECT_EQ(pressStatistics(unread), (CPressStatistics{-1, -1}));
}

TEST(JobProgress, KeyTransfersCountSlotsAndSingleStepsCountDouble) {
    EXPECT_EQ(progressPercent(EJob::WriteKeys, 0), 0);
    EXPECT_EQ(progressPercent(EJob::WriteKeys, 173), 115);
    EXPECT_EQ(progressPercent(EJob::ReadAll, 149), 99);
    for (const EJob job :
         {EJob::NoTransfer, EJob::WriteLight, EJob::ReadCounters, EJob::ReadLight}) {
        EXPECT_EQ(progressPercent(job, kSingleStep), 200) << static_cast<int>(job);
    }
    EXPECT_EQ(jobFromCode(0), std::nullopt);
    EXPECT_EQ(jobFromCode(7), std::nullopt);
    EXPECT_EQ(jobFromCode(6), EJob::ReadLight);
    EXPECT_EQ(jobFromCode(1), EJob::WriteKeys);
}

TEST(DeviceJobs, WriteKeysPostsEverySlotThenWaitsASecondBeforeItIsDone) {
    CKeyboardState board;
    board.state.keyConfig.Mode[5][0] = KeyMode::Multimedia;
    board.state.keyConfig.HWCode[5][0] = 112;
    std::vector<PostedMessage> beforeWait;
    CWaitRecorder waits([&] { beforeWait = board.messages.drain(); });
    const CJobOutcome outcome = runJobHere(EJob::WriteKeys, board.state, waits.control());

    EXPECT_EQ(waits.requested(), (std::vector<int>{1000}));
    ASSERT_EQ(beforeWait.size(), 174u) << "every slot before the wait, no done message yet";
    for (std::size_t slot = 0; slot < beforeWait.size(); ++slot) {
        EXPECT_EQ(beforeWait[slot], (PostedMessage{WM_TALVIK_PROGRESS, slot, 0}));
    }
    EXPECT_EQ(board.messages.drain(), (std::vector<PostedMessage>{{WM_TALVIK_JOBDONE, 0, 0}}));
    EXPECT_TRUE(outcome.succeeded());
    EXPECT_EQ(outcome.transfers, (std::vector<CTransferResult>{{Transfer::WriteKeys, true}}));

    // Read back through the same connection, as the program has only one.
    board.state.resetToDefaults();
    EXPECT_TRUE(runJobHere(EJob::ReadAll, board.state, CWaitRecorder().control()).succeeded());
    EXPECT_EQ(board.state.keyConfig.Mode[5][0], KeyMode::Multimedia);
    EXPECT_EQ(board.state.keyConfig.HWCode[5][0], 112);
}

TEST(DeviceJobs, ReadAllWaitsTwoSecondsBetweenTheKeyReadAndTheLightRead) {
    CKeyboardState board;
    ASSERT_TRUE(runJobHere(EJob::WriteKeys, board.state, CWaitRecorder().control()).succeeded());
    board.messages.drain();
    CDeviceJob job(EJob::ReadAll);
    std::vector<CTransferResult> madeBeforeWait;
    std::size_t progressBeforeWait = 0;
    CWaitRecorder waits([&] {
        madeBeforeWait = job.outcome().transfers;
        progressBeforeWait = board.messages.drain().size();
    });
    job.takeFromModel(board.state);
    job.run(waits.control());
    job.giveToModel(board.state);

    EXPECT_EQ(waits.requested(), (std::vector<int>{2000}));
    EXPECT_EQ(madeBeforeWait, (std::vector<CTransferResult>{{Transfer::ReadKeys, true}}));
    EXPECT_EQ(progressBeforeWait, 174u) << "the key read reports every slot it receives";
    EXPECT_EQ(job.outcome().transfers, (std::vector<CTransferResult>{{Transfer::ReadKeys, true},
                                                                     {Transfer::ReadLight, true}}));
    EXPECT_EQ(board.messages.drain(), (std::vector<PostedMessage>{{WM_TALVIK_JOBDONE, 0, 0}}))
        << "no wait and no single step after the light read";
}

TEST(DeviceJobs, LightJobsSendAndFetchTheAreasWithOneStepAndASecondsWait) {
    CKeyboardState board;
    for (int key = 1; key <= kKeyCount; ++key) {
        board.state.keyConfig.LightAreas[static_cast<std::size_t>(key)] = {key, 255 - key, key * 2};
    }
    CWaitRecorder writeWaits;
    EXPECT_TRUE(runJobHere(EJob::WriteLight, board.state, writeWaits.control()).succeeded());
    EXPECT_EQ(writeWaits.requested(), (std::vector<int>{1000}));
    EXPECT_EQ(board.messages.drain(),
              (std::vector<PostedMessage>{{WM_TALVIK_PROGRESS, kSingleStep, 0},
                                          {WM_TALVIK_JOBDONE, 0, 0}}));

    board.state.resetToDefaults();
    const CJobOutcome read = runJobHere(EJob::ReadLight, board.state, CWaitRecorder().control());
    EXPECT_EQ(read.transfers, (std::vector<CTransferResult>{{Transfer::ReadLight, true}}));
    for (int key = 1; key <= kKeyCount; ++key) {
        const LightArea& light = board.state.keyConfig.LightAreas[static_cast<std::size_t>(key)];
        EXPECT_EQ(light.Red, key);
        EXPECT_EQ(light.Green, 255 - key);
        EXPECT_EQ(light.Blue, key * 2);
    }
}

TEST(DeviceJobs, ReadCountersStoresThemWithTheirStatistics) {
    CKeyboardState board;
    const CJobOutcome outcome =
        runJobHere(EJob::ReadCounters, board.state, CWaitRecorder().control());
    EXPECT_TRUE(outcome.succeeded());
    EXPECT_EQ(board.state.pressCount[0], kUnreadPressCount) << "row 0 carries no key";
    for (int key = 1; key <= kKeyCount; ++key) {
        EXPECT_GT(board.state.pressCount[static_cast<std::size_t>(key)], 0) << key;
    }
    const CPressStatistics expected = pressStatistics(board.state.pressCount);
    EXPECT_NE(expected.mostPressedKey, -1);
    EXPECT_EQ(board.state.mostPressedKey, expected.mostPressedKey);
    EXPECT_EQ(board.state.leastPressedKey, expected.leastPressedKey);
}

TEST(DeviceJobs, NoTransferJobPostsOneStepAndSucceeds) {
    CKeyboardState board;
    CWaitRecorder waits;
    EXPECT_TRUE(runJobHere(EJob::NoTransfer, board.state, waits.control()).succeeded());
    EXPECT_EQ(waits.requested(), (std::vector<int>{1000}));
    EXPECT_EQ(board.messages.drain().size(), 2u);
}

TEST(DeviceJobs, WithoutAConnectionEveryTransferFailsAndTheModelKeepsItsData) {
    CKeyboardState board(false);
    board.state.keyConfig.LightAreas[7] = {9, 9, 9};
    const auto before = board.state.pressCount;
    for (const EJob job :
         {EJob::WriteKeys, EJob::ReadAll, EJob::WriteLight, EJob::ReadCounters, EJob::ReadLight}) {
        const CJobOutcome outcome = runJobHere(job, board.state, CWaitRecorder().control());
        EXPECT_TRUE(outcome.ranToEnd) << static_cast<int>(job);
        EXPECT_FALSE(outcome.succeeded()) << static_cast<int>(job);
        EXPECT_FALSE(failureText(outcome, Language::English).empty()) << static_cast<int>(job);
    }
    EXPECT_EQ(board.state.pressCount, before);
    EXPECT_EQ(board.state.mostPressedKey, -1);
    EXPECT_EQ(board.state.keyConfig.LightAreas[7].Red, 9);
    EXPECT_EQ(board.state.keyConfig.Mode[1][0], KeyMode::Single);
}

// The program's record of what the keyboard holds follows the transfers that succeeded:
// nothing is known at first, a read or a write makes it known, a failed write leaves it.
TEST(DeviceJobs, TheRecordOfTheKeyboardFollowsTheTransfersThatSucceeded) {
    CKeyboardState board;
    EXPECT_FALSE(board.state.keyboard.keys);
    EXPECT_FALSE(board.state.keyboard.unwritten(board.state.keyConfig, 1, 0))
        << "while nothing is known no key counts as unwritten";

    ASSERT_TRUE(runJobHere(EJob::ReadAll, board.state, CWaitRecorder().control()).succeeded());
    ASSERT_TRUE(board.state.keyboard.keys);
    ASSERT_TRUE(board.state.keyboard.lights);
    for (int key = 1; key <= kKeyCount; ++key) {
        EXPECT_FALSE(board.state.keyboard.unwritten(board.state.keyConfig, key, 0)) << key;
    }

    board.state.keyConfig.Mode[5][1] = KeyMode::Macro;
    board.state.keyConfig.ComboKey[5][1].append("A Down");
    EXPECT_TRUE(board.state.keyboard.unwritten(board.state.keyConfig, 5, 1));
    EXPECT_FALSE(board.state.keyboard.unwritten(board.state.keyConfig, 5, 0));

    ASSERT_TRUE(runJobHere(EJob::WriteKeys, board.state, CWaitRecorder().control()).succeeded());
    EXPECT_FALSE(board.state.keyboard.unwritten(board.state.keyConfig, 5, 1));

    board.state.keyConfig.ComboKey[5][1].append("A Up");
    board.state.keyConfig.LightAreas[3] = {1, 2, 3};
    board.state.device.__closeDev();
    EXPECT_FALSE(runJobHere(EJob::WriteKeys, board.state, CWaitRecorder().control()).succeeded());
    EXPECT_FALSE(runJobHere(EJob::WriteLight, board.state, CWaitRecorder().control()).succeeded());
    EXPECT_TRUE(board.state.keyboard.unwritten(board.state.keyConfig, 5, 1))
        << "a failed write does not count as written";
    EXPECT_NE((*board.state.keyboard.lights)[3].Blue, 3);
}

// The worker thread of a window: cancel comes from the other thread, cuts
// the wait short, and the job's results never reach the model.
TEST(DeviceJobs, CancelOnAnotherThreadEndsTheWaitAndTheJobGivesNothing) {
    CKeyboardState board;
    board.state.keyConfig.Mode[9][1] = KeyMode::Power;
    board.state.keyConfig.HWCode[9][1] = 76;
    ASSERT_TRUE(runJobHere(EJob::WriteKeys, board.state, CWaitRecorder().control()).succeeded());
    board.state.resetToDefaults();
    board.messages.drain();

    auto job = std::make_shared<CDeviceJob>(EJob::ReadAll);
    auto control = std::make_shared<CJobControl>(); // real waits
    job->takeFromModel(board.state);
    std::thread worker([job, control] { job->run(*control); });
    // The key read has ended once its last slot is reported; the two-second
    // wait follows.
    for (int slots = 0; slots < 174;) {
        const auto message = board.messages.next();
        ASSERT_TRUE(message.has_value());
        slots += message->message == WM_TALVIK_PROGRESS ? 1 : 0;
    }
    const auto cancelled = std::chrono::steady_clock::now();
    control->cancel();
    worker.join();
    EXPECT_LT(std::chrono::steady_clock::now() - cancelled, std::chrono::milliseconds(1500));
    ASSERT_TRUE(job->finished());
    EXPECT_FALSE(job->outcome().ranToEnd);
    EXPECT_EQ(job->outcome().transfers.size(), 1u) << "no light read after Cancel";
    job->giveToModel(board.state);
    EXPECT_EQ(board.state.keyConfig.Mode[9][1], KeyMode::NotSet) << "the model keeps its own keys";
    EXPECT_TRUE(board.messages.drain().empty()) << "no done message";
    EXPECT_TRUE(failureText(job->outcome(), Language::English).empty());
}

TEST(JobText, NamesEachFailedTransferInTheLanguageOfTheTag) {
    CJobOutcome outcome;
    outcome.ranToEnd = true;
    outcome.transfers = {{Transfer::ReadKeys, true}, {Transfer::ReadLight, false}};
    const std::string english = failureText(outcome, Language::English);
    EXPECT_NE(english.find("Reading the backlight"), std::string::npos) << english;
    EXPECT_EQ(english.find("key settings"), std::string::npos) << english;
    const std::string chinese = failureText(outcome, Language::Chinese);
    EXPECT_NE(chinese.find("从键盘读取背光失败"), std::string::npos) << chinese;
    outcome.transfers[1].succeeded = true;
    EXPECT_TRUE(failureText(outcome, Language::Chinese).empty());
}
