#include "Frames.h"

#include <algorithm>

namespace talvik::hwi {

Report commandFrame(std::uint8_t code) {
    Report frame{};
    frame[2] = code; // payload[1]
    return frame;
}

Report endOfKeysFrame() {
    Report frame{};
    std::fill(frame.begin() + 2, frame.end(), cmd::kEndKeys);
    return frame;
}

Report endOfLightFrame() {
    Report frame{};
    std::fill(frame.begin() + 1, frame.end(), cmd::kEndLight);
    return frame;
}

Report payloadFrame(std::span<const std::uint8_t> payload) {
    Report frame{};
    std::copy_n(payload.begin(), std::min(payload.size(), kPayloadSize), frame.begin() + 1);
    return frame;
}

bool sendFrame(CKeyboardUtil& util, const Report& frame) {
    return util.writeReport(frame.data(), static_cast<unsigned>(frame.size()));
}

bool receivePayload(CKeyboardUtil& util, Payload& payload) {
    unsigned length = kPayloadSize;
    return util.readReport(payload.data(), &length, kReportTimeout);
}

bool requestAndRead(CKeyboardUtil& util, std::uint8_t request, const ReplyHandler& onReply) {
    if (!sendFrame(util, commandFrame(request))) {
        return false;
    }
    Payload payload{};
    for (int replies = 0; replies < kMaxRepliesPerRequest; ++replies) {
        if (!receivePayload(util, payload)) {
            return false;
        }
        switch (onReply(payload)) {
        case ReplyAction::Continue:
            break;
        case ReplyAction::Finish:
            return true;
        case ReplyAction::Fail:
            return false;
        }
    }
    return false;
}

} // namespace talvik::hwi
