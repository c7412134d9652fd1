#pragma once

// Recording a macro or an emulation sequence from the key events the keyboard
// hook forwards: which events count, what they append, and the time between
// them.

#include "talvik/model/CActionList.h"
#include "talvik/text/KeyTables.h"

#include <array>
#include <cstdint>

namespace talvik::recorder {

// A macro with a delay after every event holds at most this many items (events
// and delays together); with the uniform delay it holds only events.
inline constexpr int kMacroItemsWithDelays = 799;
inline constexpr int kMacroItemsAutoInterval = 1600;
inline constexpr int kEmulationKeys = 6;
// Delays travel to the keyboard in 16 bits.
inline constexpr int kLongestDelayMs = 65535;
// The pause a recording ends with, so a macro played in a loop does not run
// its last event into its first.
inline constexpr int kStopDelayMs = 50;

// The most items a macro may hold in the delay mode it is in.
int macroItemLimit(const model::CActionList& macro);

// One hook message as the dialog has resolved it: `vk` is the key whose state
// changed (a Shift already resolved to its side), `code` is the key code with
// the release in bit 9 (the keypad Enter press is 269).
struct HookKey {
    int code = 0;
    int vk = 0;
    bool released = false;
};

// What the previous hook message left behind for the current one. Every
// message counts, whatever became of it, so a delay runs from the previous
// keyboard message of any kind, auto-repeats and ignored releases included.
struct HookTiming {
    int elapsedMs = 0;        // whole ms since the previous message, at most kLongestDelayMs
    bool hasPrevious = false; // false for the first message after a start
    int lastCode = -1;        // code of the previous message
};

// Which keys a recording has seen go down.
using KeyDownFlags = std::array<std::uint8_t, 256>;

// Appends what a recording takes from the hook messages to the list being
// recorded. It keeps which keys are down, so a key held down (auto-repeat)
// counts once and a release whose press it never saw is not recorded.
class CActionRecorder {
public:
    enum class Target { None, Macro, Emulation };

    // The names of the recorded events come from `names`; the key flags are
    // kept in `keyIsDown`. Both must outlive the recorder.
    CActionRecorder(const talvik::text::KeyNameMap& names, KeyDownFlags& keyIsDown)
        : m_names(names), m_keyIsDown(keyIsDown) {}

    Target target() const { return m_target; }
    bool recording() const { return m_target != Target::None; }

    // Empties the list for a new recording. A macro keeps its play mode,
    // cycles, delay mode and delay; an emulation keeps its delay.
    void startMacro(model::CActionList& macro);
    void startEmulation(model::CActionList& emu);
    void stop() { m_target = Target::None; }

    // Takes one message into the list being recorded (the list that was
    // started); returns the number of items appended.
    int take(model::CActionList& list, const HookKey& key, const HookTiming& timing);

    // The pause after the last event of a finished recording with per-event
    // delays, when the limit leaves room; returns the number of items appended.
    static int appendStopDelay(model::CActionList& macro);

private:
    bool changesKeyState(const HookKey& key);
    int takeMacroEvent(model::CActionList& macro, const HookKey& key,
                       const HookTiming& timing) const;
    int takeEmulationKey(model::CActionList& emu, const HookKey& key,
                         const HookTiming& timing) const;

    const talvik::text::KeyNameMap& m_names;
    Target m_target = Target::None;
    KeyDownFlags& m_keyIsDown;
};

} // namespace talvik::recorder
