// Key captures of a skinned window where the desktop keyboard cannot be
// grabbed: the window's own key events are the capture, and the hook's clock
// is moved by hand.

#include "CaptureWindow.h"
#include "FakeHookClock.h"
#include "QtTestApp.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QTest>
#include <gtest/gtest.h>

#include <cstdlib>

using talvik::shell::CKeyCapture;
using talvik::test::CCaptureWindow;
using namespace std::chrono_literals;
using talvik::text::Language;

namespace {

// X keycodes (evdev code + 8) as Qt reports them in nativeScanCode().
constexpr quint32 kKeycodeEscape = 9;
constexpr quint32 kKeycodeA = 38;
constexpr quint32 kKeycodeB = 56;

class KeyCaptureWithoutGrab : public ::testing::Test {
protected:
    void SetUp() override {
        ::unsetenv("DISPLAY");
        talvik::test::qtApp();
    }

    static void sendKey(QWidget& to, QEvent::Type type, int key, quint32 keycode,
                        bool autoRepeat = false) {
        QKeyEvent event(type, key, Qt::NoModifier, keycode, 0, 0, QString(), autoRepeat);
        QApplication::sendEvent(&to, &event);
    }
    static void settle() {
        for (int i = 0; i < 5; ++i) {
            QCoreApplication::processEvents();
        }
    }
};

} // namespace

TEST_F(KeyCaptureWithoutGrab, WindowKeysGoToTheCaptureInsteadOfTheWidgets) {
    CCaptureWindow window;
    window.startRecording();
    EXPECT_EQ(GetHookStatus(), HookStatus::NoDisplay);

    sendKey(window, QEvent::KeyPress, Qt::Key_Escape, kKeycodeEscape);
    sendKey(window, QEvent::KeyRelease, Qt::Key_Escape, kKeycodeEscape, true);
    sendKey(window, QEvent::KeyPress, Qt::Key_Escape, kKeycodeEscape, true);
    sendKey(window, QEvent::KeyRelease, Qt::Key_Escape, kKeycodeEscape);
    settle();
    // A held key repeats as presses only, as from a grab.
    EXPECT_EQ(window.keys, (std::vector<WPARAM>{0x1B, 0x1B, 0x8000001B}));
    EXPECT_TRUE(window.keysSeenByWidget.empty()) << "Escape would have closed the dialog";

    window.capture().stop();
    EXPECT_EQ(GetHookStatus(), HookStatus::NotInstalled);
    sendKey(window, QEvent::KeyPress, Qt::Key_A, kKeycodeA);
    settle();
    EXPECT_EQ(window.keysSeenByWidget, std::vector<int>{Qt::Key_A});
    EXPECT_EQ(window.keys.size(), 3u);
}

TEST_F(KeyCaptureWithoutGrab, HookUninstalledElsewhereNoLongerDivertsTheKeys) {
    CCaptureWindow window;
    window.startRecording();
    UninstallHook();
    EXPECT_TRUE(talvik::test::waitFor([&] { return !window.capture().running(); }));
    sendKey(window, QEvent::KeyPress, Qt::Key_A, kKeycodeA);
    EXPECT_EQ(window.keysSeenByWidget, std::vector<int>{Qt::Key_A});
    EXPECT_TRUE(window.endings.empty()) << "not an end by the hook";
}

TEST_F(KeyCaptureWithoutGrab, KeysOfAStoppedCaptureNeverReachTheNextOne) {
    CCaptureWindow window;
    window.startRecording();
    sendKey(window, QEvent::KeyPress, Qt::Key_A, kKeycodeA);
    // Stopped and started again before the window has handled the key.
    window.capture().stop();
    window.startRecording();
    sendKey(window, QEvent::KeyPress, Qt::Key_B, kKeycodeB);
    settle();
    EXPECT_EQ(window.keys, std::vector<WPARAM>{0x42});
}

TEST_F(KeyCaptureWithoutGrab, IdleCaptureEndsAsAClickWouldAndSaysWhy) {
    talvik::test::CFakeHookClock clock;
    CCaptureWindow window;
    window.startRecording();
    clock.advance(100s);
    sendKey(window, QEvent::KeyPress, Qt::Key_A, kKeycodeA);
    clock.advance(100s);
    QMouseEvent move(QEvent::MouseMove, QPointF(20, 20), QPointF(20, 20), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &move);
    clock.advance(119s);
    QTest::qWait(2 * CKeyCapture::kPollInterval.count());
    EXPECT_TRUE(window.capture().running()) << "the pointer was used 119 s ago";
    EXPECT_TRUE(window.endings.empty());

    clock.advance(1s);
    EXPECT_TRUE(talvik::test::waitFor([&] { return !window.capture().running(); }));
    EXPECT_EQ(window.endings, std::vector<HookStatus>{HookStatus::IdleEnded});
    EXPECT_FALSE(window.recording);
    EXPECT_EQ(GetHookStatus(), HookStatus::NotInstalled) << "the capture is stopped";
    EXPECT_EQ(window.keys, std::vector<WPARAM>{0x41});

    // Stopping again, as the dialog's own stop path may, changes nothing.
    window.capture().stop();
    EXPECT_EQ(window.endings.size(), 1u);
    EXPECT_TRUE(
        CKeyCapture::noticeText(HookStatus::IdleEnded, Language::English).contains("2 minutes"));
    EXPECT_TRUE(
        CKeyCapture::noticeText(HookStatus::IdleEnded, Language::Chinese).contains("2 分钟"));
    EXPECT_TRUE(
        CKeyCapture::noticeText(HookStatus::DeliveryStalled, Language::Chinese).contains("3 秒"));
    EXPECT_TRUE(CKeyCapture::noticeText(HookStatus::Active, Language::English).isEmpty());
}
