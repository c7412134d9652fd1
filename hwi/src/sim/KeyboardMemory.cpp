#include "sim/KeyboardMemory.h"

#include <cstdio>

namespace talvik::hwi::sim {

namespace {

// Data, end of file, and the four address records.
constexpr std::uint8_t kLastRecordType = 0x05;

// How busy a key is, 1 (rarely pressed) to 8 (pressed all day). Fixed per key
// so the busy keys stay the busy keys from one read to the next.
std::uint32_t busyness(std::size_t keyIndex) {
    std::uint32_t mixed = static_cast<std::uint32_t>(keyIndex + 1) * 2654435761u;
    return 1 + (mixed >> 28) % 8;
}

} // namespace

CKeyboardMemory CKeyboardMemory::fresh(int model) {
    CKeyboardMemory memory;
    for (std::size_t i = 0; i < memory.counters.size(); ++i) {
        auto spread =
            static_cast<std::uint32_t>((i * 7919 + static_cast<std::size_t>(model) * 131) % 997);
        memory.counters[i] = busyness(i) * 1500 + spread;
    }
    return memory;
}

bool operator==(const CKeyboardMemory& a, const CKeyboardMemory& b) {
    return a.keys == b.keys && a.light == b.light && a.counters == b.counters &&
           a.counterReads == b.counterReads && a.typing == b.typing &&
           a.firmware.records == b.firmware.records &&
           a.firmware.badRecords == b.firmware.badRecords &&
           a.firmware.completedImages == b.firmware.completedImages;
}

void advanceCounters(CKeyboardMemory& memory) {
    ++memory.counterReads;
    if (!memory.typing) {
        return;
    }
    for (std::size_t i = 0; i < memory.counters.size(); ++i) {
        auto jitter = static_cast<std::uint32_t>((i * 31 + memory.counterReads * 17) % 7);
        memory.counters[i] += busyness(i) * 3 + jitter;
    }
}

std::array<std::uint8_t, kCounterAreaSize> counterArea(const CKeyboardMemory& memory) {
    std::array<std::uint8_t, kCounterAreaSize> area{};
    for (std::size_t i = 0; i < memory.counters.size(); ++i) {
        for (std::size_t b = 0; b < 4; ++b) {
            area[i * 4 + b] = static_cast<std::uint8_t>(memory.counters[i] >> (8 * b));
        }
    }
    return area;
}

std::string modelName(int model) {
    switch (model) {
    case 2:
        return "Talvik(S)BLe";
    case 3:
        return "Talvik(S)";
    case 4:
        return "Talvik(RGB)";
    default:
        return "Talvik(RGB)BLe";
    }
}

std::string versionText(int model, const CKeyboardMemory& memory) {
    char text[kVersionTextSize + 1];
    std::snprintf(text, sizeof text, "%s V1.%02u", modelName(model).c_str(),
                  (6 + memory.firmware.completedImages) % 100);
    return text;
}

bool firmwareRecordValid(std::span<const std::uint8_t> record) {
    // count, two address bytes, type, the data, one checksum byte
    if (record.empty() || record[0] + std::size_t{5} > record.size()) {
        return false;
    }
    std::size_t length = record[0] + std::size_t{5};
    if (record[3] > kLastRecordType) {
        return false;
    }
    unsigned sum = 0;
    for (std::size_t i = 0; i < length; ++i) {
        sum += record[i];
    }
    return (sum & 0xFF) == 0;
}

} // namespace talvik::hwi::sim
