#pragma once

// Command and reply codes of the keyboard's report protocol. Both the library
// and the simulated keyboard speak from this one table.

#include <cstddef>
#include <cstdint>

namespace talvik::hwi {

inline constexpr std::size_t kReportSize = 65;  // report ID byte + payload
inline constexpr std::size_t kPayloadSize = 64; // payload[i] is report byte i + 1

namespace cmd {
inline constexpr std::uint8_t kBeginKeys = 0xF1;    // begin writing key definitions
inline constexpr std::uint8_t kKeyRecord = 0xF0;    // one key definition record or block
inline constexpr std::uint8_t kEndKeys = 0xF6;      // end of key definitions
inline constexpr std::uint8_t kRequestKeys = 0xF2;  // request all key definitions
inline constexpr std::uint8_t kBeginLight = 0xE1;   // begin writing the light area
inline constexpr std::uint8_t kLightChunk = 0xE0;   // one chunk of the light area
inline constexpr std::uint8_t kEndLight = 0xE6;     // end of light area (and of counters)
inline constexpr std::uint8_t kRequestLight = 0xE2; // request the light area
inline constexpr std::uint8_t kRequestCounters =
    0xE3; // request the press counters; also the counter chunk code
inline constexpr std::uint8_t kRequestVersion = 0xF9; // request the firmware version text
inline constexpr std::uint8_t kFirmwareRecord = 0x3A; // one firmware image record (":")
} // namespace cmd

inline constexpr int kKeyCount = 87;
inline constexpr int kLayerCount = 2;
inline constexpr int kSlotCount = kKeyCount * kLayerCount; // 174
inline constexpr std::size_t kLightAreaSize = 261;         // 87 keys x R, G, B
inline constexpr std::size_t kCounterAreaSize = 348;       // 87 little-endian 32-bit counters
inline constexpr std::size_t kChunkDataMax = 61;           // data bytes in one E0/E3 chunk
inline constexpr std::size_t kVersionTextSize = 62;        // payload[2..63] of the version reply
inline constexpr std::size_t kFirmwareRecordMax = 62;      // record bytes in one 3A frame

// Slot of a layer index (0, 1) and key number (1..87).
constexpr int slotOf(int layerIndex, int key) {
    return layerIndex * kKeyCount + key - 1;
}

} // namespace talvik::hwi
