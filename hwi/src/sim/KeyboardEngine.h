#pragma once

// The firmware side of the report protocol, without any I/O: one output
// report in, the keyboard's memory updated, zero or more replies out.

#include "Frames.h"
#include "sim/KeyboardMemory.h"

#include <span>
#include <vector>

namespace talvik::hwi::sim {

struct CEngineResult {
    std::vector<Payload> replies; // 64-byte input report payloads, in order
    bool committed = false;       // a write ended with its end frame: worth saving
};

// Counts of what the engine refused, for tests and the traffic log reader.
struct CEngineStats {
    unsigned ignoredReports = 0;     // wrong size, report ID not 0, unknown command
    unsigned rejectedKeyRecords = 0; // outside a write, bad slot or type, unfinished macro
    unsigned ignoredLightChunks = 0; // outside a light write
};

// Key records take effect one by one, as each record (all blocks of a macro)
// is complete, not at the end frame: a write that breaks off leaves the
// records already sent on the keyboard, which is what the library's failure
// handling expects. Light chunks likewise land as they arrive. Records and
// chunks sent without their begin frame are refused, so a transfer that
// forgets it shows up as nothing written.
class CSimulatedKeyboard {
public:
    CSimulatedKeyboard(int model, CKeyboardMemory& memory);

    // `report` is an output report as written: the report ID byte, then the
    // payload; anything but 65 bytes with ID 0 is ignored.
    CEngineResult receive(std::span<const std::uint8_t> report);

    const CEngineStats& stats() const { return m_stats; }

private:
    enum class Session { Idle, Keys, Light };

    void beginKeys();
    void keyRecord(const Payload& payload);
    void startKeyRecord(const Payload& payload);
    void dropPendingMacro();
    void endKeys(CEngineResult& result);
    void lightChunk(const Payload& payload);
    void firmwareRecord(const Payload& payload, CEngineResult& result);
    void replyKeys(CEngineResult& result) const;
    void replyArea(std::uint8_t chunkCode, std::span<const std::uint8_t> area,
                   CEngineResult& result) const;
    void replyVersion(CEngineResult& result) const;

    int m_model;
    CKeyboardMemory& m_memory;
    CEngineStats m_stats;
    Session m_session = Session::Idle;
    std::size_t m_lightOffset = 0;
    // A macro whose later blocks are still to come.
    int m_pendingSlot = -1;
    std::size_t m_pendingBlocks = 0;
    std::vector<std::uint8_t> m_pending;
};

// The slot a record header names (payload[2] layer 1..2, payload[3] key
// 1..87), or -1 when it names none.
int slotOfRecord(std::span<const std::uint8_t> payload);

// Blocks a macro record spans by the data length in its header: (D + 52) / 53,
// but at least the one block that carries the header.
std::size_t macroBlockCount(std::span<const std::uint8_t> payload);

} // namespace talvik::hwi::sim
