#pragma once

#include "FileDescriptor.h"
#include "talvik/hwi/KeyboardHook.h"

#include <atomic>
#include <bitset>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <thread>

struct _XDisplay; // Xlib's Display, kept out of this header with its macros

namespace talvik::hwi {

struct CDisplayCloser {
    void operator()(_XDisplay* display) const;
};
using XDisplayPtr = std::unique_ptr<_XDisplay, CDisplayCloser>;

// An active grab of the desktop keyboard on its own X connection. While the
// object lives, every key press and release of the X server comes to it and to
// no other client, until its handlers end the grab; destroying it releases
// the grab, stops the reader thread and closes the connection before
// returning.
class CX11KeyboardGrab {
public:
    // Runs on the reader thread for every key event; false ends the grab.
    using KeyHandler = std::function<bool(unsigned keycode, bool pressed, DWORD time)>;
    // Runs on the reader thread before every wait: how long the reader may
    // wait for keys before asking again, or nothing to end the grab.
    using Watch = std::function<std::optional<std::chrono::milliseconds>()>;

    enum class Outcome { Grabbed, NoDisplay, KeyboardBusy };
    struct Opened {
        Outcome outcome;
        std::unique_ptr<CX11KeyboardGrab> grab; // set only when Grabbed
    };

    // Connects to $DISPLAY and grabs the keyboard on the root window. The grab
    // is in force when this returns; events queue until startReading.
    static Opened open();

    // Takes over a fresh connection; open() makes the grab.
    CX11KeyboardGrab(XDisplayPtr display, CFileDescriptor wake);
    ~CX11KeyboardGrab();
    CX11KeyboardGrab(const CX11KeyboardGrab&) = delete;
    CX11KeyboardGrab& operator=(const CX11KeyboardGrab&) = delete;

    // The X keycodes that were down when the grab was taken.
    const std::bitset<256>& keysDownAtGrab() const { return m_downAtGrab; }

    // Starts the reader thread. Once. When a handler ends the grab, the
    // reader releases the keyboard, drops the events still queued and stops.
    void startReading(KeyHandler onKey, Watch watch);

    // Makes the reader ask its watch again now. Safe from any thread.
    void recheck();

    // True once the X server has gone away; no more events will come.
    bool lost() const { return m_lost.load(); }
    // True once a handler has ended the grab and the keyboard is free.
    bool released() const { return m_released.load(); }

private:
    void run();
    void readUntilStopped();
    bool drainEvents();
    void release();
    static void onConnectionLost(_XDisplay* display, void* self);

    XDisplayPtr m_display;  // closed by the reader itself when the server is lost
    CFileDescriptor m_wake; // an eventfd that wakes the reader: to stop, or to recheck
    bool m_grabbed = false;
    std::bitset<256> m_downAtGrab;
    KeyHandler m_onKey;
    Watch m_watch;
    bool m_ending = false; // the reader's own: a key handler has ended the grab
    std::atomic<bool> m_stopping{false};
    std::atomic<bool> m_released{false};
    std::atomic<bool> m_lost{false};
    std::thread m_reader;
};

} // namespace talvik::hwi
