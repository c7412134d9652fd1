#pragma once

// Misbehaviour the simulated keyboard can be told to show, so that the
// program's handling of a bad keyboard can be tried without one.
//
// TALVIK_SIMULATOR_FAULT is a comma-separated list of faults, each a name
// and, for some, ":N" with N a decimal count:
//   silent[:N]     answer the first N reports (default 0), then read and drop
//                  everything without answering or acting on it
//   disconnect:N   serve N reports, then close the connection
//   replug:N       once, after the N-th report of a connection, go away for
//                  kReplugAwayMs and come back, as a keyboard that resets and
//                  enumerates again; later connections are served as usual
//   stray[:N]      put N unrelated reports (default 1) before every answer
//   oversize       give every light and counter chunk the length byte 0xFF
//   overflow       add one extra full chunk after the light area and the
//                  counters, before their end marker
//   short-macro    leave out the last block of every macro that spans more
//                  than one block when answering a key definition request
// Reports are counted per connection, from the program to the keyboard.
// Unknown names and bad counts are reported on stderr and left out.

#include "Frames.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace talvik::hwi::sim {

// How long a replugging keyboard stays away.
inline constexpr int kReplugAwayMs = 1500;

struct CFaultPlan {
    std::optional<std::uint64_t> silentAfter;
    std::optional<std::uint64_t> disconnectAfter;
    std::optional<std::uint64_t> replugAfter;
    unsigned strayReplies = 0;
    bool oversizeChunks = false;
    bool overflowAreas = false;
    bool shortMacros = false;

    bool any() const {
        return silentAfter || disconnectAfter || replugAfter || strayReplies > 0 || oversizeChunks ||
               overflowAreas || shortMacros;
    }
};

// Parses the list; every problem found adds one line to `problems`.
CFaultPlan parseFaults(std::string_view text, std::vector<std::string>& problems);

// The replies as the faulty keyboard sends them: `request` is payload[1] of
// the report that was answered.
std::vector<Payload> applyReplyFaults(const CFaultPlan& plan, std::uint8_t request,
                                      std::vector<Payload> replies);

} // namespace talvik::hwi::sim
