// The hook's message layout and key state, fed through the capturing window's
// own key events: the path that captures where no keyboard grab is possible.

#include "FakeHookClock.h"
#include "MessageQueue.h"
#include "hook/KeyState.h"
#include "talvik/hwi/KeyboardHook.h"

#include <gtest/gtest.h>
#include <linux/input-event-codes.h>

#include <chrono>
#include <cstdlib>

using talvik::test::CMessageQueue;
using talvik::test::hookKey;
using talvik::test::PostedMessage;
using namespace std::chrono_literals;

namespace {

constexpr unsigned keycode(unsigned evdevCode) {
    return evdevCode + 8;
}

// Each test runs in a process of its own, so the display is gone for the whole
// test: InstallHook cannot grab and the capture goes through the window.
class HookWithoutDisplay : public ::testing::Test {
protected:
    void SetUp() override {
        ::unsetenv("DISPLAY");
        InstallHook(m_queue.window());
    }
    void TearDown() override { UninstallHook(); }

    void press(unsigned evdevCode) { EXPECT_TRUE(ForwardWindowKey(keycode(evdevCode), true)); }
    void release(unsigned evdevCode) { EXPECT_TRUE(ForwardWindowKey(keycode(evdevCode), false)); }

    CMessageQueue m_queue;
};

} // namespace

TEST_F(HookWithoutDisplay, NoGrabButTheCaptureIsOpenAndSaysWhy) {
    EXPECT_FALSE(IsHookActive());
    EXPECT_EQ(GetHookStatus(), HookStatus::NoDisplay);
    UninstallHook();
    EXPECT_EQ(GetHookStatus(), HookStatus::NotInstalled);
}

TEST_F(HookWithoutDisplay, PressAndReleaseOfA) {
    press(KEY_A);
    release(KEY_A);
    EXPECT_EQ(m_queue.next(), hookKey(0x41));
    EXPECT_EQ(m_queue.next(), hookKey(0x80000041));
}

TEST_F(HookWithoutDisplay, KeysWhileAltIsHeldAreSystemKeysButNotWithCtrl) {
    press(KEY_LEFTALT);
    press(KEY_A);
    release(KEY_A);
    EXPECT_TRUE(HookKeyIsDown(0x12));
    EXPECT_TRUE(HookKeyIsDown(0xA4));
    EXPECT_FALSE(HookKeyIsDown(0xA5));
    press(KEY_RIGHTCTRL);
    press(KEY_B);
    release(KEY_RIGHTCTRL);
    release(KEY_LEFTALT);
    release(KEY_B);
    EXPECT_FALSE(HookKeyIsDown(0x12));

    EXPECT_EQ(m_queue.next(), hookKey(0x400000A4));
    EXPECT_EQ(m_queue.next(), hookKey(0x40000041));
    EXPECT_EQ(m_queue.next(), hookKey(0xC0000041));
    // Ctrl+Alt keys are plain keys, as the system reports them.
    EXPECT_EQ(m_queue.next(), hookKey(0xA3, 0x01000000));
    EXPECT_EQ(m_queue.next(), hookKey(0x42));
    // Releasing Ctrl while Alt stays down brings system keys back.
    EXPECT_EQ(m_queue.next(), hookKey(0xC00000A3, 0x01000000));
    // Alt's own release leaves no Alt held.
    EXPECT_EQ(m_queue.next(), hookKey(0x800000A4));
    EXPECT_EQ(m_queue.next(), hookKey(0x80000042));
}

TEST_F(HookWithoutDisplay, ExtendedKeysCarryBit24) {
    press(KEY_KPENTER);
    press(KEY_ENTER);
    press(KEY_RIGHTALT);
    release(KEY_RIGHTALT);
    press(KEY_LEFTSHIFT);
    press(KEY_RIGHTSHIFT);
    EXPECT_EQ(m_queue.next(), hookKey(0x0D, 0x01000000));
    EXPECT_EQ(m_queue.next(), hookKey(0x0D));
    EXPECT_EQ(m_queue.next(), hookKey(0x400000A5, 0x01000000));
    EXPECT_EQ(m_queue.next(), hookKey(0x800000A5, 0x01000000));
    // Shift is reported by side, and the state knows both sides.
    EXPECT_EQ(m_queue.next(), hookKey(0xA0));
    EXPECT_EQ(m_queue.next(), hookKey(0xA1));
    EXPECT_TRUE(HookKeyIsDown(0xA0));
    EXPECT_TRUE(HookKeyIsDown(0xA1));
    EXPECT_TRUE(HookKeyIsDown(0x10));
}

TEST_F(HookWithoutDisplay, KeysWithoutVirtualKeyAreNotPosted) {
    EXPECT_FALSE(ForwardWindowKey(keycode(KEY_POWER), true));
    EXPECT_FALSE(ForwardWindowKey(3, true));
    EXPECT_EQ(m_queue.next(100ms), std::nullopt);
}

TEST_F(HookWithoutDisplay, NothingArrivesAfterUninstallAndTheStateIsForgotten) {
    press(KEY_LEFTSHIFT);
    EXPECT_EQ(m_queue.next(), hookKey(0xA0));
    UninstallHook();
    EXPECT_FALSE(HookKeyIsDown(0xA0));
    EXPECT_FALSE(ForwardWindowKey(keycode(KEY_A), true));
    EXPECT_EQ(m_queue.next(100ms), std::nullopt);

    // A new capture goes to its own window only.
    CMessageQueue other;
    InstallHook(other.window());
    press(KEY_A);
    EXPECT_EQ(other.next(), hookKey(0x41));
    EXPECT_EQ(m_queue.next(100ms), std::nullopt);
}

TEST_F(HookWithoutDisplay, KeysOfAnEndedCaptureAreStaleInTheNextOne) {
    press(KEY_A);
    UninstallHook();
    InstallHook(m_queue.window());
    press(KEY_B);
    EXPECT_EQ(m_queue.next(), hookKey(0x41));
    EXPECT_TRUE(m_queue.lastWasStale());
    EXPECT_EQ(m_queue.next(), hookKey(0x42));
    EXPECT_FALSE(m_queue.lastWasStale());
}

TEST_F(HookWithoutDisplay, EndsAfterTwoMinutesWithoutKeyOrPointer) {
    talvik::test::CFakeHookClock clock;
    UninstallHook();
    InstallHook(m_queue.window()); // the capture starts on the fake clock
    clock.advance(100s);
    press(KEY_A);
    EXPECT_EQ(m_queue.next(), hookKey(0x41));
    EXPECT_FALSE(m_queue.lastWasStale());
    clock.advance(100s);
    NoteHookPointerActivity();
    clock.advance(119s);
    EXPECT_EQ(GetHookStatus(), HookStatus::NoDisplay);

    clock.advance(1s);
    EXPECT_EQ(GetHookStatus(), HookStatus::IdleEnded);
    EXPECT_FALSE(ForwardWindowKey(keycode(KEY_B), true)) << "an ended capture takes no key";
    EXPECT_EQ(m_queue.next(100ms), std::nullopt);

    // The end is told until the capture is over; a new capture starts afresh.
    EXPECT_EQ(GetHookStatus(), HookStatus::IdleEnded);
    UninstallHook();
    EXPECT_EQ(GetHookStatus(), HookStatus::NotInstalled);
    InstallHook(m_queue.window());
    EXPECT_EQ(GetHookStatus(), HookStatus::NoDisplay);
    press(KEY_C);
    EXPECT_EQ(m_queue.next(), hookKey(0x43));
}

TEST(HookProcedure, TurnsEachMessageKindIntoTheKeyUpAndSystemBits) {
    ::unsetenv("DISPLAY");
    CMessageQueue queue;
    InstallHook(queue.window());
    KBDLLHOOKSTRUCT event{0x41, 38, LLKHF_EXTENDED | LLKHF_ALTDOWN, 0, 0};
    auto call = [&](WPARAM message) {
        return KeyBoardProc(HC_ACTION, message, reinterpret_cast<LPARAM>(&event));
    };
    EXPECT_EQ(call(WM_KEYDOWN), 1);
    EXPECT_EQ(call(WM_KEYUP), 1);
    EXPECT_EQ(call(WM_SYSKEYDOWN), 1);
    EXPECT_EQ(call(WM_SYSKEYUP), 1);
    EXPECT_EQ(call(0x0102 /* WM_CHAR */), 1);
    // Only the extended flag travels; the code argument does not matter.
    event.flags = LLKHF_ALTDOWN | LLKHF_UP;
    EXPECT_EQ(KeyBoardProc(-1, WM_KEYUP, reinterpret_cast<LPARAM>(&event)), 1);
    EXPECT_EQ(KeyBoardProc(HC_ACTION, WM_KEYDOWN, 0), 0);
    UninstallHook();

    for (WPARAM expected : {0x41u, 0x80000041u, 0x40000041u, 0xC0000041u, 0x41u}) {
        EXPECT_EQ(queue.next(), hookKey(expected, 0x01000000));
    }
    EXPECT_EQ(queue.next(), hookKey(0x80000041));
    EXPECT_EQ(queue.next(100ms), std::nullopt);
}

TEST(HookKeyState, StartsFromTheKeysHeldWhenTheCaptureBegins) {
    talvik::hwi::CHookKeyState state;
    std::bitset<256> held;
    held.set(keycode(KEY_RIGHTALT));
    held.set(keycode(KEY_POWER)); // no virtual key: ignored
    state.reset(held);
    EXPECT_TRUE(state.isDown(0x12));
    EXPECT_FALSE(state.isDown(0));

    // Alt held since before the capture makes the first key a system key.
    talvik::hwi::HookEvent event = state.apply({0x41, false}, keycode(KEY_A), true, 77);
    EXPECT_EQ(event.message, WM_SYSKEYDOWN);
    EXPECT_EQ(event.event.vkCode, 0x41u);
    EXPECT_EQ(event.event.scanCode, keycode(KEY_A));
    EXPECT_EQ(event.event.flags, LLKHF_ALTDOWN);
    EXPECT_EQ(event.event.time, 77u);

    event = state.apply({0xA5, true}, keycode(KEY_RIGHTALT), false, 78);
    EXPECT_EQ(event.message, WM_KEYUP);
    EXPECT_EQ(event.event.flags, LLKHF_EXTENDED | LLKHF_UP);
    EXPECT_FALSE(state.isDown(0x12));
    EXPECT_TRUE(state.isDown(0x41));
    state.clear();
    EXPECT_FALSE(state.isDown(0x41));
}
