// Recording macros and emulation sequences from hook messages, timed on a
// clock the tests move by hand.

#include "talvik/recorder/CActionRecorder.h"

#include "RecorderTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace talvik::model;

namespace {

using talvik::recorder::CActionRecorder;
using talvik::recorder::HookKey;
using talvik::recorder::HookTiming;
using talvik::recorder::KeyDownFlags;
using talvik::test::itemsOf;

constexpr int kA = 0x41;
constexpr int kB = 0x42;
constexpr int kReleased = 0x200;

// A recorder fed as the dialog feeds it: every message is timed against the
// previous one, whatever the recording makes of it.
class Recording : public ::testing::Test {
protected:
    void SetUp() override { m_list = CActionList(9); }

    void at(int ms) { m_nowUs = static_cast<long long>(ms) * 1000; }
    void press(int vk) { send(vk, false); }
    void release(int vk) { send(vk, true); }
    void send(int vk, bool released) {
        const int code = released ? (vk | kReleased) : vk;
        HookTiming timing;
        timing.hasPrevious = m_lastUs >= 0;
        timing.lastCode = m_lastCode;
        timing.elapsedMs = static_cast<int>(std::min(65535LL, (m_nowUs - m_lastUs) / 1000));
        m_recorder.take(m_list, HookKey{code, vk, released}, timing);
        m_lastUs = m_nowUs;
        m_lastCode = code;
    }
    void startMacro() {
        m_recorder.startMacro(m_list);
        forgetPrevious();
    }
    void startEmulation() {
        m_recorder.startEmulation(m_list);
        forgetPrevious();
    }
    void forgetPrevious() {
        m_lastUs = -1;
        m_lastCode = -1;
    }

    long long m_nowUs = 1000000;
    long long m_lastUs = -1;
    int m_lastCode = -1;
    KeyDownFlags m_keyIsDown{};
    CActionRecorder m_recorder{talvik::test::keyNames(), m_keyIsDown};
    CActionList m_list;
};

TEST_F(Recording, ReleaseNeverPressed_IsDroppedButStillTimesTheNextEvent) {
    startMacro();
    at(0);
    release(kB); // held before the recording started
    at(70);
    press(kA);
    EXPECT_EQ(m_list.items(), itemsOf({"<70 ms>", "A Down"}))
        << "the dropped release was the previous keyboard message";
}

TEST_F(Recording, Start_EmptiesTheListButKeepsPlayFields_AndForgetsHeldKeys) {
    m_list = talvik::test::macroOf({"X Down", "<5 ms>", "X UP"});
    m_list.Cycles = 7;
    m_list.Delay = 120;
    m_list.PlayMode = 2;
    m_list.IsAutoInterval = true;
    startMacro();
    press(kA); // stays down across the next start
    startMacro();
    EXPECT_TRUE(m_list.empty());
    EXPECT_EQ(m_list.Cycles, 7);
    EXPECT_EQ(m_list.Delay, 120);
    EXPECT_EQ(m_list.PlayMode, 2);
    EXPECT_TRUE(m_list.IsAutoInterval);
    EXPECT_EQ(m_list.SizeOfView, 9);

    release(kA);
    EXPECT_TRUE(m_list.empty()) << "a release without a press in this recording";
}

TEST_F(Recording, AutoInterval_RecordsEventsOnly_UpTo1600) {
    m_list.IsAutoInterval = true;
    startMacro();
    for (int i = 0; i < 900; ++i) {
        press(kA);
        release(kA);
    }
    EXPECT_EQ(m_list.count(), 1600);
    EXPECT_EQ(m_list.itemAtRow(m_list.CursorPos), "A UP");
    m_recorder.stop();
    EXPECT_EQ(CActionRecorder::appendStopDelay(m_list), 0) << "no delays in this mode";
}

TEST_F(Recording, PerEventDelays_FullListAfterADelay_EndsWithThatDelay) {
    startMacro();
    for (int i = 0; i < 399; ++i) {
        press(kA);
        release(kA);
    }
    ASSERT_EQ(m_list.count(), 799);
    m_list.removeItemAtRow(10000);
    m_list.removeItemAtRow(10000); // 797 items, the last an event
    press(kB);
    EXPECT_EQ(m_list.count(), 799);
    EXPECT_EQ(m_list.items()[798], "B Down");

    m_list.removeItemAtRow(10000); // 798: room for the delay, none for its event
    release(kB);
    EXPECT_EQ(m_list.count(), 799);
    EXPECT_EQ(m_list.items().back(), "<0 ms>");
}

TEST_F(Recording, Emulation_SameKeyAgainAfterItsRelease_CountsAgain) {
    startEmulation();
    press(kA);
    release(kA);
    press(kA);
    EXPECT_EQ(m_list.items(), itemsOf({"A", "A"}));
}

TEST_F(Recording, NotRecording_TakesNothing) {
    press(kA);
    startMacro();
    m_recorder.stop();
    press(kB);
    EXPECT_TRUE(m_list.empty());
    EXPECT_FALSE(m_recorder.recording());
}

} // namespace
