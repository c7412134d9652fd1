// The keyboard hook on a real X server, typed at through XTest.

#include "MessageQueue.h"
#include "XClient.h"
#include "support/TestSupport.h"
#include "talvik/hwi/KeyboardHook.h"

#include <gtest/gtest.h>
#include <linux/input-event-codes.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

using talvik::test::CMessageQueue;
using talvik::test::CXClient;
using talvik::test::hookKey;
using namespace std::chrono_literals;
using talvik::test::openFileCount;
using talvik::test::steadyThreadCount;
using talvik::test::threadCountSettlingAt;

namespace {

class KeyboardHookOnX11 : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_hasDisplay) << "no X server from the test fixture";
        ASSERT_TRUE(m_typist.connected());
    }
    void TearDown() override { UninstallHook(); }

    // Every X client of the test, ours and the hook's, must find the fixture's
    // server, so the display is chosen before any of them connects.
    bool m_hasDisplay = talvik::test::useFixtureDisplay();
    CXClient m_typist;
    CMessageQueue m_queue;
};

} // namespace

TEST_F(KeyboardHookOnX11, PressAndReleaseOfAArriveAsKeyDownAndKeyUp) {
    InstallHook(m_queue.window());
    ASSERT_TRUE(IsHookActive());
    EXPECT_EQ(GetHookStatus(), HookStatus::Active);
    m_typist.tap(KEY_A);
    EXPECT_EQ(m_queue.next(), hookKey(0x41));
    EXPECT_EQ(m_queue.next(), hookKey(0x80000041));
}

TEST_F(KeyboardHookOnX11, AWhileAltIsHeldArrivesAsSystemKey) {
    InstallHook(m_queue.window());
    m_typist.press(KEY_LEFTALT);
    m_typist.tap(KEY_A);
    EXPECT_EQ(m_queue.next(), hookKey(0x400000A4));
    EXPECT_EQ(m_queue.next(), hookKey(0x40000041));
    EXPECT_EQ(m_queue.next(), hookKey(0xC0000041));
    EXPECT_TRUE(HookKeyIsDown(0x12));
    m_typist.release(KEY_LEFTALT);
    EXPECT_EQ(m_queue.next(), hookKey(0x800000A4));
    EXPECT_FALSE(HookKeyIsDown(0x12));
}

TEST_F(KeyboardHookOnX11, RightCtrlAndKeypadEnterCarryTheExtendedFlag) {
    InstallHook(m_queue.window());
    m_typist.tap(KEY_RIGHTCTRL);
    m_typist.tap(KEY_KPENTER);
    m_typist.tap(KEY_LEFTCTRL);
    m_typist.tap(KEY_ENTER);
    EXPECT_EQ(m_queue.next(), hookKey(0xA3, 0x01000000));
    EXPECT_EQ(m_queue.next(), hookKey(0x800000A3, 0x01000000));
    EXPECT_EQ(m_queue.next(), hookKey(0x0D, 0x01000000));
    EXPECT_EQ(m_queue.next(), hookKey(0x8000000D, 0x01000000));
    EXPECT_EQ(m_queue.next(), hookKey(0xA2));
    EXPECT_EQ(m_queue.next(), hookKey(0x800000A2));
    EXPECT_EQ(m_queue.next(), hookKey(0x0D));
    EXPECT_EQ(m_queue.next(), hookKey(0x8000000D));
}

TEST_F(KeyboardHookOnX11, FocusedWindowGetsNoKeysWhileHookedAndAllAgainAfterwards) {
    CXClient other;
    ASSERT_TRUE(other.showFocusedWindow());
    m_typist.tap(KEY_B);
    ASSERT_EQ(other.keyEventsReceived(), 2) << "the focused window should see keys unhooked";

    InstallHook(m_queue.window());
    m_typist.tap(KEY_A);
    EXPECT_EQ(m_queue.next(), hookKey(0x41));
    EXPECT_EQ(m_queue.next(), hookKey(0x80000041));
    EXPECT_EQ(other.keyEventsReceived(), 0);

    UninstallHook();
    EXPECT_FALSE(IsHookActive());
    m_typist.tap(KEY_C);
    EXPECT_EQ(other.keyEventsReceived(), 2);
    EXPECT_EQ(m_queue.next(200ms), std::nullopt);
}

TEST_F(KeyboardHookOnX11, UninstallLeavesNoThreadNorConnectionBehind) {
    std::size_t threads = steadyThreadCount();
    std::size_t files = openFileCount();
    for (int round = 0; round < 3; ++round) {
        InstallHook(m_queue.window());
        ASSERT_TRUE(IsHookActive());
        EXPECT_EQ(threadCountSettlingAt(threads + 1), threads + 1);
        m_typist.tap(KEY_SPACE);
        EXPECT_EQ(m_queue.next(), hookKey(0x20));
        EXPECT_EQ(m_queue.next(), hookKey(0x80000020));
        UninstallHook();
        EXPECT_EQ(threadCountSettlingAt(threads), threads);
        EXPECT_EQ(openFileCount(), files);
    }
    UninstallHook(); // a second one is harmless
    EXPECT_EQ(GetHookStatus(), HookStatus::NotInstalled);
}

TEST_F(KeyboardHookOnX11, SecondInstallMovesTheHookWithoutLeakingAGrab) {
    std::size_t threads = steadyThreadCount();
    std::size_t files = openFileCount();
    CMessageQueue second;
    InstallHook(m_queue.window());
    InstallHook(second.window());
    EXPECT_TRUE(IsHookActive());
    EXPECT_EQ(threadCountSettlingAt(threads + 1), threads + 1);
    m_typist.tap(KEY_A);
    EXPECT_EQ(second.next(), hookKey(0x41));
    EXPECT_EQ(second.next(), hookKey(0x80000041));
    EXPECT_EQ(m_queue.next(200ms), std::nullopt);

    UninstallHook();
    EXPECT_EQ(threadCountSettlingAt(threads), threads);
    EXPECT_EQ(openFileCount(), files);
    CXClient other;
    EXPECT_TRUE(other.grabKeyboard()) << "a grab of the first install is still in force";
}

TEST_F(KeyboardHookOnX11, KeyboardHeldByAnotherClientLeavesNoHookButTheWindowCapture) {
    CXClient holder;
    ASSERT_TRUE(holder.grabKeyboard());
    std::size_t threads = steadyThreadCount();
    InstallHook(m_queue.window());
    EXPECT_FALSE(IsHookActive());
    EXPECT_EQ(GetHookStatus(), HookStatus::KeyboardBusy);
    EXPECT_EQ(threadCountSettlingAt(threads), threads);

    // The dialog's own window events still reach it through the hook.
    EXPECT_TRUE(ForwardWindowKey(KEY_A + 8, true));
    EXPECT_EQ(m_queue.next(), hookKey(0x41));
    UninstallHook();
    EXPECT_EQ(GetHookStatus(), HookStatus::NotInstalled);

    // Once the keyboard is free the hook takes it.
    holder.ungrabKeyboard();
    InstallHook(m_queue.window());
    EXPECT_TRUE(IsHookActive());
}

TEST_F(KeyboardHookOnX11, KeysHeldBeforeTheCaptureAreKnownDown) {
    m_typist.press(KEY_RIGHTSHIFT);
    InstallHook(m_queue.window());
    EXPECT_TRUE(HookKeyIsDown(0xA1));
    EXPECT_TRUE(HookKeyIsDown(0x10));
    EXPECT_FALSE(HookKeyIsDown(0xA0));
    m_typist.release(KEY_RIGHTSHIFT);
    EXPECT_EQ(m_queue.next(), hookKey(0x800000A1));
    EXPECT_FALSE(HookKeyIsDown(0x10));
}

TEST_F(KeyboardHookOnX11, HeldKeyRepeatsAsPressesOnly) {
    InstallHook(m_queue.window());
    m_typist.press(KEY_X);
    EXPECT_EQ(m_queue.next(), hookKey(0x58));
    // The key stays down until the server's auto-repeat (after its delay,
    // 660 ms by default) has sent a press of its own.
    EXPECT_EQ(m_queue.next(), hookKey(0x58)) << "the first repeat";
    m_typist.release(KEY_X);
    int repeats = 1;
    for (;;) {
        auto message = m_queue.next();
        ASSERT_TRUE(message.has_value());
        if (message->wParam == 0x80000058) {
            break;
        }
        EXPECT_EQ(*message, hookKey(0x58)) << "a repeat must not look like a release";
        ++repeats;
    }
    EXPECT_EQ(m_queue.next(100ms), std::nullopt);
    RecordProperty("repeats", repeats);
}

TEST_F(KeyboardHookOnX11, ProgramEndingWhileHookedExitsCleanly) {
    // The record that holds the hook is destroyed at exit while its reader
    // thread may be posting: the exit must neither hang nor crash.
    EXPECT_EXIT(
        {
            // The child gets connections of its own: it shares the parent's.
            CXClient typist;
            CMessageQueue queue;
            InstallHook(queue.window());
            typist.tap(KEY_Q);
            std::exit(IsHookActive() ? 3 : 4);
        },
        ::testing::ExitedWithCode(3), "");
    CXClient other;
    EXPECT_TRUE(other.grabKeyboard());
}

namespace {

// An Xvfb of the test's own, so that it can be taken away under the hook.
class CPrivateXServer {
public:
    CPrivateXServer() {
        std::array<int, 2> pipeEnds{};
        if (::pipe2(pipeEnds.data(), O_CLOEXEC) != 0) {
            return;
        }
        m_pid = ::fork();
        if (m_pid == 0) {
            // Xvfb writes its display number to descriptor 3; dup2 clears
            // close-on-exec there.
            ::dup2(pipeEnds[1], 3);
            int devNull = ::open("/dev/null", O_WRONLY);
            ::dup2(devNull, 1);
            ::dup2(devNull, 2);
            ::execlp("Xvfb", "Xvfb", "-displayfd", "3", "-nolisten", "tcp", nullptr);
            ::_exit(127);
        }
        ::close(pipeEnds[1]);
        m_numberPipe = pipeEnds[0];
        // The number comes in more than one write; the line is complete with
        // its newline.
        std::string number;
        pollfd readable{m_numberPipe, POLLIN, 0};
        while (m_pid > 0 && number.find('\n') == std::string::npos &&
               ::poll(&readable, 1, 10000) == 1) {
            std::array<char, 16> chunk{};
            ssize_t got = ::read(m_numberPipe, chunk.data(), chunk.size());
            if (got <= 0) {
                break;
            }
            number.append(chunk.data(), static_cast<std::size_t>(got));
        }
        if (number.find('\n') != std::string::npos) {
            m_display = ":" + number.substr(0, number.find('\n'));
        }
    }
    ~CPrivateXServer() { stop(); }
    CPrivateXServer(const CPrivateXServer&) = delete;
    CPrivateXServer& operator=(const CPrivateXServer&) = delete;

    const std::string& display() const { return m_display; }

    void stop() {
        if (m_pid > 0) {
            ::kill(m_pid, SIGTERM);
            ::waitpid(m_pid, nullptr, 0);
            m_pid = -1;
        }
        if (m_numberPipe >= 0) {
            ::close(m_numberPipe);
            m_numberPipe = -1;
        }
    }

private:
    pid_t m_pid = -1;
    int m_numberPipe = -1;
    std::string m_display;
};

bool waitForStatus(HookStatus wanted) {
    return talvik::test::waitUntil([wanted] { return GetHookStatus() == wanted; });
}

} // namespace

TEST(KeyboardHookServerGone, EndsTheHookButNotTheProgram) {
    CPrivateXServer server;
    ASSERT_FALSE(server.display().empty()) << "cannot start Xvfb";
    ::setenv("DISPLAY", server.display().c_str(), 1);
    CMessageQueue queue;
    std::size_t threads = steadyThreadCount();
    InstallHook(queue.window());
    ASSERT_TRUE(IsHookActive());

    server.stop();
    EXPECT_TRUE(waitForStatus(HookStatus::ConnectionLost));
    EXPECT_FALSE(IsHookActive());
    // The capture stays open for the window's own keys until it is ended.
    EXPECT_TRUE(ForwardWindowKey(KEY_A + 8, true));
    EXPECT_EQ(queue.next(), hookKey(0x41));

    UninstallHook();
    EXPECT_EQ(GetHookStatus(), HookStatus::NotInstalled);
    EXPECT_EQ(threadCountSettlingAt(threads), threads);
}
