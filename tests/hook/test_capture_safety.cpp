// The grab lets go of the desktop's keyboard by itself when the window stops
// taking its keys or nobody uses the capture, on a real X server typed at
// through XTest and with the hook's clock moved by hand.

#include "FakeHookClock.h"
#include "MessageQueue.h"
#include "XClient.h"
#include "support/TestSupport.h"
#include "talvik/hwi/KeyboardHook.h"

#include <gtest/gtest.h>
#include <linux/input-event-codes.h>

#include <chrono>
#include <functional>
#include <thread>

using talvik::test::CFakeHookClock;
using talvik::test::CMessageQueue;
using talvik::test::CXClient;
using talvik::test::hookKey;
using talvik::test::waitUntil;
using namespace std::chrono_literals;

namespace {

class CaptureSafetyOnX11 : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_hasDisplay) << "no X server from the test fixture";
        ASSERT_TRUE(m_typist.connected());
        ASSERT_TRUE(m_other.showFocusedWindow());
        InstallHook(m_queue.window());
        ASSERT_TRUE(IsHookActive());
    }
    void TearDown() override { UninstallHook(); }

    // The focused client gets keys again: the grab is gone.
    bool keysReachTheOtherClient() {
        return waitUntil([this] {
            m_typist.tap(KEY_Z);
            return m_other.keyEventsReceived() > 0;
        });
    }

    bool m_hasDisplay = talvik::test::useFixtureDisplay();
    CFakeHookClock m_clock; // set before the capture starts
    CXClient m_typist;
    CXClient m_other;
    CMessageQueue m_queue;
};

} // namespace

TEST_F(CaptureSafetyOnX11, WindowTakingNothingForThreeSecondsLosesTheGrabAndItsKeys) {
    m_typist.tap(KEY_A);
    ASSERT_TRUE(waitUntil([this] { return m_queue.waiting() == 2; }));
    m_clock.advance(2900ms);
    EXPECT_EQ(GetHookStatus(), HookStatus::Active);
    m_typist.tap(KEY_B);
    ASSERT_TRUE(waitUntil([this] { return m_queue.waiting() == 4; }));
    EXPECT_EQ(m_other.keyEventsReceived(), 0);

    m_clock.advance(100ms);
    EXPECT_EQ(GetHookStatus(), HookStatus::DeliveryStalled);
    EXPECT_FALSE(IsHookActive());
    EXPECT_TRUE(keysReachTheOtherClient());

    // What was on its way when the window stopped is never recorded, and
    // nothing came after it.
    for (WPARAM key : {0x41u, 0x80000041u, 0x42u, 0x80000042u}) {
        EXPECT_EQ(m_queue.next(), hookKey(key));
        EXPECT_TRUE(m_queue.lastWasStale());
    }
    EXPECT_EQ(m_queue.next(100ms), std::nullopt);
    EXPECT_EQ(GetHookStatus(), HookStatus::DeliveryStalled) << "told until the capture is over";
    UninstallHook();
    EXPECT_EQ(GetHookStatus(), HookStatus::NotInstalled);
}

TEST_F(CaptureSafetyOnX11, WindowTakingEachKeyKeepsTheGrabForAsLongAsItLikes) {
    for (int i = 0; i < 5; ++i) {
        m_typist.tap(KEY_A);
        EXPECT_EQ(m_queue.next(), hookKey(0x41));
        EXPECT_EQ(m_queue.next(), hookKey(0x80000041));
        EXPECT_FALSE(m_queue.lastWasStale());
        m_clock.advance(5s);
        EXPECT_EQ(GetHookStatus(), HookStatus::Active);
    }
    EXPECT_EQ(m_other.keyEventsReceived(), 0);
}

TEST_F(CaptureSafetyOnX11, UnusedCaptureLetsGoOfTheKeyboardAfterTwoMinutes) {
    m_clock.advance(90s);
    NoteHookPointerActivity();
    m_clock.advance(90s);
    m_typist.tap(KEY_A);
    EXPECT_EQ(m_queue.next(), hookKey(0x41));
    EXPECT_EQ(m_queue.next(), hookKey(0x80000041));
    m_clock.advance(119s);
    EXPECT_EQ(GetHookStatus(), HookStatus::Active);
    CXClient locker;
    EXPECT_FALSE(locker.grabKeyboard());

    m_clock.advance(1s);
    EXPECT_EQ(GetHookStatus(), HookStatus::IdleEnded);
    // A screen locker can take the keyboard now, not only when the hook
    // would next have looked by itself.
    EXPECT_TRUE(waitUntil([&] { return locker.grabKeyboard(); }));
    locker.ungrabKeyboard();
    EXPECT_TRUE(keysReachTheOtherClient());
    EXPECT_EQ(m_queue.next(100ms), std::nullopt);
}
