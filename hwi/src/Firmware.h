#pragma once

// Firmware images: Intel HEX text, sent to the keyboard record by record.

#include "KeyboardUtil.h"

#include "talvik/hwi/WindowHandle.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace talvik::hwi {

inline constexpr int kFirmwareProgressEnd = 150; // progress runs 0..150, not 0..100

struct CFirmwareImage {
    // The decoded records in text order, count to checksum, up to the first
    // empty line.
    std::vector<std::vector<std::uint8_t>> records;
    // The number of CRs in the whole text: the progress divides by it.
    int lines = 0;
};

// Reads and checks a whole image before anything is sent: every line up to
// the first empty one (or the end) must be ':' and pairs of hexadecimal
// digits forming a record whose count matches its length, whose checksum
// holds and which fits one report. `length` bounds the text; a zero byte
// ends it earlier. Empty when the image is damaged.
std::optional<CFirmwareImage> parseFirmwareImage(const char* text, int length);

// Sends each record as 00 3A record-bytes, posting progress to `window` when
// it rises. False at the first failed send.
bool sendFirmwareImage(CKeyboardUtil& util, const CFirmwareImage& image, HWND window);

} // namespace talvik::hwi
