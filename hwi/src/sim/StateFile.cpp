#include "sim/StateFile.h"

#include <charconv>
#include <set>
#include <sstream>

namespace talvik::hwi::sim {

namespace {

constexpr std::string_view kHeader = "talvik-simulator-state 1";

std::optional<std::uint64_t> parseNumber(std::string_view text, std::uint64_t max) {
    std::uint64_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value > max) {
        return std::nullopt;
    }
    return value;
}

std::vector<std::string_view> words(std::string_view line) {
    std::vector<std::string_view> result;
    std::size_t at = 0;
    while (at < line.size()) {
        std::size_t start = line.find_first_not_of(" \t\r", at);
        if (start == std::string_view::npos) {
            break;
        }
        std::size_t end = line.find_first_of(" \t\r", start);
        end = end == std::string_view::npos ? line.size() : end;
        result.push_back(line.substr(start, end - start));
        at = end;
    }
    return result;
}

// Reads one line of a model's section into `memory`; the error text when it
// is damaged.
std::string parseSectionLine(const std::vector<std::string_view>& w, CKeyboardMemory& memory) {
    std::string_view kind = w[0];
    if (kind == "light") {
        auto bytes = w.size() == 2 ? fromHex(w[1]) : std::nullopt;
        if (!bytes || bytes->size() != memory.light.size()) {
            return "light needs 522 hex digits";
        }
        std::copy(bytes->begin(), bytes->end(), memory.light.begin());
    } else if (kind == "counters") {
        if (w.size() != memory.counters.size() + 1) {
            return "counters needs 87 numbers";
        }
        for (std::size_t i = 0; i < memory.counters.size(); ++i) {
            auto value = parseNumber(w[i + 1], UINT32_MAX);
            if (!value) {
                return "counter is not a 32-bit number";
            }
            memory.counters[i] = static_cast<std::uint32_t>(*value);
        }
    } else if (kind == "counter-reads") {
        auto value = w.size() == 2 ? parseNumber(w[1], UINT32_MAX) : std::nullopt;
        if (!value) {
            return "counter-reads needs one number";
        }
        memory.counterReads = static_cast<std::uint32_t>(*value);
    } else if (kind == "typing") {
        if (w.size() != 2 || (w[1] != "on" && w[1] != "off")) {
            return "typing needs on or off";
        }
        memory.typing = w[1] == "on";
    } else if (kind == "firmware") {
        std::optional<std::uint64_t> values[3];
        for (std::size_t i = 0; i < 3 && w.size() == 4; ++i) {
            values[i] = parseNumber(w[i + 1], UINT32_MAX);
        }
        if (!values[0] || !values[1] || !values[2]) {
            return "firmware needs three numbers";
        }
        memory.firmware.records = static_cast<std::uint32_t>(*values[0]);
        memory.firmware.badRecords = static_cast<std::uint32_t>(*values[1]);
        memory.firmware.completedImages = static_cast<std::uint32_t>(*values[2]);
    } else if (kind == "slot") {
        auto slot = w.size() == 3 ? parseNumber(w[1], kSlotCount - 1) : std::nullopt;
        auto bytes = slot ? fromHex(w[2]) : std::nullopt;
        if (!bytes || bytes->empty() || bytes->size() % kPayloadSize != 0) {
            return "slot needs a number and whole 64-byte blocks";
        }
        // Every block must name the slot it is filed under.
        for (std::size_t at = 0; at < bytes->size(); at += kPayloadSize) {
            const std::uint8_t* block = bytes->data() + at;
            if (block[0] != 0x00 || block[1] != cmd::kKeyRecord ||
                slotOf(block[2] - 1, block[3]) != static_cast<int>(*slot) || block[2] < 1 ||
                block[2] > kLayerCount || block[3] < 1 || block[3] > kKeyCount) {
                return "slot record does not belong to its slot";
            }
        }
        memory.keys[*slot] = std::move(*bytes);
    } else {
        return "unknown line \"" + std::string(kind) + "\"";
    }
    return {};
}

} // namespace

std::string toHex(std::span<const std::uint8_t> bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    text.reserve(bytes.size() * 2);
    for (std::uint8_t b : bytes) {
        text += kDigits[b >> 4];
        text += kDigits[b & 0x0F];
    }
    return text;
}

std::optional<std::vector<std::uint8_t>> fromHex(std::string_view text) {
    if (text.size() % 2 != 0) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes(text.size() / 2);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        auto [end, error] =
            std::from_chars(text.data() + 2 * i, text.data() + 2 * i + 2, bytes[i], 16);
        if (error != std::errc() || end != text.data() + 2 * i + 2) {
            return std::nullopt;
        }
    }
    return bytes;
}

std::string formatState(const CMemoryMap& memories) {
    std::ostringstream out;
    out << kHeader << "\n";
    for (const auto& [model, memory] : memories) {
        out << "model " << model << "\n";
        out << "light " << toHex(memory.light) << "\n";
        out << "counters";
        for (auto counter : memory.counters) {
            out << ' ' << counter;
        }
        out << "\ncounter-reads " << memory.counterReads << "\n";
        if (!memory.typing) {
            out << "typing off\n";
        }
        out << "firmware " << memory.firmware.records << ' ' << memory.firmware.badRecords << ' '
            << memory.firmware.completedImages << "\n";
        for (std::size_t slot = 0; slot < memory.keys.size(); ++slot) {
            if (!memory.keys[slot].empty()) {
                out << "slot " << slot << ' ' << toHex(memory.keys[slot]) << "\n";
            }
        }
    }
    return out.str();
}

std::optional<CMemoryMap> parseState(std::string_view text, std::string& error) {
    CMemoryMap memories;
    CKeyboardMemory* current = nullptr;
    std::set<std::string> seen; // the lines of the current section
    bool headerSeen = false;
    int lineNumber = 0;
    while (!text.empty()) {
        auto newline = text.find('\n');
        std::string_view line = text.substr(0, newline);
        text = newline == std::string_view::npos ? std::string_view{} : text.substr(newline + 1);
        ++lineNumber;
        auto w = words(line);
        if (w.empty() || w[0].front() == '#') {
            continue;
        }
        std::string problem;
        if (!headerSeen) {
            headerSeen = w.size() == 2 && w[0] == "talvik-simulator-state" && w[1] == "1";
            problem = headerSeen ? "" : "not a simulator state file";
        } else if (w[0] == "model") {
            auto model = w.size() == 2 ? parseNumber(w[1], 4) : std::nullopt;
            if (!model || *model < 1 || memories.count(static_cast<int>(*model)) != 0) {
                problem = "model needs a new number 1 to 4";
            } else {
                int number = static_cast<int>(*model);
                current = &memories.emplace(number, CKeyboardMemory::fresh(number)).first->second;
                seen.clear();
            }
        } else if (current == nullptr) {
            problem = "line before the first model";
        } else if (!seen.insert(std::string(w[0]) +
                                (w[0] == "slot" && w.size() > 1 ? std::string(w[1]) : ""))
                        .second) {
            problem = "repeated line";
        } else {
            problem = parseSectionLine(w, *current);
        }
        if (!problem.empty()) {
            error = "line " + std::to_string(lineNumber) + ": " + problem;
            return std::nullopt;
        }
    }
    // A file with nothing in it yet (made with touch, say) is a fresh start.
    return memories;
}

} // namespace talvik::hwi::sim
