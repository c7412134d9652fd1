#pragma once

// One key's definition on one layer, and the two forms it travels in: the
// flat int array of setKeyConfiguration/getKeyConfiguration, and the 64-byte
// F0 records of the report protocol.
//
// Key definition arrays, by kind in [0]:
//   0 normal:     [1] n codes, [2 .. n+1] codes
//   1 continuous: [1] interval, [2] n codes, [3 .. n+2] codes
//   2 macro:      [1] play mode 0..2, [2] cycles, [3] timing mode 0/1,
//                 [4] interval, [5] n events, then
//                 timing mode 0: [6 .. n+5] codes
//                 timing mode 1: [6+2i] code of event i, [7+2i] delay after it
//
// Wire records start 00 F0 layer key type. Type 0 carries n and the codes,
// type 1 the interval (big-endian), n and the codes. Macros (types 2..4) are
// blocks of an 11-byte header (cycles, timing mode, interval, data length D,
// the last two big-endian) and 53 data bytes; only the low 8 bits of a code
// travel.

#include <cstdint>
#include <memory>
#include <vector>

namespace talvik::hwi {

inline constexpr int kBlockSize = 64;       // one record block, the payload of one report
inline constexpr int kMacroHeaderSize = 11; // repeated at the start of every macro block
inline constexpr int kTypeNormal = 0;
inline constexpr int kTypeContinuous = 1;
inline constexpr int kTypeMacroFirst = 2; // 2 + play mode
inline constexpr int kTypeMacroLast = 4;
inline constexpr int kKindMacro = 2; // kind in [0] of a macro array

// Offsets into a record, counted from payload[0].
namespace rec {
inline constexpr int kCode = 1;
inline constexpr int kLayer = 2;
inline constexpr int kKey = 3;
inline constexpr int kType = 4;
inline constexpr int kNormalCount = 5;
inline constexpr int kNormalCodes = 6;
inline constexpr int kContinuousInterval = 5; // high byte, low byte at +1
inline constexpr int kContinuousCount = 7;
inline constexpr int kContinuousCodes = 8;
inline constexpr int kMacroCycles = 5;
inline constexpr int kMacroTiming = 6;
inline constexpr int kMacroInterval = 7; // high byte, low byte at +1
inline constexpr int kMacroLength = 9;   // D, high byte, low byte at +1
} // namespace rec

// Number of 64-byte blocks a macro with D data bytes takes (0 for no data).
constexpr int macroBlocksFor(int dataLength) {
    constexpr int perBlock = kBlockSize - kMacroHeaderSize;
    return (dataLength + perBlock - 1) / perBlock;
}

} // namespace talvik::hwi

class CKeyDefine {
public:
    // key 1..87, layer 1..2 (wire numbering), type 0..4.
    CKeyDefine(int key, int layer, int type) : m_key(key), m_layer(layer), m_type(type) {}
    virtual ~CKeyDefine() = default;
    CKeyDefine(const CKeyDefine&) = delete;
    CKeyDefine& operator=(const CKeyDefine&) = delete;

    // With `out` null: stores the bytes needed on the wire in *length and
    // returns false. Otherwise clears *length bytes at `out`, writes the
    // record(s) into them and returns true. Never writes past *length.
    virtual bool encode(unsigned char* out, int blockSize, int* length) const = 0;
    // Rebuilds the contents from `length` received bytes starting at a
    // record's payload[0]; key, layer and type stay as constructed. Never
    // reads past `length`.
    virtual bool decode(const unsigned char* in, int blockSize, int length) = 0;

    int key() const { return m_key; }
    int layer() const { return m_layer; }
    int type() const { return m_type; }

protected:
    // 00 F0 layer key type at the start of a record or block.
    void writeHeader(unsigned char* out) const;

private:
    int m_key;
    int m_layer;
    int m_type;
};

// A fixed set of key codes: one key or a combination.
class CNormalKeyDefine final : public CKeyDefine {
public:
    CNormalKeyDefine(int key, int layer) : CKeyDefine(key, layer, talvik::hwi::kTypeNormal) {}
    bool encode(unsigned char* out, int blockSize, int* length) const override;
    bool decode(const unsigned char* in, int blockSize, int length) override;

    std::vector<int> m_keyCodes;
};

// Key codes repeated with an interval.
class CContinousKeyDefine final : public CKeyDefine {
public:
    CContinousKeyDefine(int key, int layer)
        : CKeyDefine(key, layer, talvik::hwi::kTypeContinuous) {}
    bool encode(unsigned char* out, int blockSize, int* length) const override;
    bool decode(const unsigned char* in, int blockSize, int length) override;

    int m_interval = 0;
    std::vector<int> m_keyCodes;
};

// A sequence of events. Timing mode 0: the interval applies between events;
// timing mode 1: each event carries its own delay. m_delays and m_keyCodes
// always have the event count as their length.
class CMacroKeyDefine final : public CKeyDefine {
public:
    // type is 2 + play mode.
    CMacroKeyDefine(int key, int layer, int type) : CKeyDefine(key, layer, type) {}
    bool encode(unsigned char* out, int blockSize, int* length) const override;
    bool decode(const unsigned char* in, int blockSize, int length) override;

    int eventCount() const { return static_cast<int>(m_keyCodes.size()); }
    void resizeEvents(int count);

    int m_timingMode = 0;
    int m_cycles = 0;
    std::vector<int> m_delays;
    std::vector<int> m_keyCodes;
    int m_interval = 0;

private:
    // The data bytes of all blocks: one per event, or code C8 delay-hi delay-lo.
    std::vector<std::uint8_t> eventData() const;
};

namespace talvik::hwi {

// A definition of the class that `type` (0..4) calls for; null above 4.
std::unique_ptr<CKeyDefine> createKeyDefine(int key, int layer, int type);

// Builds a definition from a key definition array for layer index 0/1 and key
// 1..87. `count` is how many ints the caller filled: a timing-mode-1 delay at
// or beyond it is 0. Null for a kind other than 0, 1, 2.
std::unique_ptr<CKeyDefine> keyDefineFromArray(int layerIndex, int key, const int* def, int count);

// Writes the definition as a key definition array into `out`, which holds
// `capacity` ints. A macro too long for the array is cut to the events that
// fit. False when not even the head fits.
bool keyDefineToArray(const CKeyDefine& define, int* out, int capacity);

} // namespace talvik::hwi
