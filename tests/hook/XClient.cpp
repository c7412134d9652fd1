#include "XClient.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace talvik::test {

CXClient::CXClient() : m_display(XOpenDisplay(nullptr)) {}

CXClient::~CXClient() {
    if (m_display == nullptr) {
        return;
    }
    // Keys left down would stay down on the shared server for the next test.
    for (unsigned code = 0; code < 256; ++code) {
        if (m_held[code] != 0) {
            fakeKey(code, false);
        }
    }
    if (m_tookGrab) {
        ungrabKeyboard();
    }
    if (m_window != 0) {
        XDestroyWindow(m_display, m_window);
    }
    XCloseDisplay(m_display);
}

void CXClient::fakeKey(unsigned evdevCode, bool pressed) {
    XTestFakeKeyEvent(m_display, evdevCode + 8, pressed ? True : False, CurrentTime);
    XSync(m_display, False);
    m_held[evdevCode] = pressed ? 1 : 0;
}

void CXClient::press(unsigned evdevCode) {
    fakeKey(evdevCode, true);
}

void CXClient::release(unsigned evdevCode) {
    fakeKey(evdevCode, false);
}

void CXClient::tap(unsigned evdevCode) {
    press(evdevCode);
    release(evdevCode);
}

bool CXClient::showFocusedWindow() {
    Window root = DefaultRootWindow(m_display);
    m_window = XCreateSimpleWindow(m_display, root, 10, 10, 200, 100, 0, 0, 0);
    XSelectInput(m_display, m_window, KeyPressMask | KeyReleaseMask | StructureNotifyMask);
    XMapWindow(m_display, m_window);
    XEvent event;
    do {
        XWindowEvent(m_display, m_window, StructureNotifyMask, &event);
    } while (event.type != MapNotify);
    XSetInputFocus(m_display, m_window, RevertToParent, CurrentTime);
    XSync(m_display, False);
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(m_display, &focus, &revert);
    return focus == m_window;
}

int CXClient::keyEventsReceived() {
    // Events the server sent before this round trip are in our queue after it.
    XSync(m_display, False);
    int count = 0;
    XEvent event;
    while (XCheckWindowEvent(m_display, m_window, KeyPressMask | KeyReleaseMask, &event)) {
        ++count;
    }
    return count;
}

bool CXClient::grabKeyboard() {
    m_tookGrab = XGrabKeyboard(m_display, DefaultRootWindow(m_display), False, GrabModeAsync,
                               GrabModeAsync, CurrentTime) == GrabSuccess;
    return m_tookGrab;
}

void CXClient::ungrabKeyboard() {
    XUngrabKeyboard(m_display, CurrentTime);
    XSync(m_display, False);
    m_tookGrab = false;
}

} // namespace talvik::test
