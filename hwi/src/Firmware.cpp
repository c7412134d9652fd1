#include "Firmware.h"

#include "Frames.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace talvik::hwi {

namespace {

constexpr int kRecordOverhead = 5; // count, address (2), type, checksum

int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

// One line without its ':' as a checked record; empty when it is damaged.
std::optional<std::vector<std::uint8_t>> parseRecord(std::string_view digits) {
    if (digits.size() % 2 != 0 || digits.size() / 2 > kFirmwareRecordMax) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> record;
    record.reserve(digits.size() / 2);
    unsigned sum = 0;
    for (std::size_t i = 0; i < digits.size(); i += 2) {
        int high = hexDigit(digits[i]);
        int low = hexDigit(digits[i + 1]);
        if (high < 0 || low < 0) {
            return std::nullopt;
        }
        record.push_back(static_cast<std::uint8_t>(high << 4 | low));
        sum += record.back();
    }
    if (record.size() < kRecordOverhead ||
        record[0] + kRecordOverhead != static_cast<int>(record.size()) || sum % 256 != 0) {
        return std::nullopt;
    }
    return record;
}

} // namespace

std::optional<CFirmwareImage> parseFirmwareImage(const char* text, int length) {
    if (text == nullptr || length <= 0 || text[0] != ':') {
        return std::nullopt;
    }
    std::string_view all(text, ::strnlen(text, static_cast<std::size_t>(length)));
    CFirmwareImage image;
    image.lines = static_cast<int>(std::count(all.begin(), all.end(), '\r'));

    std::size_t at = 0;
    while (at < all.size()) {
        std::size_t end = std::min(all.find('\r', at), all.size());
        std::string_view line = all.substr(at, end - at);
        if (line.empty()) {
            break; // an empty line ends the image
        }
        if (line[0] != ':') {
            return std::nullopt;
        }
        auto record = parseRecord(line.substr(1));
        if (!record) {
            return std::nullopt;
        }
        image.records.push_back(std::move(*record));
        at = end + 1;
        if (at < all.size() && all[at] == '\n') {
            ++at;
        }
    }
    return image;
}

bool sendFirmwareImage(CKeyboardUtil& util, const CFirmwareImage& image, HWND window) {
    // A text without any CR is a single line: counting it as one keeps the
    // division defined. A last line without CR could carry the count past
    // the end of the scale; the scale's end caps it.
    const long long lines = std::max(image.lines, 1);
    long long sent = 0;
    int shown = 0;
    for (const auto& record : image.records) {
        Payload frame{};
        frame[1] = cmd::kFirmwareRecord;
        std::copy(record.begin(), record.end(), frame.begin() + 2);
        if (!sendFrame(util, payloadFrame(frame))) {
            return false;
        }
        sent += kFirmwareProgressEnd;
        int percent = static_cast<int>(std::min<long long>(sent / lines, kFirmwareProgressEnd));
        if (percent > shown) {
            PostMessageW(window, WM_TALVIK_PROGRESS, static_cast<WPARAM>(percent), 0);
            shown = percent;
        }
    }
    return true;
}

} // namespace talvik::hwi
