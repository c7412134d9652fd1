#include "hook/HookClock.h"

#include <atomic>

namespace talvik::hwi {
namespace {

std::atomic<HookTimeSource> g_source{nullptr};

} // namespace

HookClock::time_point hookNow() {
    HookTimeSource source = g_source.load();
    return source != nullptr ? source() : HookClock::now();
}

void setHookTimeSource(HookTimeSource source) {
    g_source.store(source);
}

} // namespace talvik::hwi
