#pragma once

#include "FileDescriptor.h"
#include "talvik/hwi/KeyboardHook.h"

#include <atomic>
#include <bitset>
#include <functional>
#include <memory>
#include <thread>

struct _XDisplay; // Xlib's Display, kept out of this header with its macros

namespace talvik::hwi {

struct CDisplayCloser {
    void operator()(_XDisplay* display) const;
};
using XDisplayPtr = std::unique_ptr<_XDisplay, CDisplayCloser>;

// An active grab of the desktop keyboard on its own X connection. While the
// object lives, every key press and release of the X server comes to it and to
// no other client; destroying it releases the grab, stops the reader thread
// and closes the connection before returning.
class CX11KeyboardGrab {
public:
    using KeyHandler = std::function<void(unsigned keycode, bool pressed, DWORD time)>;

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

    // Starts the reader thread; `onKey` runs on it for every key event. Once.
    void startReading(KeyHandler onKey);

    // True once the X server has gone away; no more events will come.
    bool lost() const { return m_lost.load(); }

private:
    void run();
    void readUntilStopped();
    bool drainEvents();
    static void onConnectionLost(_XDisplay* display, void* self);

    XDisplayPtr m_display;  // closed by the reader itself when the server is lost
    CFileDescriptor m_wake; // an eventfd: written once to stop the reader
    bool m_grabbed = false;
    std::bitset<256> m_downAtGrab;
    KeyHandler m_onKey;
    std::atomic<bool> m_lost{false};
    std::thread m_reader;
};

} // namespace talvik::hwi
