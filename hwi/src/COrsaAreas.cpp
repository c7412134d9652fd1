// The light area and the press counters of COrsa: fixed-size byte areas that
// travel in chunks of up to 61 bytes.

#include "COrsa.h"

#include "KeyboardUtil.h"

#include <algorithm>
#include <span>

using namespace talvik::hwi;

namespace {

constexpr int kChunkLength = 2; // payload[2] = n, data from payload[3]
constexpr int kChunkData = 3;

// Sends `area` in chunk frames 00 E0 n data. False at the first failed send.
bool sendChunks(CKeyboardUtil& util, std::span<const std::uint8_t> area) {
    for (std::size_t offset = 0; offset < area.size(); offset += kChunkDataMax) {
        std::size_t n = std::min(kChunkDataMax, area.size() - offset);
        Payload chunk{};
        chunk[1] = cmd::kLightChunk;
        chunk[kChunkLength] = static_cast<std::uint8_t>(n);
        std::copy_n(area.begin() + static_cast<std::ptrdiff_t>(offset), n,
                    chunk.begin() + kChunkData);
        if (!sendFrame(util, payloadFrame(chunk))) {
            return false;
        }
    }
    return true;
}

// Requests an area and fills it from the chunks carrying `chunkCode` until
// the E6 end marker. Whatever n says, a chunk never reads past its report and
// the area is never overrun: bytes beyond its end are dropped.
bool readChunks(CKeyboardUtil& util, std::uint8_t request, std::uint8_t chunkCode,
                std::span<std::uint8_t> area) {
    std::size_t offset = 0;
    return requestAndRead(util, request, [&](const Payload& reply) {
        if (reply[1] == cmd::kEndLight) {
            return ReplyAction::Finish;
        }
        if (reply[1] == chunkCode) {
            std::size_t n = std::min<std::size_t>(reply[kChunkLength], kPayloadSize - kChunkData);
            n = std::min(n, area.size() - offset);
            std::copy_n(reply.begin() + kChunkData, n,
                        area.begin() + static_cast<std::ptrdiff_t>(offset));
            offset += n;
        }
        return ReplyAction::Continue;
    });
}

} // namespace

bool COrsa::setKeyboardLightArea(const int* values) {
    if (values == nullptr) {
        return false;
    }
    // Its callers have always been told true whatever the exchange gave.
    writeLightArea(values);
    return true;
}

bool COrsa::writeLightArea(const int* values) {
    if (values == nullptr) {
        return false;
    }
    for (std::size_t i = 0; i < m_light.size(); ++i) {
        m_light[i] = static_cast<std::uint8_t>(values[i] & 0xFF);
    }
    // A failed chunk means no end frame goes out.
    return m_util != nullptr && sendFrame(*m_util, commandFrame(cmd::kBeginLight)) &&
           sendChunks(*m_util, m_light) && sendFrame(*m_util, endOfLightFrame());
}

bool COrsa::getKeyboardLightArea(int* values) const {
    if (values == nullptr) {
        return false;
    }
    std::copy(m_light.begin(), m_light.end(), values);
    return true;
}

bool COrsa::readKeyLightFromDev() {
    return m_util != nullptr && readChunks(*m_util, cmd::kRequestLight, cmd::kLightChunk, m_light);
}

bool COrsa::getPressCounterFromDev(int* counters) {
    if (counters == nullptr) {
        return false;
    }
    // Its callers have always been told true whatever the exchange gave.
    readPressCounters(counters);
    return true;
}

bool COrsa::readPressCounters(int* counters) {
    if (counters == nullptr) {
        return false;
    }
    // A failed exchange still hands out what the area holds.
    const bool read = m_util != nullptr &&
                      readChunks(*m_util, cmd::kRequestCounters, cmd::kRequestCounters, m_counters);
    for (int i = 0; i < kKeyCount; ++i) {
        auto at = static_cast<std::size_t>(i) * 4;
        std::uint32_t value = m_counters[at] | m_counters[at + 1] << 8 | m_counters[at + 2] << 16 |
                              static_cast<std::uint32_t>(m_counters[at + 3]) << 24;
        counters[i] = static_cast<int>(value);
    }
    return read;
}
