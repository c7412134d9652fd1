#pragma once

// Building the command frames and running the request/reply loop. Every
// transfer sends and receives through these few functions.

#include "KeyboardUtil.h"
#include "Protocol.h"

#include <array>
#include <cstdint>
#include <functional>
#include <span>

namespace talvik::hwi {

using Report = std::array<std::uint8_t, kReportSize>;   // [0] report ID, then the payload
using Payload = std::array<std::uint8_t, kPayloadSize>; // what a read hands back

// 00 code, rest 00 (the report ID byte is 00 as well).
Report commandFrame(std::uint8_t code);
// 00, then 63 bytes F6.
Report endOfKeysFrame();
// 64 bytes E6.
Report endOfLightFrame();
// The report that carries `payload` (at most 64 bytes, the rest stays 00).
Report payloadFrame(std::span<const std::uint8_t> payload);

// writeReport of one whole frame.
bool sendFrame(CKeyboardUtil& util, const Report& frame);
// readReport with the standard time-out; true when 64 payload bytes arrived.
bool receivePayload(CKeyboardUtil& util, Payload& payload);

// What a reading loop does after one reply.
enum class ReplyAction {
    Continue, // consumed or skipped: read the next report
    Finish,   // the end marker: the operation succeeded
    Fail,     // the handler's own reads failed: the operation failed
};
using ReplyHandler = std::function<ReplyAction(const Payload&)>;

// The most replies one request may bring before the keyboard counts as
// babbling. An answer is at most 174 key records (a macro's further blocks
// are read by the handler) or six area chunks, plus the odd stray report; a
// keyboard that streams reports without ever sending its end marker must
// fail the transfer, not hold it for ever.
inline constexpr int kMaxRepliesPerRequest = 4096;

// Sends the request frame `request` and hands every reply to `onReply` until
// it says Finish (true) or Fail (false), or a send or read fails (false), or
// kMaxRepliesPerRequest replies came without an end (false).
bool requestAndRead(CKeyboardUtil& util, std::uint8_t request, const ReplyHandler& onReply);

} // namespace talvik::hwi
