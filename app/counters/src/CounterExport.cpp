#include "talvik/counters/CounterExport.h"

#include "talvik/jobs/CDeviceJob.h"
#include "talvik/text/Encoding.h"
#include "talvik/text/Language.h"
#include "talvik/text/NumberedKeys.h"

#include <cstdio>

namespace talvik::counters {
namespace {

std::string shareText(const CountTable& counts, int key) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6f", shareOf(counts, key));
    return text;
}

std::string csvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        return std::string(text);
    }
    std::string quoted = "\"";
    for (char c : text) {
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    }
    return quoted + '"';
}

std::string jsonKey(const CountTable& counts, int key) {
    if (key < 1) {
        return "null";
    }
    return "{\"key\":" + std::to_string(key) +
           ",\"name\":" + text::jsonString(text::numberedKeyName(key)) +
           ",\"presses\":" + std::to_string(counts[static_cast<std::size_t>(key)]) +
           ",\"share\":" + shareText(counts, key) + "}";
}

} // namespace

std::int64_t totalPresses(const CountTable& counts) {
    std::int64_t total = 0;
    for (int key = 1; key <= model::kKeyCount; ++key) {
        total += std::max(0, counts[static_cast<std::size_t>(key)]);
    }
    return total;
}

double shareOf(const CountTable& counts, int key) {
    const std::int64_t total = totalPresses(counts);
    const int count =
        key >= 1 && key <= model::kKeyCount ? counts[static_cast<std::size_t>(key)] : 0;
    return total > 0 && count > 0 ? static_cast<double>(count) / static_cast<double>(total) : 0.0;
}

std::string countersCsv(const SCounterView& view) {
    std::string out = "key,name,count,share\n";
    for (int key = 1; key <= model::kKeyCount; ++key) {
        out += std::to_string(key) + ',' + csvField(text::numberedKeyName(key)) + ',' +
               std::to_string(view.counts[static_cast<std::size_t>(key)]) + ',' +
               shareText(view.counts, key) + '\n';
    }
    return out;
}

std::string countersJson(const SCounterView& view) {
    std::string out = "{\"model\":" + text::jsonString(text::modelName(view.modelNumber));
    out += ",\n \"since\":";
    out += view.since ? "{\"time\":" + text::jsonString(utcTimeText(view.since->time)) +
                            ",\"file\":" + text::jsonString(view.since->path) + "}"
                      : std::string("null");
    out += ",\n \"total\":" + std::to_string(totalPresses(view.counts));
    out += ",\n \"counters\":[";
    for (int key = 1; key <= model::kKeyCount; ++key) {
        out += (key > 1 ? ",\n  " : "\n  ") + jsonKey(view.counts, key);
    }
    const jobs::CPressStatistics statistics = jobs::pressStatistics(view.counts);
    out += "],\n \"mostPressed\":" + jsonKey(view.counts, statistics.mostPressedKey) +
           ",\n \"leastPressed\":" + jsonKey(view.counts, statistics.leastPressedKey) + "}\n";
    return out;
}

} // namespace talvik::counters
