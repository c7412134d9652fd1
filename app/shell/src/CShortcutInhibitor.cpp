#include "talvik/shell/CShortcutInhibitor.h"

#include <QGuiApplication>
#include <QWindow>
#include <qpa/qplatformnativeinterface.h>

#include "keyboard-shortcuts-inhibit-unstable-v1-client-protocol.h"
#include <wayland-client.h>

#include <cstring>

namespace talvik::shell {
namespace {

void registryGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface,
                    uint32_t version) {
    (void)version;
    static_cast<CShortcutInhibitor*>(data)->onGlobal(registry, name, interface);
}

void registryGlobalRemove(void* data, wl_registry* registry, uint32_t name) {
    (void)data;
    (void)registry;
    (void)name;
}

const wl_registry_listener kRegistryListener{registryGlobal, registryGlobalRemove};

void inhibitorActive(void* data, zwp_keyboard_shortcuts_inhibitor_v1* inhibitor) {
    (void)inhibitor;
    static_cast<CShortcutInhibitor*>(data)->onActive();
}

void inhibitorInactive(void* data, zwp_keyboard_shortcuts_inhibitor_v1* inhibitor) {
    (void)inhibitor;
    static_cast<CShortcutInhibitor*>(data)->onInactive();
}

const zwp_keyboard_shortcuts_inhibitor_v1_listener kInhibitorListener{inhibitorActive,
                                                                      inhibitorInactive};

void* nativeResource(const char* name, QWindow* window = nullptr) {
    QPlatformNativeInterface* native = QGuiApplication::platformNativeInterface();
    if (native == nullptr) {
        return nullptr;
    }
    return window == nullptr ? native->nativeResourceForIntegration(name)
                             : native->nativeResourceForWindow(name, window);
}

} // namespace

CShortcutInhibitor::~CShortcutInhibitor() {
    release();
    if (m_manager != nullptr) {
        zwp_keyboard_shortcuts_inhibit_manager_v1_destroy(m_manager);
    }
    if (m_registry != nullptr) {
        wl_registry_destroy(m_registry);
    }
    if (m_queue != nullptr) {
        wl_event_queue_destroy(m_queue);
    }
}

void CShortcutInhibitor::onGlobal(wl_registry* registry, unsigned name, const char* interface) {
    if (m_manager == nullptr &&
        std::strcmp(interface, zwp_keyboard_shortcuts_inhibit_manager_v1_interface.name) == 0) {
        m_manager = static_cast<zwp_keyboard_shortcuts_inhibit_manager_v1*>(wl_registry_bind(
            registry, name, &zwp_keyboard_shortcuts_inhibit_manager_v1_interface, 1));
    }
}

bool CShortcutInhibitor::connect() {
    if (m_tried) {
        return m_manager != nullptr;
    }
    m_tried = true;
    if (!QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        return false;
    }
    m_display = static_cast<wl_display*>(nativeResource("wl_display"));
    if (m_display == nullptr) {
        return false;
    }
    // The registry, and so everything bound from it, answers on our queue.
    m_queue = wl_display_create_queue(m_display);
    auto* display = static_cast<wl_display*>(wl_proxy_create_wrapper(m_display));
    wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(display), m_queue);
    m_registry = wl_display_get_registry(display);
    wl_proxy_wrapper_destroy(display);
    wl_registry_add_listener(m_registry, &kRegistryListener, this);
    wl_display_roundtrip_queue(m_display, m_queue);
    return m_manager != nullptr;
}

CShortcutInhibitor::EState CShortcutInhibitor::inhibit(QWindow* window) {
    release();
    if (window == nullptr || !connect()) {
        return EState::Unavailable;
    }
    auto* seat = static_cast<wl_seat*>(nativeResource("wl_seat"));
    auto* surface = static_cast<wl_surface*>(nativeResource("surface", window));
    if (seat == nullptr || surface == nullptr) {
        return EState::Unavailable;
    }
    m_active = false;
    m_inhibitor =
        zwp_keyboard_shortcuts_inhibit_manager_v1_inhibit_shortcuts(m_manager, surface, seat);
    zwp_keyboard_shortcuts_inhibitor_v1_add_listener(m_inhibitor, &kInhibitorListener, this);
    wl_display_roundtrip_queue(m_display, m_queue);
    return state();
}

void CShortcutInhibitor::release() {
    if (m_inhibitor != nullptr) {
        zwp_keyboard_shortcuts_inhibitor_v1_destroy(m_inhibitor);
        m_inhibitor = nullptr;
        wl_display_flush(m_display);
    }
    m_active = false;
}

CShortcutInhibitor::EState CShortcutInhibitor::state() {
    if (m_tried && m_manager == nullptr) {
        return EState::Unavailable;
    }
    if (m_inhibitor == nullptr) {
        return EState::Released;
    }
    wl_display_dispatch_queue_pending(m_display, m_queue);
    return m_active ? EState::Active : EState::Inactive;
}

} // namespace talvik::shell
