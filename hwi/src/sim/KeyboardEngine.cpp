#include "sim/KeyboardEngine.h"

#include <algorithm>

namespace talvik::hwi::sim {

namespace {

constexpr std::size_t kMacroHeaderSize = 11;
constexpr std::size_t kMacroDataPerBlock = kPayloadSize - kMacroHeaderSize; // 53
constexpr std::uint8_t kFirstMacroType = 2;
constexpr std::uint8_t kLastMacroType = 4;
constexpr std::uint8_t kEndOfFileRecord = 0x01;

Payload filledPayload(std::uint8_t value) {
    Payload payload;
    payload.fill(value);
    return payload;
}

} // namespace

int slotOfRecord(std::span<const std::uint8_t> payload) {
    int layer = payload[2];
    int key = payload[3];
    if (layer < 1 || layer > kLayerCount || key < 1 || key > kKeyCount) {
        return -1;
    }
    return slotOf(layer - 1, key);
}

std::size_t macroBlockCount(std::span<const std::uint8_t> payload) {
    std::size_t dataLength = payload[9] * std::size_t{256} + payload[10];
    return std::max<std::size_t>(1, (dataLength + kMacroDataPerBlock - 1) / kMacroDataPerBlock);
}

CSimulatedKeyboard::CSimulatedKeyboard(int model, CKeyboardMemory& memory)
    : m_model(model), m_memory(memory) {}

CEngineResult CSimulatedKeyboard::receive(std::span<const std::uint8_t> report) {
    CEngineResult result;
    if (report.size() != kReportSize || report[0] != 0x00) {
        ++m_stats.ignoredReports;
        return result;
    }
    Payload payload;
    std::copy(report.begin() + 1, report.end(), payload.begin());

    // The end-of-light frame is the one frame that does not start with 00.
    if (payload[0] == cmd::kEndLight && payload[1] == cmd::kEndLight) {
        if (m_session == Session::Light) {
            m_session = Session::Idle;
            result.committed = true;
        }
        return result;
    }
    if (payload[0] != 0x00) {
        ++m_stats.ignoredReports;
        return result;
    }
    switch (payload[1]) {
    case cmd::kBeginKeys:
        beginKeys();
        break;
    case cmd::kKeyRecord:
        keyRecord(payload);
        break;
    case cmd::kEndKeys:
        endKeys(result);
        break;
    case cmd::kRequestKeys:
        replyKeys(result);
        break;
    case cmd::kBeginLight:
        dropPendingMacro();
        m_session = Session::Light;
        m_lightOffset = 0;
        break;
    case cmd::kLightChunk:
        lightChunk(payload);
        break;
    case cmd::kRequestLight:
        replyArea(cmd::kLightChunk, m_memory.light, result);
        break;
    case cmd::kRequestCounters:
        advanceCounters(m_memory);
        replyArea(cmd::kRequestCounters, counterArea(m_memory), result);
        break;
    case cmd::kRequestVersion:
        replyVersion(result);
        break;
    case cmd::kFirmwareRecord:
        firmwareRecord(payload, result);
        break;
    default:
        ++m_stats.ignoredReports;
        break;
    }
    return result;
}

void CSimulatedKeyboard::beginKeys() {
    dropPendingMacro();
    m_session = Session::Keys;
}

void CSimulatedKeyboard::keyRecord(const Payload& payload) {
    if (m_session != Session::Keys) {
        ++m_stats.rejectedKeyRecords;
        return;
    }
    if (m_pendingSlot >= 0) {
        // Further blocks of a macro repeat its header; a block with another
        // header means the macro was cut short and this is a new record.
        if (std::equal(payload.begin(), payload.begin() + 5, m_pending.begin())) {
            m_pending.insert(m_pending.end(), payload.begin(), payload.end());
            if (m_pending.size() == m_pendingBlocks * kPayloadSize) {
                m_memory.keys[static_cast<std::size_t>(m_pendingSlot)] = std::move(m_pending);
                m_pending.clear();
                m_pendingSlot = -1;
            }
            return;
        }
        dropPendingMacro();
    }
    startKeyRecord(payload);
}

void CSimulatedKeyboard::startKeyRecord(const Payload& payload) {
    int slot = slotOfRecord(payload);
    std::uint8_t type = payload[4];
    if (slot < 0 || type > kLastMacroType) {
        ++m_stats.rejectedKeyRecords;
        return;
    }
    std::vector<std::uint8_t> record(payload.begin(), payload.end());
    std::size_t blocks = type >= kFirstMacroType ? macroBlockCount(payload) : 1;
    if (blocks == 1) {
        m_memory.keys[static_cast<std::size_t>(slot)] = std::move(record);
        return;
    }
    m_pendingSlot = slot;
    m_pendingBlocks = blocks;
    m_pending = std::move(record);
}

void CSimulatedKeyboard::dropPendingMacro() {
    if (m_pendingSlot >= 0) {
        ++m_stats.rejectedKeyRecords;
    }
    m_pendingSlot = -1;
    m_pending.clear();
}

void CSimulatedKeyboard::endKeys(CEngineResult& result) {
    if (m_session != Session::Keys) {
        ++m_stats.ignoredReports;
        return;
    }
    dropPendingMacro();
    m_session = Session::Idle;
    result.committed = true;
}

void CSimulatedKeyboard::lightChunk(const Payload& payload) {
    if (m_session != Session::Light) {
        ++m_stats.ignoredLightChunks;
        return;
    }
    // A chunk never carries more than its frame holds, and the area is never
    // written past its end, whatever the length byte claims.
    std::size_t length = std::min<std::size_t>(payload[2], kChunkDataMax);
    if (m_lightOffset < m_memory.light.size()) {
        std::size_t fits = std::min(length, m_memory.light.size() - m_lightOffset);
        std::copy_n(payload.begin() + 3, fits,
                    m_memory.light.begin() + static_cast<std::ptrdiff_t>(m_lightOffset));
    }
    m_lightOffset += length;
}

void CSimulatedKeyboard::firmwareRecord(const Payload& payload, CEngineResult& result) {
    CFirmwareStats& firmware = m_memory.firmware;
    ++firmware.records;
    std::span<const std::uint8_t> record(payload.begin() + 2, payload.end());
    if (!firmwareRecordValid(record)) {
        ++firmware.badRecords;
        firmware.currentImageBad = true;
        if (firmware.recentBad.size() == kRecentBadRecords) {
            firmware.recentBad.erase(firmware.recentBad.begin());
        }
        firmware.recentBad.push_back({firmware.records, {record.begin(), record.end()}});
        return;
    }
    if (record[3] == kEndOfFileRecord) {
        if (!firmware.currentImageBad) {
            ++firmware.completedImages;
        }
        firmware.currentImageBad = false;
        result.committed = true;
    }
}

void CSimulatedKeyboard::replyKeys(CEngineResult& result) const {
    for (const auto& record : m_memory.keys) {
        for (std::size_t at = 0; at + kPayloadSize <= record.size(); at += kPayloadSize) {
            Payload block;
            std::copy_n(record.begin() + static_cast<std::ptrdiff_t>(at), kPayloadSize,
                        block.begin());
            result.replies.push_back(block);
        }
    }
    result.replies.push_back(filledPayload(cmd::kEndKeys));
}

void CSimulatedKeyboard::replyArea(std::uint8_t chunkCode, std::span<const std::uint8_t> area,
                                   CEngineResult& result) const {
    for (std::size_t offset = 0; offset < area.size(); offset += kChunkDataMax) {
        std::size_t length = std::min(kChunkDataMax, area.size() - offset);
        Payload chunk{};
        chunk[1] = chunkCode;
        chunk[2] = static_cast<std::uint8_t>(length);
        std::copy_n(area.begin() + static_cast<std::ptrdiff_t>(offset), length, chunk.begin() + 3);
        result.replies.push_back(chunk);
    }
    result.replies.push_back(filledPayload(cmd::kEndLight));
}

void CSimulatedKeyboard::replyVersion(CEngineResult& result) const {
    Payload reply{};
    reply[1] = cmd::kRequestVersion;
    std::string text = versionText(m_model, m_memory);
    std::copy_n(text.begin(), std::min(text.size(), kVersionTextSize), reply.begin() + 2);
    result.replies.push_back(reply);
}

} // namespace talvik::hwi::sim
