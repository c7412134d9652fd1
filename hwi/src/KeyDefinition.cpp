// Wire records of the key definition family.

#include "KeyDefinition.h"

#include "Protocol.h"

#include <algorithm>
#include <cstring>

using namespace talvik::hwi;

namespace {

constexpr std::uint8_t kTimedEventMarker = 0xC8; // second byte of every timed event
constexpr int kMaxDataLength = 0xFFFF;           // D travels in 16 bits

void putBigEndian16(unsigned char* at, int value) {
    at[0] = static_cast<unsigned char>((value >> 8) & 0xFF);
    at[1] = static_cast<unsigned char>(value & 0xFF);
}

int bigEndian16(const unsigned char* at) {
    return at[0] * 256 + at[1];
}

// Sizes and clears the output the way every single-record kind does. False
// when only the size was asked for or the output cannot hold a record.
bool beginSingleRecord(unsigned char* out, int blockSize, int* length) {
    if (length == nullptr) {
        return false;
    }
    if (out == nullptr) {
        *length = blockSize;
        return false;
    }
    if (*length < blockSize || blockSize < kBlockSize) {
        return false;
    }
    std::memset(out, 0, static_cast<std::size_t>(*length));
    return true;
}

// Writes n (the codes that fit between `at` and the end of the block) and the
// low bytes of the codes.
void putCodes(unsigned char* out, int countAt, int codesAt, int blockSize,
              const std::vector<int>& codes) {
    int fit = std::min(static_cast<int>(codes.size()), blockSize - codesAt);
    out[countAt] = static_cast<unsigned char>(fit);
    for (int i = 0; i < fit; ++i) {
        out[codesAt + i] = static_cast<unsigned char>(codes[static_cast<std::size_t>(i)] & 0xFF);
    }
}

// Reads n at `countAt` and that many codes, never past the received bytes.
std::vector<int> takeCodes(const unsigned char* in, int countAt, int codesAt, int length) {
    if (length <= codesAt) {
        return {};
    }
    int count = std::min<int>(in[countAt], length - codesAt);
    return std::vector<int>(in + codesAt, in + codesAt + count);
}

} // namespace

void CKeyDefine::writeHeader(unsigned char* out) const {
    out[0] = 0x00;
    out[rec::kCode] = cmd::kKeyRecord;
    out[rec::kLayer] = static_cast<unsigned char>(m_layer);
    out[rec::kKey] = static_cast<unsigned char>(m_key);
    out[rec::kType] = static_cast<unsigned char>(m_type);
}

bool CNormalKeyDefine::encode(unsigned char* out, int blockSize, int* length) const {
    if (!beginSingleRecord(out, blockSize, length)) {
        return false;
    }
    writeHeader(out);
    putCodes(out, rec::kNormalCount, rec::kNormalCodes, blockSize, m_keyCodes);
    return true;
}

bool CNormalKeyDefine::decode(const unsigned char* in, int, int length) {
    m_keyCodes = takeCodes(in, rec::kNormalCount, rec::kNormalCodes, length);
    return true;
}

bool CContinousKeyDefine::encode(unsigned char* out, int blockSize, int* length) const {
    if (!beginSingleRecord(out, blockSize, length)) {
        return false;
    }
    writeHeader(out);
    // An empty continuous definition goes out with its interval zeroed too,
    // so that it matches the empty record byte for byte.
    if (!m_keyCodes.empty()) {
        putBigEndian16(out + rec::kContinuousInterval, m_interval);
        putCodes(out, rec::kContinuousCount, rec::kContinuousCodes, blockSize, m_keyCodes);
    }
    return true;
}

bool CContinousKeyDefine::decode(const unsigned char* in, int, int length) {
    if (length <= rec::kContinuousCount) {
        m_interval = 0;
        m_keyCodes.clear();
        return true;
    }
    m_interval = bigEndian16(in + rec::kContinuousInterval);
    m_keyCodes = takeCodes(in, rec::kContinuousCount, rec::kContinuousCodes, length);
    return true;
}

void CMacroKeyDefine::resizeEvents(int count) {
    auto size = static_cast<std::size_t>(std::max(count, 0));
    m_keyCodes.resize(size, 0);
    m_delays.resize(size, 0);
}

std::vector<std::uint8_t> CMacroKeyDefine::eventData() const {
    std::vector<std::uint8_t> data;
    int events = eventCount();
    if (m_timingMode == 1) {
        // D must stay within its 16 bits, so a record never lies about its length.
        events = std::min(events, kMaxDataLength / 4);
        data.reserve(static_cast<std::size_t>(events) * 4);
        for (int i = 0; i < events; ++i) {
            auto at = static_cast<std::size_t>(i);
            int delay = m_delays[at];
            data.push_back(static_cast<std::uint8_t>(m_keyCodes[at] & 0xFF));
            data.push_back(kTimedEventMarker);
            data.push_back(static_cast<std::uint8_t>((delay >> 8) & 0xFF));
            data.push_back(static_cast<std::uint8_t>(delay & 0xFF));
        }
    } else {
        events = std::min(events, kMaxDataLength);
        for (int i = 0; i < events; ++i) {
            data.push_back(
                static_cast<std::uint8_t>(m_keyCodes[static_cast<std::size_t>(i)] & 0xFF));
        }
    }
    return data;
}

bool CMacroKeyDefine::encode(unsigned char* out, int blockSize, int* length) const {
    if (length == nullptr || blockSize <= kMacroHeaderSize) {
        return false;
    }
    const int perBlock = blockSize - kMacroHeaderSize;
    std::vector<std::uint8_t> data = eventData();
    const int dataLength = static_cast<int>(data.size());
    const int blocks = (dataLength + perBlock - 1) / perBlock;
    if (out == nullptr) {
        *length = blocks * blockSize;
        return false;
    }
    if (*length < blocks * blockSize) {
        return false;
    }
    std::memset(out, 0, static_cast<std::size_t>(*length));
    for (int b = 0; b < blocks; ++b) {
        unsigned char* block =
            out + static_cast<std::size_t>(b) * static_cast<std::size_t>(blockSize);
        writeHeader(block);
        block[rec::kMacroCycles] = static_cast<unsigned char>(m_cycles & 0xFF);
        block[rec::kMacroTiming] = static_cast<unsigned char>(m_timingMode & 0xFF);
        putBigEndian16(block + rec::kMacroInterval, m_interval);
        putBigEndian16(block + rec::kMacroLength, dataLength);
        int from = b * perBlock;
        int piece = std::min(perBlock, dataLength - from);
        std::memcpy(block + kMacroHeaderSize, data.data() + from, static_cast<std::size_t>(piece));
    }
    return true;
}

bool CMacroKeyDefine::decode(const unsigned char* in, int blockSize, int length) {
    if (length <= rec::kMacroLength + 1 || blockSize <= kMacroHeaderSize) {
        resizeEvents(0);
        return true;
    }
    m_cycles = in[rec::kMacroCycles];
    m_timingMode = in[rec::kMacroTiming];
    m_interval = bigEndian16(in + rec::kMacroInterval);
    const int dataLength = bigEndian16(in + rec::kMacroLength);

    // Gather the data bytes of every block that arrived, no more than D.
    const int perBlock = blockSize - kMacroHeaderSize;
    std::vector<std::uint8_t> data;
    data.reserve(static_cast<std::size_t>(dataLength));
    for (int at = 0; at + kMacroHeaderSize < length && static_cast<int>(data.size()) < dataLength;
         at += blockSize) {
        int piece = std::min(
            {perBlock, dataLength - static_cast<int>(data.size()), length - at - kMacroHeaderSize});
        data.insert(data.end(), in + at + kMacroHeaderSize, in + at + kMacroHeaderSize + piece);
    }
    const int have = static_cast<int>(data.size());

    if (m_timingMode == 1) {
        // The last event of a timed macro carries no delay; an empty
        // macro has no events at all (D - 1 would make it one).
        int events = have == 0 ? 0 : (have - 1) / 4 + 1;
        resizeEvents(events);
        for (int i = 0; i < events; ++i) {
            auto at = static_cast<std::size_t>(i) * 4;
            m_keyCodes[static_cast<std::size_t>(i)] = data[at];
            bool last = i == events - 1;
            m_delays[static_cast<std::size_t>(i)] = last ? 0 : data[at + 2] * 256 + data[at + 3];
        }
    } else {
        resizeEvents(have);
        std::copy(data.begin(), data.end(), m_keyCodes.begin());
    }
    return true;
}

namespace talvik::hwi {

std::unique_ptr<CKeyDefine> createKeyDefine(int key, int layer, int type) {
    switch (type) {
    case kTypeNormal:
        return std::make_unique<CNormalKeyDefine>(key, layer);
    case kTypeContinuous:
        return std::make_unique<CContinousKeyDefine>(key, layer);
    case kTypeMacroFirst:
    case kTypeMacroFirst + 1:
    case kTypeMacroLast:
        return std::make_unique<CMacroKeyDefine>(key, layer, type);
    default:
        return nullptr;
    }
}

} // namespace talvik::hwi
