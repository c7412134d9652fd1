#pragma once

// A clock for the keyboard hook that stands still until the test moves it, so
// that its limits of seconds and minutes pass in an instant.

#include "hook/HookClock.h"

#include <atomic>
#include <chrono>

namespace talvik::test {

class CFakeHookClock {
public:
    CFakeHookClock() {
        s_now.store(talvik::hwi::HookClock::now().time_since_epoch().count());
        talvik::hwi::setHookTimeSource(&CFakeHookClock::now);
    }
    ~CFakeHookClock() { talvik::hwi::setHookTimeSource(nullptr); }
    CFakeHookClock(const CFakeHookClock&) = delete;
    CFakeHookClock& operator=(const CFakeHookClock&) = delete;

    void advance(talvik::hwi::HookClock::duration by) { s_now.fetch_add(by.count()); }

private:
    static talvik::hwi::HookClock::time_point now() {
        return talvik::hwi::HookClock::time_point(talvik::hwi::HookClock::duration(s_now.load()));
    }

    static inline std::atomic<talvik::hwi::HookClock::rep> s_now{0};
};

} // namespace talvik::test
