// The progress dialog against a keyboard that stops answering or goes away:
// each case has a simulated keyboard of its own with the fault it needs.

#include "ProgressTestSupport.h"

#include "talvik/jobs/JobText.h"

#include <gtest/gtest.h>

using namespace talvik::model;

using namespace talvik::test;
using namespace talvik::device;
using namespace talvik::jobs;
using talvik::text::Language;

namespace {

// While the worker sits in a read that will time out, the window still
// follows the pointer and repaints.
void expectResponsive(CWatchedProgress& dialog) {
    dialog.pointAt(dialog.centreOf(1));
    EXPECT_TRUE(dialog.elements()[1].hovered);
    dialog.repaint();
    dialog.pointAt(QPoint(5, 200));
    EXPECT_FALSE(dialog.elements()[1].hovered);
}

} // namespace

TEST(ProgressFaults, SilentKeyboardDuringReadAllEndsInAFailureAndKeepsTheModel) {
    const CSilentKeyboard keyboard;
    CProgressFixture f(keyboard.setup());
    f.board.state.keyConfig.LightAreas[3] = {1, 2, 3};
    const std::size_t before = keyboard.reportsTaken();
    CWatchedProgress dialog(f, EJob::ReadAll);
    dialog.open();
    ASSERT_TRUE(waitFor([&] { return keyboard.reportsTaken() > before; }));
    ASSERT_TRUE(f.slot.busy()) << "the key read is waiting for an answer";
    expectResponsive(dialog);

    ASSERT_TRUE(waitFor([&] { return dialog.isHidden(); })) << "the job must end";
    EXPECT_EQ(dialog.result(), IDOK);
    EXPECT_FALSE(dialog.succeeded());
    EXPECT_EQ(
        dialog.outcome().transfers,
        (std::vector<CTransferResult>{{Transfer::ReadKeys, false}, {Transfer::ReadLight, false}}));
    EXPECT_TRUE(dialog.failureText().contains(QStringLiteral("从键盘读取按键设置失败")));
    EXPECT_EQ(f.board.state.keyConfig.LightAreas[3].Green, 2);
    EXPECT_EQ(f.board.state.keyConfig.Mode[72][0], KeyMode::Function);
}

TEST(ProgressFaults, CancelDuringASilentReadAndTheNextJobWaitsForTheOldWorker) {
    const CSilentKeyboard keyboard;
    CProgressFixture f(keyboard.setup());
    const std::size_t before = keyboard.reportsTaken();
    QElapsedTimer clock;
    clock.start();
    {
        CWatchedProgress reading(f, EJob::ReadAll);
        reading.open();
        ASSERT_TRUE(waitFor([&] { return keyboard.reportsTaken() > before; }));
        reading.clickCancel();
        EXPECT_EQ(reading.result(), IDCANCEL);
        EXPECT_TRUE(reading.isHidden());
    }
    ASSERT_TRUE(f.slot.busy()) << "the read in progress runs to its time-out";

    f.board.state.pressCount[10] = 5;
    CWatchedProgress counting(f, EJob::ReadCounters);
    counting.open();
    EXPECT_TRUE(counting.waitingForWorker());
    expectResponsive(counting);
    ASSERT_TRUE(waitFor([&] { return !counting.waitingForWorker(); }));
    ASSERT_TRUE(waitFor([&] { return counting.isHidden(); }));
    EXPECT_LT(clock.elapsed(), 6000) << "one time-out for each job, no more";
    EXPECT_EQ(counting.result(), IDOK);
    EXPECT_EQ(counting.outcome().transfers,
              (std::vector<CTransferResult>{{Transfer::ReadCounters, false}}));
    EXPECT_EQ(f.board.state.pressCount[10], 5);
    EXPECT_EQ(f.board.state.mostPressedKey, -1);
}

TEST(ProgressFaults, KeyboardDisconnectingDuringWriteKeysEndsInAFailure) {
    CProgressFixture f({.faults = "disconnect:40"});
    f.board.state.language = Language::English;
    CWatchedProgress dialog(f, EJob::WriteKeys);
    dialog.setSleep([](auto) {});
    EXPECT_EQ(dialog.exec(), IDOK);
    EXPECT_FALSE(dialog.succeeded());
    EXPECT_LT(dialog.progress.size(), 60u) << "the keyboard took 40 reports";
    EXPECT_LT(dialog.percent(), 40);
    EXPECT_TRUE(dialog.failureText().startsWith(QStringLiteral("Writing the key settings")))
        << dialog.failureText().toStdString();

    // The write found the keyboard gone: the next job does not start on the dead
    // connection, and says why.
    EXPECT_FALSE(f.board.state.device.isConnected());
    CWatchedProgress reading(f, EJob::ReadLight);
    reading.setSleep([](auto) {});
    EXPECT_EQ(reading.exec(), IDCANCEL);
    EXPECT_EQ(reading.report().end, talvik::jobs::EJobEnd::NotConnected);
    EXPECT_EQ(reading.report().failureText,
              std::string(talvik::jobs::notConnectedText(Language::English)));
    EXPECT_TRUE(reading.progress.empty());
}
