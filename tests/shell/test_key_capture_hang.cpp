// A capturing window whose thread hangs while the user types, on a real X
// server typed at through XTest: the desktop gets its keyboard back within
// the hook's limit, and the window records none of the keys that waited.

#include "CaptureWindow.h"
#include "QtTestApp.h"
#include "XClient.h"
#include "support/TestSupport.h"

#include <QTest>
#include <gtest/gtest.h>
#include <linux/input-event-codes.h>

#include <chrono>
#include <optional>
#include <thread>

using talvik::test::CCaptureWindow;
using talvik::test::CXClient;
using namespace std::chrono_literals;

namespace {

using Clock = std::chrono::steady_clock;

// What the rest of the desktop saw while the window's thread hung.
struct DesktopView {
    std::optional<Clock::duration> keyboardBackAfter; // since the first key
    HookStatus statusThen = HookStatus::NotInstalled;
};

// Types on the desktop for `typingFor` from a thread of its own, and watches
// when the focused client starts to receive the keys.
DesktopView typeWhileTheWindowHangs(CXClient& focused, Clock::duration typingFor) {
    DesktopView view;
    CXClient typist;
    const Clock::time_point first = Clock::now();
    typist.tap(KEY_A);
    while (Clock::now() - first < typingFor) {
        std::this_thread::sleep_for(50ms);
        typist.tap(KEY_B);
        if (!view.keyboardBackAfter && focused.keyEventsReceived() > 0) {
            view.keyboardBackAfter = Clock::now() - first;
            view.statusThen = GetHookStatus();
        }
    }
    return view;
}

} // namespace

TEST(KeyCaptureOnX11, HungWindowGivesTheKeyboardBackAndRecordsNoKeyThatWaited) {
    ASSERT_TRUE(talvik::test::useFixtureDisplay()) << "no X server from the test fixture";
    talvik::test::qtApp();
    CXClient focused;
    ASSERT_TRUE(focused.showFocusedWindow());
    CCaptureWindow window;
    window.startRecording();
    ASSERT_TRUE(IsHookActive());
    {
        CXClient typist;
        typist.tap(KEY_Q);
        ASSERT_TRUE(talvik::test::waitFor([&] { return window.keys.size() == 2; }));
        window.keys.clear();
    }

    DesktopView view;
    std::thread desktop([&] { view = typeWhileTheWindowHangs(focused, 5s); });
    std::this_thread::sleep_for(6s); // the window's thread hangs: no event is handled
    desktop.join();

    ASSERT_TRUE(view.keyboardBackAfter.has_value()) << "the desktop never got its keyboard back";
    RecordProperty("keyboard_back_after_ms",
                   static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                        *view.keyboardBackAfter)
                                        .count()));
    EXPECT_GE(*view.keyboardBackAfter, 2900ms);
    EXPECT_LE(*view.keyboardBackAfter, 4500ms);
    EXPECT_EQ(view.statusThen, HookStatus::DeliveryStalled);

    // The window runs again: it finds its capture ended, stops it as a click
    // would, and has recorded nothing of what was typed meanwhile.
    EXPECT_TRUE(talvik::test::waitFor([&] { return !window.capture().running(); }));
    QTest::qWait(100);
    EXPECT_EQ(window.endings, std::vector<HookStatus>{HookStatus::DeliveryStalled});
    EXPECT_TRUE(window.keys.empty()) << window.keys.size() << " keys that waited were recorded";
    EXPECT_EQ(GetHookStatus(), HookStatus::NotInstalled);

    // A new capture takes the keyboard and its keys again.
    window.startRecording();
    ASSERT_TRUE(IsHookActive());
    CXClient typist;
    typist.tap(KEY_C);
    EXPECT_TRUE(talvik::test::waitFor([&] { return window.keys.size() == 2; }));
    EXPECT_EQ(window.keys.front(), 0x43u);
}
