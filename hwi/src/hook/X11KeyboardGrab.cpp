#include "hook/X11KeyboardGrab.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>

#include <poll.h>
#include <sys/eventfd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdint>
#include <mutex>
#include <vector>

namespace talvik::hwi {
namespace {

// A window manager or the toolkit may hold the keyboard for a moment (a menu
// closing, a key binding running); a few quick retries ride that out before we
// report the keyboard as busy.
constexpr int kGrabAttempts = 5;
constexpr auto kGrabRetryDelay = std::chrono::milliseconds(40);

int takeGrab(Display* display) {
    int status = AlreadyGrabbed;
    for (int attempt = 0; attempt < kGrabAttempts; ++attempt) {
        if (attempt > 0) {
            std::this_thread::sleep_for(kGrabRetryDelay);
        }
        status = XGrabKeyboard(display, DefaultRootWindow(display), False, GrabModeAsync,
                               GrabModeAsync, CurrentTime);
        if (status == GrabSuccess) {
            break;
        }
    }
    return status;
}

std::bitset<256> keysDown(Display* display) {
    std::array<char, 32> bits{};
    XQueryKeymap(display, bits.data());
    std::bitset<256> down;
    for (unsigned keycode = 0; keycode < down.size(); ++keycode) {
        auto byte = static_cast<unsigned char>(bits[keycode / 8]);
        down.set(keycode, ((byte >> (keycode % 8)) & 1u) != 0);
    }
    return down;
}

// Xlib's I/O error handler is one for the whole process, and the default one
// ends the process when any connection breaks. A lost server must only end
// the hook, so while the hook has a connection our handler sits in front:
// for the hook's connections it returns, which lets Xlib mark the connection
// dead and go on, and every other connection is passed to the handler that was
// there before (the toolkit's or Xlib's own).
class CSurvivableConnections {
public:
    static void add(Display* display) {
        std::lock_guard lock(s_mutex);
        if (s_ours.empty()) {
            s_previous = XSetIOErrorHandler(&CSurvivableConnections::onIoError);
        }
        s_ours.push_back(display);
    }

    static void remove(Display* display) {
        std::lock_guard lock(s_mutex);
        std::erase(s_ours, display);
        if (s_ours.empty()) {
            XIOErrorHandler current = XSetIOErrorHandler(s_previous);
            if (current != &CSurvivableConnections::onIoError) {
                // Someone installed a handler after ours: theirs stays.
                XSetIOErrorHandler(current);
            }
        }
    }

private:
    static int onIoError(Display* display) {
        XIOErrorHandler previous = nullptr;
        {
            std::lock_guard lock(s_mutex);
            if (std::find(s_ours.begin(), s_ours.end(), display) != s_ours.end()) {
                return 0;
            }
            previous = s_previous;
        }
        return previous != nullptr ? previous(display) : 0;
    }

    static inline std::mutex s_mutex;
    static inline std::vector<Display*> s_ours;
    static inline XIOErrorHandler s_previous = nullptr;
};

XDisplayPtr openDisplay() {
    XDisplayPtr display(XOpenDisplay(nullptr));
    if (display) {
        CSurvivableConnections::add(display.get());
    }
    return display;
}

} // namespace

void CDisplayCloser::operator()(_XDisplay* display) const {
    // On a connection already found dead this skips the server round trip.
    XCloseDisplay(display);
    CSurvivableConnections::remove(display);
}

CX11KeyboardGrab::Opened CX11KeyboardGrab::open() {
    XDisplayPtr display = openDisplay();
    CFileDescriptor wake(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
    if (!display || !wake.valid()) {
        return Opened{Outcome::NoDisplay, nullptr};
    }
    auto grab = std::make_unique<CX11KeyboardGrab>(std::move(display), std::move(wake));
    Display* connection = grab->m_display.get();
    // The server repeats a held key; without this it would report each repeat
    // as a release and a press, and a held key would look like many strokes.
    XkbSetDetectableAutoRepeat(connection, True, nullptr);
    grab->m_grabbed = takeGrab(connection) == GrabSuccess;
    grab->m_downAtGrab = keysDown(connection);
    if (grab->lost()) {
        // Xlib reports a grab on a connection that broke meanwhile as taken.
        // The broken connection stays locked for this thread: close it here.
        grab->m_display.reset();
        return Opened{Outcome::NoDisplay, nullptr};
    }
    if (!grab->m_grabbed) {
        return Opened{Outcome::KeyboardBusy, nullptr};
    }
    return Opened{Outcome::Grabbed, std::move(grab)};
}

CX11KeyboardGrab::CX11KeyboardGrab(XDisplayPtr display, CFileDescriptor wake)
    : m_display(std::move(display)), m_wake(std::move(wake)) {
    // After the I/O error handler Xlib calls this one, which by default ends
    // the process; for us a lost server only ends the hook.
    XSetIOErrorExitHandler(m_display.get(), &CX11KeyboardGrab::onConnectionLost, this);
}

CX11KeyboardGrab::~CX11KeyboardGrab() {
    if (m_reader.joinable()) {
        m_stopping.store(true);
        recheck();
        m_reader.join();
    }
    if (m_display && m_grabbed && !m_lost.load()) {
        XUngrabKeyboard(m_display.get(), CurrentTime);
        XSync(m_display.get(), False);
    }
}

void CX11KeyboardGrab::startReading(KeyHandler onKey, Watch watch) {
    if (m_reader.joinable()) {
        return;
    }
    m_onKey = std::move(onKey);
    m_watch = std::move(watch);
    m_reader = std::thread([this] { run(); });
}

void CX11KeyboardGrab::recheck() {
    std::uint64_t one = 1;
    // An eventfd write of 8 bytes only fails when the counter would overflow,
    // which the reader's reads prevent.
    [[maybe_unused]] ssize_t written = ::write(m_wake.get(), &one, sizeof one);
}

void CX11KeyboardGrab::onConnectionLost(_XDisplay*, void* self) {
    static_cast<CX11KeyboardGrab*>(self)->m_lost.store(true);
}

void CX11KeyboardGrab::run() {
    readUntilStopped();
    if (m_lost.load()) {
        // Xlib keeps a broken connection locked for the thread that found it
        // broken, so only this thread can still close it.
        m_display.reset();
    }
}

void CX11KeyboardGrab::readUntilStopped() {
    std::array<pollfd, 2> fds{
        {{ConnectionNumber(m_display.get()), POLLIN, 0}, {m_wake.get(), POLLIN, 0}}};
    for (;;) {
        // Xlib may already hold read events in its own queue, which poll
        // cannot see: drain first, then wait.
        if (!drainEvents()) {
            return;
        }
        std::optional<std::chrono::milliseconds> wait = m_ending ? std::nullopt : m_watch();
        if (!wait) {
            release();
            return;
        }
        fds[0].revents = 0;
        fds[1].revents = 0;
        auto timeout = std::clamp<std::chrono::milliseconds::rep>(wait->count(), 0, INT_MAX);
        if (::poll(fds.data(), fds.size(), static_cast<int>(timeout)) < 0) {
            if (errno == EINTR) {
                continue;
            }
            return;
        }
        if (fds[1].revents != 0) {
            std::uint64_t requests = 0;
            [[maybe_unused]] ssize_t got = ::read(m_wake.get(), &requests, sizeof requests);
            if (m_stopping.load()) {
                return;
            }
        }
        if ((fds[0].revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
            // The last events may still be readable behind the hang-up.
            drainEvents();
            m_lost.store(true);
            return;
        }
    }
}

bool CX11KeyboardGrab::drainEvents() {
    while (!m_lost.load() && !m_ending && XPending(m_display.get()) > 0) {
        XEvent event;
        XNextEvent(m_display.get(), &event);
        if (event.type == KeyPress || event.type == KeyRelease) {
            m_ending = !m_onKey(event.xkey.keycode, event.type == KeyPress,
                                static_cast<DWORD>(event.xkey.time));
        }
    }
    return !m_lost.load();
}

void CX11KeyboardGrab::release() {
    // Events still queued behind the end are dropped with the connection's
    // queue: they belong to nobody now.
    XUngrabKeyboard(m_display.get(), CurrentTime);
    XSync(m_display.get(), False);
    m_grabbed = false;
    m_released.store(true);
}

} // namespace talvik::hwi
