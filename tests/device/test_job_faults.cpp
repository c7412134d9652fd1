// The device jobs against a keyboard that misbehaves: each case has a
// simulated keyboard of its own with the fault it needs.

#include "JobTestSupport.h"

#include "support/TestSupport.h"
#include "talvik/jobs/CDeviceJob.h"
#include "talvik/jobs/JobText.h"

#include <gtest/gtest.h>

#include <thread>

using namespace talvik::model;

using namespace talvik::jobs;
using namespace talvik::test;
using talvik::text::Language;

namespace {

std::size_t progressCount(const std::vector<PostedMessage>& messages) {
    std::size_t count = 0;
    for (const PostedMessage& m : messages) {
        count += m.message == WM_TALVIK_PROGRESS ? 1 : 0;
    }
    return count;
}

} // namespace

// Every read of a silent keyboard times out after a second: the job ends, late
// but whole, and says which transfers failed.
TEST(JobFaults, KeyboardSilentFromTheStartFailsReadAllAndKeepsTheModel) {
    CKeyboardState board({.faults = "silent"});
    board.state.keyConfig.LightAreas[12] = {40, 50, 60};
    const auto started = std::chrono::steady_clock::now();
    const CJobOutcome outcome = runJobHere(EJob::ReadAll, board.state, CWaitRecorder().control());
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));

    EXPECT_TRUE(outcome.ranToEnd);
    EXPECT_EQ(outcome.transfers, (std::vector<CTransferResult>{{Transfer::ReadKeys, false},
                                                               {Transfer::ReadLight, false}}));
    EXPECT_EQ(board.state.keyConfig.Mode[72][1], KeyMode::Function);
    EXPECT_EQ(board.state.keyConfig.LightAreas[12].Green, 50);
    const std::string text = failureText(outcome, Language::English);
    EXPECT_NE(text.find("key settings"), std::string::npos) << text;
    EXPECT_NE(text.find("backlight"), std::string::npos) << text;
}

// It answers the key request, then stops: the keys arrive, the light does not.
TEST(JobFaults, KeyboardFallingSilentAfterTheKeyReadKeepsOnlyTheKeys) {
    CKeyboardState board({.faults = "silent:1"});
    ASSERT_EQ(board.state.keyConfig.Mode[30][0], KeyMode::Single);
    board.state.keyConfig.LightAreas[12] = {40, 50, 60};
    const CJobOutcome outcome = runJobHere(EJob::ReadAll, board.state, CWaitRecorder().control());
    EXPECT_EQ(outcome.transfers, (std::vector<CTransferResult>{{Transfer::ReadKeys, true},
                                                               {Transfer::ReadLight, false}}));
    EXPECT_FALSE(outcome.succeeded());
    EXPECT_EQ(board.state.keyConfig.LightAreas[12].Red, 40);
    // The test's own simulated keyboard is fresh: it holds no key records, so
    // every key reads back empty.
    EXPECT_EQ(board.state.keyConfig.Mode[30][0], KeyMode::NotSet);
}

TEST(JobFaults, KeyboardDisconnectingDuringWriteKeysFailsPartWay) {
    CKeyboardState board({.faults = "disconnect:40"});
    CWaitRecorder waits;
    const CJobOutcome outcome = runJobHere(EJob::WriteKeys, board.state, waits.control());
    EXPECT_TRUE(outcome.ranToEnd);
    EXPECT_EQ(outcome.transfers, (std::vector<CTransferResult>{{Transfer::WriteKeys, false}}));
    EXPECT_EQ(waits.requested(), (std::vector<int>{1000})) << "the job still settles and ends";
    const auto messages = board.messages.drain();
    // The keyboard takes 40 reports; the program is at most a few ahead.
    EXPECT_GE(progressCount(messages), 30u);
    EXPECT_LT(progressCount(messages), 60u);
    EXPECT_EQ(messages.back().message, WM_TALVIK_JOBDONE);
    EXPECT_NE(failureText(outcome, Language::Chinese).find("向键盘写入按键设置失败"),
              std::string::npos);
}

// The light write and the counter read of the library answer true whatever
// happened; the jobs learn the truth.
TEST(JobFaults, UnpluggedKeyboardFailsTheLightWriteAndTheCounterRead) {
    CTempDir dir;
    const std::filesystem::path unplugFile = dir.path() / "unplugged";
    CKeyboardState board({.unplugFile = unplugFile.string()});
    ASSERT_TRUE(board.state.device.isConnected());
    writeFile(unplugFile, "");
    // The connection drops once the keyboard sees the unplug; a read says when it has.
    ASSERT_TRUE(waitUntil([&] { return !board.state.device.readKeyLightFromDev(); }));
    board.state.pressCount[3] = 77;
    board.state.mostPressedKey = 3;

    int light[kLightArrayInts] = {};
    EXPECT_TRUE(board.state.device.setKeyboardLightArea(light));
    const CJobOutcome write = runJobHere(EJob::WriteLight, board.state, CWaitRecorder().control());
    EXPECT_EQ(write.transfers, (std::vector<CTransferResult>{{Transfer::WriteLight, false}}));

    int counts[kKeyCount] = {};
    EXPECT_TRUE(board.state.device.getPressCounterFromDev(counts));
    const CJobOutcome read = runJobHere(EJob::ReadCounters, board.state, CWaitRecorder().control());
    EXPECT_EQ(read.transfers, (std::vector<CTransferResult>{{Transfer::ReadCounters, false}}));
    EXPECT_EQ(board.state.pressCount[3], 77) << "a failed read leaves the counters as they were";
    EXPECT_EQ(board.state.mostPressedKey, 3);
}
