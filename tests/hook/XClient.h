#pragma once

// A second X client for the hook tests: it types through XTest, holds the
// keyboard itself, or shows a focused window that counts the keys it gets.

struct _XDisplay; // Xlib's Display; its macros would collide with the test framework

namespace talvik::test {

class CXClient {
public:
    CXClient();
    ~CXClient();
    CXClient(const CXClient&) = delete;
    CXClient& operator=(const CXClient&) = delete;

    bool connected() const { return m_display != nullptr; }

    // Synthetic key events, processed by the server when this returns.
    void press(unsigned evdevCode);
    void release(unsigned evdevCode);
    void tap(unsigned evdevCode);

    // A mapped window with the input focus, listening to key events.
    bool showFocusedWindow();
    // Key presses and releases the window has received so far.
    int keyEventsReceived();

    bool grabKeyboard();
    void ungrabKeyboard();

private:
    void fakeKey(unsigned evdevCode, bool pressed);

    _XDisplay* m_display;
    unsigned long m_window = 0; // an X Window id
    bool m_tookGrab = false;
    unsigned m_held[256] = {};
};

} // namespace talvik::test
