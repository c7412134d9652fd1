// The key definition table of COrsa and its transfer to and from the keyboard.

#include "COrsa.h"

#include "KeyboardUtil.h"

#include <algorithm>
#include <span>
#include <vector>

using namespace talvik::hwi;

namespace {

bool validSlot(int layerIndex, int key) {
    return layerIndex >= 0 && layerIndex < kLayerCount && key >= 1 && key <= kKeyCount;
}

void postProgress(HWND window, int slot) {
    if (window != 0) {
        PostMessageW(window, WM_TALVIK_PROGRESS, static_cast<WPARAM>(slot), 0);
    }
}

// Sizes, encodes and sends one definition, 64 bytes per report. A macro
// without events needs no bytes and sends nothing.
bool sendDefinition(CKeyboardUtil& util, const CKeyDefine& define) {
    int size = 0;
    define.encode(nullptr, kBlockSize, &size);
    if (size <= 0) {
        return true;
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    if (!define.encode(bytes.data(), kBlockSize, &size)) {
        return false;
    }
    for (std::size_t at = 0; at < bytes.size(); at += kPayloadSize) {
        std::span<const std::uint8_t> piece(bytes.data() + at,
                                            std::min(kPayloadSize, bytes.size() - at));
        if (!sendFrame(util, payloadFrame(piece))) {
            return false;
        }
    }
    return true;
}

} // namespace

COrsa::COrsa(COrsaUtil* util) : m_util(util) {}

COrsa::~COrsa() = default;

bool COrsa::setKeyConfiguration(int layer, int key, const int* def, int count) {
    if (!validSlot(layer, key)) {
        return false;
    }
    auto define = keyDefineFromArray(layer, key, def, count);
    if (!define) {
        return false;
    }
    m_table[static_cast<std::size_t>(slotOf(layer, key))] = std::move(define);
    return true;
}

bool COrsa::getKeyConfiguration(int layer, int key, int* out, int capacity) const {
    if (!validSlot(layer, key) || out == nullptr) {
        return false;
    }
    const CKeyDefine* define = slot(slotOf(layer, key));
    if (define == nullptr) {
        if (capacity < 2) {
            return false;
        }
        out[0] = 0;
        out[1] = 0;
        return true;
    }
    return keyDefineToArray(*define, out, capacity);
}

bool COrsa::prepare() {
    for (auto& definition : m_table) {
        definition.reset();
    }
    return true;
}

const CKeyDefine* COrsa::slot(int slot) const {
    if (slot < 0 || slot >= kSlotCount) {
        return nullptr;
    }
    return m_table[static_cast<std::size_t>(slot)].get();
}

bool COrsa::writeSlot(int slot) {
    const CKeyDefine* define = m_table[static_cast<std::size_t>(slot)].get();
    if (define != nullptr) {
        return sendDefinition(*m_util, *define);
    }
    // An empty slot goes out as a normal record without codes, so that the
    // keyboard forgets what it held there.
    return sendDefinition(*m_util, CNormalKeyDefine(slot % kKeyCount + 1, slot / kKeyCount + 1));
}

bool COrsa::writeKeyConfigurationToDev(HWND window) {
    if (m_util == nullptr || !sendFrame(*m_util, commandFrame(cmd::kBeginKeys))) {
        return false;
    }
    for (int s = 0; s < kSlotCount; ++s) {
        if (!writeSlot(s)) {
            return false;
        }
        postProgress(window, s);
    }
    return sendFrame(*m_util, endOfKeysFrame());
}

ReplyAction COrsa::takeKeyRecord(const Payload& first, HWND window) {
    const int layer = first[rec::kLayer];
    const int key = first[rec::kKey];
    const int type = first[rec::kType];
    if (!validSlot(layer - 1, key) || type > kTypeMacroLast) {
        return ReplyAction::Continue; // cannot be placed: skip it
    }

    // A macro longer than one block brings its further blocks in the next
    // reports, whatever their codes.
    std::vector<std::uint8_t> record(first.begin(), first.end());
    if (type >= kTypeMacroFirst) {
        int dataLength = first[rec::kMacroLength] * 256 + first[rec::kMacroLength + 1];
        Payload more{};
        for (int block = 1; block < macroBlocksFor(dataLength); ++block) {
            if (!receivePayload(*m_util, more)) {
                return ReplyAction::Fail; // the slot keeps what it held
            }
            record.insert(record.end(), more.begin(), more.end());
        }
    }

    auto define = createKeyDefine(key, layer, type);
    define->decode(record.data(), kBlockSize, static_cast<int>(record.size()));
    const int s = slotOf(layer - 1, key);
    m_table[static_cast<std::size_t>(s)] = std::move(define);
    postProgress(window, s);
    return ReplyAction::Continue;
}

bool COrsa::readKeyDefinationFromDev(HWND window) {
    if (m_util == nullptr) {
        return false;
    }
    return requestAndRead(*m_util, cmd::kRequestKeys, [&](const Payload& reply) {
        if (reply[0] == cmd::kEndKeys) {
            return ReplyAction::Finish;
        }
        if (reply[rec::kCode] == cmd::kKeyRecord) {
            return takeKeyRecord(reply, window);
        }
        return ReplyAction::Continue;
    });
}
