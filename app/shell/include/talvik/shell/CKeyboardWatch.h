#pragma once

// Follows the keyboard while the main window runs. It notices that the
// keyboard has gone (no supported interface any more, or a transfer that found
// its node gone), closes the dead connection as soon as no job uses it, and
// connects again once a keyboard of the same model is back, sending nothing
// but the version query. A keyboard of another model is reported, not taken.

#include "talvik/shell/CKeyboardLink.h"

#include <string>

namespace talvik::shell {

class CKeyboardWatch {
public:
    enum class EChange {
        None,
        Gone,       // the keyboard went away
        Back,       // a keyboard of the same model is connected again
        OtherModel, // a keyboard of another model is there; nothing was opened
    };
    struct SChange {
        EChange change = EChange::None;
        // Back: its version text is the one the keyboard that went gave, so
        // it is taken to be the same keyboard, holding what it held.
        bool sameKeyboard = false;
        int model = 0; // OtherModel: the model that appeared
    };

    explicit CKeyboardWatch(CKeyboardLink& link) : m_link(link) {}

    // After the window's first connection: the model it runs for, and the
    // version text that connection gave.
    void start(int model);
    // One look at the keyboard: one search for it, and a connection when it
    // is back.
    SChange check();
    bool gone() const { return m_gone; }
    // Not gone, and no transfer has found the keyboard gone since the last look.
    bool connected() const { return !m_gone && !lost(); }
    // The user stays with the configuration shown: `model` is not reported
    // again until it has gone.
    void keepOldModel(int model) { m_declinedModel = model; }

private:
    // Whether the link says a transfer found the keyboard gone.
    bool lost() const { return m_link.connected && !m_link.connected(); }
    // Closes the connection unless a job uses it; true once closed.
    bool closeWhenIdle();
    bool whenIdle(const std::function<void()>& step);

    CKeyboardLink& m_link;
    int m_model = 0;
    std::wstring m_version;
    bool m_gone = false;
    bool m_closePending = false;
    int m_declinedModel = 0;
};

} // namespace talvik::shell
