#include "talvik/counters/CounterHistory.h"

#include "talvik/backup/StampedFiles.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace talvik::counters {
namespace fs = std::filesystem;
namespace {

constexpr std::string_view kFirstLine = "Talvik press counters 1";

// "2025-03-14T09:30:05Z", exactly.
std::optional<std::chrono::system_clock::time_point> parseUtc(std::string_view text) {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    char tail = 0;
    if (text.size() != 20) {
        return std::nullopt;
    }
    const std::string copy(text);
    if (std::sscanf(copy.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d%c", &year, &month, &day, &hour, &minute,
                    &second, &tail) != 7 ||
        tail != 'Z' || copy[4] != '-' || copy[7] != '-' || copy[10] != 'T' || month < 1 ||
        month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59 || second > 60 ||
        year < backup::kFirstYear || year > backup::kLastYear) {
        return std::nullopt;
    }
    std::tm utc{};
    utc.tm_year = year - 1900;
    utc.tm_mon = month - 1;
    utc.tm_mday = day;
    utc.tm_hour = hour;
    utc.tm_min = minute;
    utc.tm_sec = second;
    return std::chrono::system_clock::from_time_t(timegm(&utc));
}

// The next line of `text` without its end ("\n" or "\r\n"); false at the end.
bool nextLine(std::string_view& text, std::string_view& line) {
    if (text.empty()) {
        return false;
    }
    const std::size_t end = text.find('\n');
    line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    return true;
}

// The value after "`name` " on the next line.
std::optional<std::string_view> field(std::string_view& text, std::string_view name) {
    std::string_view line;
    if (!nextLine(text, line) || !line.starts_with(name) || line.size() <= name.size() ||
        line[name.size()] != ' ') {
        return std::nullopt;
    }
    return line.substr(name.size() + 1);
}

bool parseCounts(std::string_view text, CountTable& counts) {
    counts = {};
    const char* at = text.data();
    const char* end = text.data() + text.size();
    for (int key = 1; key <= model::kKeyCount; ++key) {
        if (key > 1) {
            if (at == end || *at != ' ') {
                return false;
            }
            ++at;
        }
        const auto [next, error] = std::from_chars(at, end, counts[static_cast<std::size_t>(key)]);
        if (error != std::errc() || next == at) {
            return false;
        }
        at = next;
    }
    return at == end;
}

std::string oneLine(std::string_view text) {
    std::string line;
    for (char c : text) {
        line += (c == '\n' || c == '\r') ? ' ' : c;
    }
    return line;
}

bool isReadKind(std::string_view kind) {
    return kind == kReadKind;
}

// The kept reads' files of a model (0: of every model), newest first.
std::vector<backup::SStampedFile> listFiles(const std::string& folder, int modelNumber) {
    std::vector<backup::SStampedFile> files = backup::listStampedFiles(folder, isReadKind);
    if (modelNumber != 0) {
        std::erase_if(files, [modelNumber](const backup::SStampedFile& file) {
            return file.modelNumber != modelNumber;
        });
    }
    return files;
}

} // namespace

std::string utcTimeText(std::chrono::system_clock::time_point time) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(time);
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

std::string countersFolder() {
    return backup::dataFolder("counters");
}

std::string formatRead(const SCounterRead& read) {
    std::string text(kFirstLine);
    text += "\ntime " + utcTimeText(read.time);
    text += "\nmodel " + std::to_string(read.modelNumber);
    text += "\nversion " + oneLine(read.version);
    text += "\ncounts";
    for (int key = 1; key <= model::kKeyCount; ++key) {
        text += ' ' + std::to_string(read.counts[static_cast<std::size_t>(key)]);
    }
    return text + '\n';
}

std::optional<SCounterRead> parseRead(std::string_view text) {
    std::string_view line;
    if (!nextLine(text, line) || line != kFirstLine) {
        return std::nullopt;
    }
    SCounterRead read;
    const std::optional<std::string_view> time = field(text, "time");
    const std::optional<std::chrono::system_clock::time_point> when =
        time ? parseUtc(*time) : std::nullopt;
    if (!when) {
        return std::nullopt;
    }
    read.time = *when;
    const std::optional<std::string_view> model = field(text, "model");
    if (!model || model->size() != 1 || (*model)[0] < '1' || (*model)[0] > '4') {
        return std::nullopt;
    }
    read.modelNumber = (*model)[0] - '0';
    // The version may be empty: "version " and nothing after it.
    if (!nextLine(text, line) || !line.starts_with("version ")) {
        return std::nullopt;
    }
    read.version = std::string(line.substr(8));
    const std::optional<std::string_view> counts = field(text, "counts");
    if (!counts || !parseCounts(*counts, read.counts)) {
        return std::nullopt;
    }
    // Nothing may follow but the last line's end.
    if (nextLine(text, line)) {
        return std::nullopt;
    }
    return read;
}

std::optional<SCounterRead> loadRead(const std::string& path, std::string& error) {
    std::error_code code;
    const std::uintmax_t size = fs::file_size(path, code);
    if (code) {
        error = code.message();
        return std::nullopt;
    }
    if (size > kMaxReadFileBytes) {
        error = "larger than " + std::to_string(kMaxReadFileBytes) + " bytes";
        return std::nullopt;
    }
    std::ifstream file(path, std::ios::binary);
    std::string text(static_cast<std::size_t>(size), '\0');
    if (!file || !file.read(text.data(), static_cast<std::streamsize>(text.size()))) {
        error = "cannot be read";
        return std::nullopt;
    }
    std::optional<SCounterRead> read = parseRead(text);
    if (!read) {
        error = "not a kept counter read";
        return std::nullopt;
    }
    read->path = path;
    if (const std::optional<backup::SStampedName> stamped =
            backup::parseStampedFileName(fs::path(path).filename().string())) {
        read->sequence = stamped->sequence;
    }
    return read;
}

SReadSave saveRead(const std::string& folder, int modelNumber, std::string_view version,
                   const CountTable& counts, std::chrono::system_clock::time_point now) {
    std::error_code error;
    fs::create_directories(folder, error);
    if (error) {
        return {false, {}, error.message()};
    }
    std::string reason;
    const std::optional<std::string> path =
        backup::reserveStampedFile(folder, now, modelNumber, kReadKind, isReadKind, reason);
    if (!path) {
        return {false, {}, reason};
    }
    SCounterRead read;
    read.time = std::chrono::floor<std::chrono::seconds>(now);
    read.modelNumber = modelNumber;
    read.version = std::string(version);
    read.counts = counts;
    const std::string text = formatRead(read);
    {
        std::ofstream file(*path, std::ios::binary | std::ios::trunc);
        file.write(text.data(), static_cast<std::streamsize>(text.size()));
        file.close();
        if (!file) {
            fs::remove(*path, error);
            return {false, {}, "the file could not be written"};
        }
    }
    pruneReads(folder);
    return {true, *path, {}};
}

std::size_t pruneReads(const std::string& folder, std::size_t keep) {
    return backup::removeAllBut(listFiles(folder, 0), keep);
}

bool continues(const CountTable& later, const CountTable& earlier) {
    for (int key = 1; key <= model::kKeyCount; ++key) {
        const int after = later[static_cast<std::size_t>(key)];
        const int before = earlier[static_cast<std::size_t>(key)];
        if (after >= 0 && before >= 0 && after < before) {
            return false;
        }
    }
    return true;
}

CountTable countsSince(const CountTable& now, const CountTable& earlier) {
    CountTable since{};
    for (std::size_t key = 1; key < since.size(); ++key) {
        since[key] = now[key] >= 0 && earlier[key] >= 0 && now[key] > earlier[key]
                         ? now[key] - earlier[key]
                         : 0;
    }
    return since;
}

std::vector<SCounterRead> loadSeries(const std::string& folder, int modelNumber,
                                     const CountTable& now, std::size_t most) {
    std::vector<SCounterRead> series;
    CountTable later = now;
    for (const backup::SStampedFile& file : listFiles(folder, modelNumber)) {
        if (series.size() >= most) {
            break;
        }
        std::string error;
        std::optional<SCounterRead> read = loadRead(file.path, error);
        if (!read || read->modelNumber != modelNumber) {
            continue;
        }
        if (!continues(later, read->counts)) {
            break;
        }
        later = read->counts;
        series.push_back(std::move(*read));
    }
    return series;
}

std::vector<SCounterRead> listReads(const std::string& folder, int modelNumber) {
    std::vector<SCounterRead> reads;
    for (const backup::SStampedFile& file : listFiles(folder, modelNumber)) {
        SCounterRead read;
        read.time = file.time;
        read.sequence = file.sequence;
        read.modelNumber = file.modelNumber;
        read.path = file.path;
        reads.push_back(std::move(read));
    }
    return reads;
}

} // namespace talvik::counters

namespace talvik::counters {

std::optional<std::chrono::system_clock::time_point> parseLocalDate(std::string_view text) {
    if (text.size() != 10 && text.size() != 16 && text.size() != 19) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const bool digit = c >= '0' && c <= '9';
        const bool separatorHere = i == 4 || i == 7 || i == 10 || i == 13 || i == 16;
        if (separatorHere ? digit : !digit) {
            return std::nullopt;
        }
    }
    if (text[4] != '-' || text[7] != '-' ||
        (text.size() > 10 && text[10] != ' ' && text[10] != 'T') ||
        (text.size() > 13 && text[13] != ':') || (text.size() > 16 && text[16] != ':')) {
        return std::nullopt;
    }
    const auto number = [text](std::size_t at, std::size_t length) {
        int value = 0;
        for (std::size_t i = at; i < at + length; ++i) {
            value = value * 10 + (text[i] - '0');
        }
        return value;
    };
    std::tm local{};
    local.tm_year = number(0, 4) - 1900;
    local.tm_mon = number(5, 2) - 1;
    local.tm_mday = number(8, 2);
    local.tm_hour = text.size() > 10 ? number(11, 2) : 0;
    local.tm_min = text.size() > 10 ? number(14, 2) : 0;
    local.tm_sec = text.size() > 16 ? number(17, 2) : 0;
    local.tm_isdst = -1;
    if (local.tm_year + 1900 < backup::kFirstYear || local.tm_year + 1900 > backup::kLastYear ||
        local.tm_mon < 0 || local.tm_mon > 11 || local.tm_mday < 1 || local.tm_mday > 31 ||
        local.tm_hour > 23 || local.tm_min > 59 || local.tm_sec > 59) {
        return std::nullopt;
    }
    const std::time_t seconds = std::mktime(&local);
    if (seconds == static_cast<std::time_t>(-1)) {
        return std::nullopt;
    }
    return std::chrono::system_clock::from_time_t(seconds);
}

bool looksLikeSince(std::string_view argument) {
    std::error_code code;
    return fs::is_regular_file(std::string(argument), code) || parseLocalDate(argument).has_value();
}

SSinceChoice chooseSince(std::string_view argument, const std::string& folder, int modelNumber,
                         const CountTable& now) {
    SSinceChoice choice;
    const std::string path(argument);
    std::error_code code;
    if (fs::is_regular_file(path, code)) {
        choice.read = loadRead(path, choice.error);
        if (!choice.read || choice.read->modelNumber != modelNumber) {
            choice.status = ESince::BadFile;
            choice.read.reset();
            return choice;
        }
        choice.status = continues(now, choice.read->counts) ? ESince::Found : ESince::Reset;
        return choice;
    }
    const std::optional<std::chrono::system_clock::time_point> date = parseLocalDate(argument);
    if (!date) {
        return choice;
    }
    for (SCounterRead& read : loadSeries(folder, modelNumber, now)) {
        if (read.time <= *date) {
            choice.status = ESince::Found;
            choice.read = std::move(read);
            return choice;
        }
    }
    // Not in the series that goes on to now: a kept read before the reset.
    for (const SCounterRead& listed : listReads(folder, modelNumber)) {
        if (listed.time <= *date) {
            choice.status = ESince::Reset;
            choice.read = loadRead(listed.path, choice.error);
            return choice;
        }
    }
    choice.status = ESince::NotFound;
    return choice;
}

} // namespace talvik::counters
