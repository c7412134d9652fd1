#pragma once

// Records and frames as the library would send them, for driving the
// simulated keyboard in tests.

#include "Frames.h"

#include <cstdint>
#include <vector>

namespace talvik::test {

using Bytes = std::vector<std::uint8_t>;

// A type 0 record: 00 F0 layer key 00 n codes.
inline Bytes normalRecord(int layer, int key, const Bytes& codes) {
    Bytes record(64, 0);
    record[1] = 0xF0;
    record[2] = static_cast<std::uint8_t>(layer);
    record[3] = static_cast<std::uint8_t>(key);
    record[5] = static_cast<std::uint8_t>(codes.size());
    std::copy(codes.begin(), codes.end(), record.begin() + 6);
    return record;
}

// The blocks of a macro whose data (one byte or four per event) is `data`.
inline Bytes macroRecord(int layer, int key, int type, int timingMode, const Bytes& data) {
    std::size_t blocks = (data.size() + 52) / 53;
    Bytes record(64 * blocks, 0);
    for (std::size_t b = 0; b < blocks; ++b) {
        std::uint8_t* block = record.data() + 64 * b;
        const std::uint8_t header[11] = {0x00,
                                         0xF0,
                                         static_cast<std::uint8_t>(layer),
                                         static_cast<std::uint8_t>(key),
                                         static_cast<std::uint8_t>(type),
                                         1,
                                         static_cast<std::uint8_t>(timingMode),
                                         0x01,
                                         0x2C,
                                         static_cast<std::uint8_t>(data.size() >> 8),
                                         static_cast<std::uint8_t>(data.size())};
        std::copy(std::begin(header), std::end(header), block);
        std::size_t from = 53 * b;
        std::size_t count = std::min<std::size_t>(53, data.size() - from);
        std::copy_n(data.begin() + static_cast<std::ptrdiff_t>(from), count, block + 11);
    }
    return record;
}

// Counting bytes 1, 2, 3 ... as event data.
inline Bytes countingData(std::size_t length) {
    Bytes data(length);
    for (std::size_t i = 0; i < length; ++i) {
        data[i] = static_cast<std::uint8_t>(i + 1);
    }
    return data;
}

// The 64-byte pieces of a record, each as a whole report.
inline std::vector<hwi::Report> framesOf(const Bytes& record) {
    std::vector<hwi::Report> frames;
    for (std::size_t at = 0; at < record.size(); at += 64) {
        frames.push_back(hwi::payloadFrame({record.data() + at, 64}));
    }
    return frames;
}

// A light chunk frame 00 E0 n data.
inline hwi::Report lightChunkFrame(const std::uint8_t* data, std::size_t length) {
    hwi::Report frame{};
    frame[2] = 0xE0;
    frame[3] = static_cast<std::uint8_t>(length);
    std::copy_n(data, length, frame.begin() + 4);
    return frame;
}

// A firmware record frame 00 3A then the record's bytes; the checksum byte
// is made right unless `spoil` is set.
inline hwi::Report firmwareFrame(Bytes record, bool spoil = false) {
    unsigned sum = 0;
    for (auto b : record) {
        sum += b;
    }
    record.push_back(static_cast<std::uint8_t>((0x100 - (sum & 0xFF)) & 0xFF) ^
                     (spoil ? 0x01 : 0x00));
    hwi::Report frame{};
    frame[2] = 0x3A;
    std::copy(record.begin(), record.end(), frame.begin() + 3);
    return frame;
}

} // namespace talvik::test
