#pragma once

#include "hook/HookClock.h"
#include "talvik/hwi/KeyboardHook.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>

namespace talvik::hwi {

// Keeps a capture from holding the desktop's keyboard when nobody is there to
// use it. It knows which hook messages are on their way to which window, ends
// the capture when the target stops taking them while the keyboard is grabbed
// or when nobody has touched keyboard or pointer for a while, and tells a
// stale message from one of the capture in force. Thread-safe; the time is
// always passed in, so the rules can be driven by any clock.
class CCaptureWatch {
public:
    using Duration = HookClock::duration;
    using TimePoint = HookClock::time_point;

    static constexpr Duration kDeliveryLimit = std::chrono::seconds(3);
    static constexpr Duration kIdleLimit = std::chrono::minutes(2);

    // A new capture to `target`. Messages still on their way from earlier
    // captures stay stale.
    void begin(HWND target, TimePoint now);
    // No capture any more: what is still on its way is stale.
    void finish();

    bool live() const;
    // Why the capture was ended by the watch (DeliveryStalled or IdleEnded);
    // nothing while it is live and after finish().
    std::optional<HookStatus> endedBy() const;

    // Hands one message for the target to `send` while the capture is live,
    // and counts it as on its way when `send` says it was queued. A target
    // that can no longer receive (its window is gone) ends the capture.
    // Returns whether the message was sent.
    bool post(TimePoint now, const std::function<bool(HWND target)>& send);

    // `window` handles the oldest of the messages on their way to it. True
    // when it belongs to the capture in force: the capture is live, the
    // window is its target and the message was posted during this capture
    // (a message the watch did not post counts as one of the capture).
    bool take(HWND window, TimePoint now);

    // A key or pointer event of the user: the capture is not idle.
    void noteActivity(TimePoint now);

    // Ends the capture when a limit has passed; the delivery limit applies
    // only while `grabbed`, since only a grab can take the keyboard from the
    // desktop. Returns how long until the next limit, nothing once the
    // capture is not live.
    std::optional<Duration> check(TimePoint now, bool grabbed);

private:
    struct Posted {
        std::uint64_t capture;
        TimePoint at;
    };
    struct Window {
        std::deque<Posted> onTheirWay;
        TimePoint lastTaken{};
    };

    void forgetIfDone(std::map<HWND, Window>::iterator it);

    mutable std::mutex m_mutex;
    std::uint64_t m_capture = 0; // numbers the captures; 0 is none
    HWND m_target = 0;
    bool m_live = false;
    std::optional<HookStatus> m_endedBy;
    TimePoint m_lastActivity{};
    std::map<HWND, Window> m_windows; // the target, and windows with stale messages on their way
};

} // namespace talvik::hwi
