#pragma once

// What every command of talvikctl works with: the language, where data and
// messages go, and how progress is shown.

#include "talvik/model/Forward.h"
#include "talvik/text/Language.h"

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace talvik::ctl {

// The exit status of talvikctl: 0 only when the command did all it was asked.
enum ExitStatus : int {
    kExitOk = 0,
    kExitFailed = 1,     // the keyboard did not answer, or did not take everything
    kExitUsage = 2,      // the command line is wrong
    kExitNoKeyboard = 3, // no supported keyboard, or it cannot be opened
    kExitRefused = 4,    // a file that cannot be read, written or used: nothing was sent
};

struct CCtlContext {
    text::Language language = text::Language::English;
    std::FILE* out = stdout;  // data
    std::FILE* err = stderr;  // messages and progress
    bool progressBar = false; // err is a terminal: redraw a bar in place
    int waitSeconds = 0;      // how long to wait for a keyboard to appear
    // The application state of the command that runs, with its keyboard
    // connection: made afresh by each run of a command, and kept after it
    // ends, so that the caller can tell whether the keyboard went away.
    mutable std::shared_ptr<model::CAppState> session;

    // One message line on err, prefixed with the program's name.
    void say(std::string_view text) const;
    // A new application state for the command, in `session`.
    model::CAppState& newSession() const;
    // Whether the last command's keyboard went away while it ran.
    bool keyboardWentAway() const;
};

// Finds the keyboard (waiting up to waitSeconds for one to appear), connects
// to it and sets the state's model number and factory configuration. On
// failure says why and returns the exit status; kExitOk once connected.
int connectKeyboard(const CCtlContext& context, model::CAppState& state);

} // namespace talvik::ctl
