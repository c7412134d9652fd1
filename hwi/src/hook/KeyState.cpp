#include "hook/KeyState.h"

#include "hook/KeyTable.h"

namespace talvik::hwi {
namespace {

constexpr DWORD VK_SHIFT = 0x10;
constexpr DWORD VK_CONTROL = 0x11;
constexpr DWORD VK_MENU = 0x12;
constexpr DWORD VK_LSHIFT = 0xA0;
constexpr DWORD VK_RSHIFT = 0xA1;
constexpr DWORD VK_LCONTROL = 0xA2;
constexpr DWORD VK_RCONTROL = 0xA3;
constexpr DWORD VK_LMENU = 0xA4;
constexpr DWORD VK_RMENU = 0xA5;

UINT messageFor(bool pressed, bool system) {
    if (system) {
        return pressed ? WM_SYSKEYDOWN : WM_SYSKEYUP;
    }
    return pressed ? WM_KEYDOWN : WM_KEYUP;
}

} // namespace

HookEvent CHookKeyState::apply(HookKey key, unsigned keycode, bool pressed, DWORD time) {
    std::lock_guard lock(m_mutex);
    if (key.vkCode != 0 && key.vkCode < m_down.size()) {
        m_down.set(key.vkCode, pressed);
    }
    bool alt = downLocked(VK_LMENU) || downLocked(VK_RMENU);
    bool ctrl = downLocked(VK_LCONTROL) || downLocked(VK_RCONTROL);
    DWORD flags =
        (key.extended ? LLKHF_EXTENDED : 0) | (alt ? LLKHF_ALTDOWN : 0) | (pressed ? 0 : LLKHF_UP);
    return HookEvent{messageFor(pressed, alt && !ctrl),
                     KBDLLHOOKSTRUCT{key.vkCode, keycode, flags, time, 0}};
}

void CHookKeyState::reset(const std::bitset<256>& keycodesDown) {
    std::lock_guard lock(m_mutex);
    m_down.reset();
    for (unsigned keycode = 0; keycode < keycodesDown.size(); ++keycode) {
        HookKey key = translateKeycode(keycode);
        if (keycodesDown.test(keycode) && key.vkCode != 0) {
            m_down.set(key.vkCode);
        }
    }
}

void CHookKeyState::clear() {
    std::lock_guard lock(m_mutex);
    m_down.reset();
}

bool CHookKeyState::isDown(int virtualKey) const {
    std::lock_guard lock(m_mutex);
    switch (virtualKey) {
    case VK_SHIFT:
        return downLocked(VK_LSHIFT) || downLocked(VK_RSHIFT);
    case VK_CONTROL:
        return downLocked(VK_LCONTROL) || downLocked(VK_RCONTROL);
    case VK_MENU:
        return downLocked(VK_LMENU) || downLocked(VK_RMENU);
    default:
        return virtualKey > 0 && downLocked(static_cast<DWORD>(virtualKey));
    }
}

bool CHookKeyState::downLocked(DWORD virtualKey) const {
    return virtualKey < m_down.size() && m_down.test(virtualKey);
}

} // namespace talvik::hwi
