#pragma once

// The small window start-up shows while it looks for the keyboard: it says so
// in both languages (nobody has chosen a language yet), counts the attempts,
// lights one keycap after the other, and lets the user quit instead of
// waiting for the search to give up.

#include "talvik/shell/CSkinWindow.h"

#include <functional>

namespace talvik::shell {

class COrsaApp;

class COrsaDialogWaitKeyboard : public CSkinWindow {
public:
    explicit COrsaDialogWaitKeyboard(COrsaApp& app, QWidget* parent = nullptr);

    // Takes the pictures from the registered skin, fills the table, scales
    // and centres the window on `screen` (empty: the primary screen). False
    // when the skin lacks the window's pictures; it must not be shown then.
    bool initialise(QSize screen = {});

    // Shows attempt `attempt` (1-based) of `total` and lights the next keycap.
    void setAttempt(int attempt, int total);

    // The Quit button, Escape or closing the window: once, then true for good.
    bool quitRequested() const { return m_quit; }
    void setQuitSink(std::function<void()> sink) { m_onQuit = std::move(sink); }

protected:
    text::Language language() const override;
    void onElementClicked(int index) override;
    void reject() override;

private:
    void requestQuit();

    COrsaApp& m_app;
    bool m_quit = false;
    std::function<void()> m_onQuit;
};

} // namespace talvik::shell
