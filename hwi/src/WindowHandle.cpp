#include "talvik/hwi/WindowHandle.h"

#include "WindowRegistry.h"

#include <map>
#include <mutex>
#include <utility>

namespace {

class CWindowRegistry {
public:
    HWND add(MessageSink sink) {
        std::lock_guard lock(m_mutex);
        HWND handle = ++m_lastHandle;
        m_sinks.emplace(handle, std::move(sink));
        return handle;
    }

    void remove(HWND window) {
        std::lock_guard lock(m_mutex);
        m_sinks.erase(window);
    }

    bool contains(HWND window) {
        std::lock_guard lock(m_mutex);
        return m_sinks.count(window) != 0;
    }

    bool post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        std::lock_guard lock(m_mutex);
        auto it = m_sinks.find(window);
        if (it == m_sinks.end() || !it->second) {
            return false;
        }
        // Delivering under the lock is what lets remove() promise that no
        // delivery to a withdrawn window is still running.
        it->second(message, wParam, lParam);
        return true;
    }

private:
    std::mutex m_mutex;
    HWND m_lastHandle = 0;
    std::map<HWND, MessageSink> m_sinks;
};

CWindowRegistry& registry() {
    static CWindowRegistry instance;
    return instance;
}

} // namespace

namespace talvik::hwi {

bool isMessageWindow(HWND window) {
    return window != 0 && registry().contains(window);
}

} // namespace talvik::hwi

HWND RegisterMessageWindow(MessageSink sink) {
    return registry().add(std::move(sink));
}

void UnregisterMessageWindow(HWND window) {
    registry().remove(window);
}

bool PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (window == 0) {
        return false;
    }
    return registry().post(window, message, wParam, lParam);
}
