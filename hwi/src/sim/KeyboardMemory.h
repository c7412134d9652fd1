#pragma once

// What the simulated keyboard remembers: the key definition records as they
// arrived, the light area, the press counters and what it made of the
// firmware records it was sent. One per model, shared by every connection.

#include "Protocol.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace talvik::hwi::sim {

// A firmware record whose syntax or checksum was wrong, kept so that tests
// and the curious can see what arrived.
struct CBadFirmwareRecord {
    std::uint32_t number = 0;        // 1-based among all records this keyboard received
    std::vector<std::uint8_t> bytes; // payload[2..63] as it arrived
};

struct CFirmwareStats {
    std::uint32_t records = 0;                 // every 0x3A frame received
    std::uint32_t badRecords = 0;              // of those, the ones that failed the check
    std::uint32_t completedImages = 0;         // clean images ended by an end-of-file record
    bool currentImageBad = false;              // a bad record since the last end-of-file record
    std::vector<CBadFirmwareRecord> recentBad; // the last few bad records, oldest first
};

inline constexpr std::size_t kRecentBadRecords = 16;

struct CKeyboardMemory {
    // Raw record bytes per slot, a whole number of 64-byte blocks; empty while
    // the slot has never been written.
    std::array<std::vector<std::uint8_t>, kSlotCount> keys;
    std::array<std::uint8_t, kLightAreaSize> light{};
    std::array<std::uint32_t, kKeyCount> counters{};
    std::uint32_t counterReads = 0; // how often the counters were read: drives their growth
    // Whether the user types between two reads: off, the counters stay as they are,
    // for a test that needs known counts.
    bool typing = true;
    CFirmwareStats firmware;

    // A keyboard straight from the factory: no key records, lights off, and
    // counters that look like a few weeks of typing.
    static CKeyboardMemory fresh(int model);

    friend bool operator==(const CKeyboardMemory& a, const CKeyboardMemory& b);
};

// Moves every counter on by what the user typed since the last read: each key
// by a different amount, and every key by at least one press; none while the
// user does not type.
void advanceCounters(CKeyboardMemory& memory);

// The 348-byte counter area: 87 little-endian 32-bit counters.
std::array<std::uint8_t, kCounterAreaSize> counterArea(const CKeyboardMemory& memory);

// The name the program shows for a model ("Talvik(S)BLe" for 2 and so on).
std::string modelName(int model);

// The version text the firmware reports; names the model and moves on with
// every clean image downloaded.
std::string versionText(int model, const CKeyboardMemory& memory);

// True when `record` (count, address, type, data, checksum, then anything)
// holds a whole Intel HEX record of a known type (0 to 5) whose bytes sum to
// zero modulo 256.
bool firmwareRecordValid(std::span<const std::uint8_t> record);

} // namespace talvik::hwi::sim
