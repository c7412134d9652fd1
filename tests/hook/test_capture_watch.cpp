// The rules by which a capture ends by itself and a hook message turns stale,
// driven by explicit times.

#include "hook/CaptureWatch.h"

#include <gtest/gtest.h>

using talvik::hwi::CCaptureWatch;
using namespace std::chrono_literals;

namespace {

class CaptureWatch : public ::testing::Test {
protected:
    CaptureWatch() {
        for (HWND& window : m_windows) {
            window = RegisterMessageWindow([](UINT, WPARAM, LPARAM) {});
        }
    }
    ~CaptureWatch() override {
        for (HWND window : m_windows) {
            UnregisterMessageWindow(window);
        }
    }

    // Posts one message as the hook does; `queued` is what the window registry answers.
    bool post(CCaptureWatch::Duration at, bool queued = true) {
        return m_watch.post(m_t0 + at, [&](HWND target) {
            m_sentTo = target;
            return queued;
        });
    }
    bool take(HWND window, CCaptureWatch::Duration at = 0s) {
        return m_watch.take(window, m_t0 + at);
    }
    std::optional<CCaptureWatch::Duration> check(CCaptureWatch::Duration at, bool grabbed = true) {
        return m_watch.check(m_t0 + at, grabbed);
    }

    CCaptureWatch m_watch;
    CCaptureWatch::TimePoint m_t0 = talvik::hwi::HookClock::now();
    HWND m_windows[2] = {};
    HWND& a = m_windows[0];
    HWND& b = m_windows[1];
    HWND m_sentTo = 0;
};

} // namespace

TEST_F(CaptureWatch, MessagesOfAnEarlierCaptureStayStaleInTheNextOne) {
    m_watch.begin(a, m_t0);
    ASSERT_TRUE(post(0s));
    ASSERT_TRUE(post(0s));
    m_watch.finish();
    EXPECT_FALSE(post(0s)) << "nothing is posted without a capture";

    m_watch.begin(a, m_t0);
    ASSERT_TRUE(post(1s));
    EXPECT_EQ(m_sentTo, a);
    EXPECT_FALSE(take(a));
    EXPECT_FALSE(take(a));
    EXPECT_TRUE(take(a));
}

TEST_F(CaptureWatch, AnotherWindowsMessagesStayStaleWhenItCapturesAgain) {
    m_watch.begin(a, m_t0);
    ASSERT_TRUE(post(0s));
    m_watch.begin(b, m_t0);
    ASSERT_TRUE(post(0s));
    EXPECT_EQ(m_sentTo, b);
    m_watch.begin(a, m_t0);
    ASSERT_TRUE(post(0s));
    EXPECT_FALSE(take(a)) << "posted to the first capture";
    EXPECT_TRUE(take(a));
    EXPECT_FALSE(take(b)) << "b's capture is over";
}

TEST_F(CaptureWatch, MessagesTheWatchDidNotPostCountOnlyForTheCaptureInForce) {
    m_watch.begin(a, m_t0);
    EXPECT_TRUE(take(a));
    EXPECT_FALSE(take(b));
    m_watch.finish();
    EXPECT_FALSE(take(a));
}

TEST_F(CaptureWatch, GrabbedCaptureEndsWhenItsWindowTakesNothingForThreeSeconds) {
    m_watch.begin(a, m_t0);
    EXPECT_TRUE(check(10s).has_value()) << "nothing on its way: nothing to wait for";
    ASSERT_TRUE(post(10s));
    ASSERT_TRUE(post(11s));
    EXPECT_EQ(check(12900ms), 100ms);
    EXPECT_EQ(check(13s), std::nullopt);
    EXPECT_FALSE(m_watch.live());
    EXPECT_EQ(m_watch.endedBy(), HookStatus::DeliveryStalled);

    m_sentTo = 0;
    EXPECT_FALSE(post(14s));
    EXPECT_EQ(m_sentTo, 0u) << "an ended capture sends nothing";
    EXPECT_FALSE(take(a, 20s));
    EXPECT_FALSE(take(a, 20s));
    m_watch.finish();
    EXPECT_EQ(m_watch.endedBy(), std::nullopt);
}

TEST_F(CaptureWatch, WindowTakingLateButSteadilyKeepsItsCapture) {
    m_watch.begin(a, m_t0);
    for (int i = 0; i < 5; ++i) {
        ASSERT_TRUE(post(0s));
    }
    // Each message is taken two seconds after the one before: always late,
    // never stopped.
    for (int i = 1; i <= 4; ++i) {
        EXPECT_TRUE(check(std::chrono::seconds(2 * i) - 1ms).has_value());
        EXPECT_TRUE(take(a, std::chrono::seconds(2 * i)));
    }
    EXPECT_TRUE(check(10900ms).has_value());
    EXPECT_EQ(check(11s), std::nullopt);
}

TEST_F(CaptureWatch, WithoutAGrabOnlyIdlenessEndsTheCapture) {
    m_watch.begin(a, m_t0);
    ASSERT_TRUE(post(0s));
    EXPECT_TRUE(check(60s, false).has_value());
    EXPECT_TRUE(m_watch.live());
}

TEST_F(CaptureWatch, IdleLimitCountsFromTheLastKeyOrPointerActivity) {
    m_watch.begin(a, m_t0);
    m_watch.noteActivity(m_t0 + 100s);
    m_watch.noteActivity(m_t0 + 50s); // an older report changes nothing
    EXPECT_EQ(check(219s, false), 1s);
    EXPECT_EQ(check(220s, false), std::nullopt);
    EXPECT_EQ(m_watch.endedBy(), HookStatus::IdleEnded);
    m_watch.noteActivity(m_t0 + 221s);
    EXPECT_FALSE(m_watch.live()) << "activity does not revive an ended capture";

    m_watch.begin(a, m_t0 + 300s);
    EXPECT_TRUE(m_watch.live());
    EXPECT_EQ(m_watch.endedBy(), std::nullopt);
    EXPECT_EQ(check(301s, false), 119s);
}

TEST_F(CaptureWatch, TargetThatIsGoneEndsTheCaptureAtTheFirstKey) {
    m_watch.begin(a, m_t0);
    EXPECT_FALSE(post(0s, false));
    EXPECT_EQ(m_watch.endedBy(), HookStatus::DeliveryStalled);
}
