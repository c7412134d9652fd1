#pragma once

// The progress of a transfer on stderr: a bar redrawn in place on a terminal,
// plain lines ("Writing key settings: 40%") every tenth otherwise, so that a
// log file or a pipe gets a handful of readable lines instead of control
// characters.

#include "talvik/hwi/WindowHandle.h"

#include <cstdio>
#include <functional>
#include <string>

namespace talvik::ctl {

class CProgress {
public:
    // `toPercent` turns the value the library posts into 0..100.
    CProgress(std::FILE* out, bool terminal, std::string label,
              std::function<int(WPARAM)> toPercent);
    // Ends the bar's line, so a message after it starts on a line of its own.
    ~CProgress();
    CProgress(const CProgress&) = delete;
    CProgress& operator=(const CProgress&) = delete;

    // The handle to give the library: its progress messages move the bar.
    // They arrive on the thread that runs the transfer, which is ours.
    HWND window() const { return m_window; }

    void show(int percent);

    // Progress value 0..173 of a key table transfer (the slot just handled),
    // and 0..150 of a firmware download, as percent.
    static int slotPercent(WPARAM slot);
    static int firmwarePercent(WPARAM value);

private:
    std::FILE* m_out;
    bool m_terminal;
    std::string m_label;
    int m_shown = -1;
    bool m_lineOpen = false;
    HWND m_window = 0;
};

} // namespace talvik::ctl
