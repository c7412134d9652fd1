#include "sim/Faults.h"

#include "sim/KeyboardEngine.h"

#include <algorithm>

#include <charconv>

namespace talvik::hwi::sim {

namespace {

constexpr std::uint8_t kStrayFill = 0x5A;
constexpr std::uint8_t kStrayCode = 0x5A; // a reply code no reader knows
constexpr std::uint8_t kOverflowFill = 0xA5;
constexpr std::uint8_t kOversizeLength = 0xFF;

std::string_view trimmed(std::string_view text) {
    auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

std::optional<std::uint64_t> parseCount(std::string_view text) {
    std::uint64_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

bool applyFault(CFaultPlan& plan, std::string_view name, std::optional<std::uint64_t> count,
                bool hasCount) {
    if (name == "silent") {
        plan.silentAfter = hasCount ? *count : 0;
    } else if (name == "disconnect" && hasCount) {
        plan.disconnectAfter = *count;
    } else if (name == "replug" && hasCount) {
        plan.replugAfter = *count;
    } else if (name == "stray") {
        plan.strayReplies =
            hasCount ? static_cast<unsigned>(std::min<std::uint64_t>(*count, 1000)) : 1;
    } else if (name == "oversize" && !hasCount) {
        plan.oversizeChunks = true;
    } else if (name == "overflow" && !hasCount) {
        plan.overflowAreas = true;
    } else if (name == "short-macro" && !hasCount) {
        plan.shortMacros = true;
    } else {
        return false;
    }
    return true;
}

// A report the request did not ask for. Inside a light or counter read it is
// the other area's chunk, the case readers most easily get wrong.
Payload strayFor(std::uint8_t request) {
    Payload stray;
    stray.fill(kStrayFill);
    stray[0] = 0x00;
    stray[1] = kStrayCode;
    if (request == cmd::kRequestLight || request == cmd::kRequestCounters) {
        stray[1] = request == cmd::kRequestLight ? cmd::kRequestCounters : cmd::kLightChunk;
        stray[2] = static_cast<std::uint8_t>(kChunkDataMax);
    }
    return stray;
}

bool isChunk(const Payload& reply) {
    return reply[0] == 0x00 && (reply[1] == cmd::kLightChunk || reply[1] == cmd::kRequestCounters);
}

// Drops the last block of each macro of several blocks; the reader then takes
// the next record, or the end marker, as that block.
void shortenMacros(std::vector<Payload>& replies) {
    for (std::size_t i = 0; i < replies.size(); ++i) {
        const Payload& reply = replies[i];
        bool macro =
            reply[0] == 0x00 && reply[1] == cmd::kKeyRecord && reply[4] >= 2 && reply[4] <= 4;
        std::size_t blocks = macro ? macroBlockCount(reply) : 1;
        if (blocks > 1 && i + blocks <= replies.size()) {
            replies.erase(replies.begin() + static_cast<std::ptrdiff_t>(i + blocks - 1));
            i += blocks - 2;
        }
    }
}

} // namespace

CFaultPlan parseFaults(std::string_view text, std::vector<std::string>& problems) {
    CFaultPlan plan;
    while (!text.empty()) {
        auto comma = text.find(',');
        std::string_view item = trimmed(text.substr(0, comma));
        text = comma == std::string_view::npos ? std::string_view{} : text.substr(comma + 1);
        if (item.empty()) {
            continue;
        }
        auto colon = item.find(':');
        std::string_view name = trimmed(item.substr(0, colon));
        bool hasCount = colon != std::string_view::npos;
        auto count = hasCount ? parseCount(trimmed(item.substr(colon + 1))) : std::nullopt;
        if ((hasCount && !count) || !applyFault(plan, name, count, hasCount)) {
            problems.push_back("ignoring fault \"" + std::string(item) + "\"");
        }
    }
    return plan;
}

std::vector<Payload> applyReplyFaults(const CFaultPlan& plan, std::uint8_t request,
                                      std::vector<Payload> replies) {
    if (replies.empty()) {
        return replies;
    }
    if (plan.overflowAreas && (request == cmd::kRequestLight || request == cmd::kRequestCounters)) {
        Payload extra;
        extra.fill(kOverflowFill);
        extra[0] = 0x00;
        extra[1] = request == cmd::kRequestLight ? cmd::kLightChunk : cmd::kRequestCounters;
        extra[2] = static_cast<std::uint8_t>(kChunkDataMax);
        replies.insert(replies.end() - 1, extra);
    }
    if (plan.shortMacros && request == cmd::kRequestKeys) {
        shortenMacros(replies);
    }
    if (plan.oversizeChunks) {
        for (auto& reply : replies) {
            if (isChunk(reply)) {
                reply[2] = kOversizeLength;
            }
        }
    }
    if (plan.strayReplies > 0) {
        replies.insert(replies.begin(), plan.strayReplies, strayFor(request));
    }
    return replies;
}

} // namespace talvik::hwi::sim
