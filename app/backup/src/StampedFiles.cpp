#include "talvik/backup/StampedFiles.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <pwd.h>
#include <unistd.h>

namespace talvik::backup {
namespace fs = std::filesystem;
namespace {

constexpr int kMaxSequence = 99;
// "20250314T093005Z-00-model2-"
constexpr std::size_t kKindOffset = 27;

std::string homeFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
        return home;
    }
    if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_dir != nullptr) {
        return entry->pw_dir;
    }
    return ".";
}

bool allDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int number(std::string_view digits) {
    int value = 0;
    for (char c : digits) {
        value = value * 10 + (c - '0');
    }
    return value;
}

int nextSequence(const std::string& folder, std::chrono::system_clock::time_point now,
                 const std::function<bool(std::string_view)>& sameFamily) {
    const std::chrono::system_clock::time_point second =
        std::chrono::floor<std::chrono::seconds>(now);
    int next = 0;
    for (const SStampedFile& file : listStampedFiles(folder, sameFamily)) {
        if (file.time == second) {
            next = std::max(next, file.sequence + 1);
        }
    }
    return next;
}

} // namespace

std::string dataFolder(std::string_view name) {
    const char* data = std::getenv("XDG_DATA_HOME");
    const fs::path base = (data != nullptr && data[0] == '/')
                              ? fs::path(data)
                              : fs::path(homeFolder()) / ".local" / "share";
    return (base / "talvik" / name).string();
}

std::string stampedFileName(std::chrono::system_clock::time_point time, int sequence,
                            int modelNumber, std::string_view kind) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(time);
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%dT%H%M%SZ", &utc);
    char name[48];
    std::snprintf(name, sizeof name, "%s-%02d-model%d-", stamp, sequence, modelNumber);
    return name + std::string(kind);
}

std::optional<SStampedName> parseStampedFileName(std::string_view name) {
    constexpr std::string_view kModel = "-model";
    if (name.size() <= kKindOffset || name[8] != 'T' || name[15] != 'Z' || name[16] != '-' ||
        !allDigits(name.substr(0, 8)) || !allDigits(name.substr(9, 6)) ||
        !allDigits(name.substr(17, 2)) || name.substr(19, kModel.size()) != kModel ||
        name[25] < '1' || name[25] > '4' || name[26] != '-') {
        return std::nullopt;
    }
    std::tm utc{};
    utc.tm_year = number(name.substr(0, 4)) - 1900;
    utc.tm_mon = number(name.substr(4, 2)) - 1;
    utc.tm_mday = number(name.substr(6, 2));
    utc.tm_hour = number(name.substr(9, 2));
    utc.tm_min = number(name.substr(11, 2));
    utc.tm_sec = number(name.substr(13, 2));
    if (utc.tm_year + 1900 < kFirstYear || utc.tm_year + 1900 > kLastYear || utc.tm_mon > 11 ||
        utc.tm_mday < 1 || utc.tm_mday > 31 || utc.tm_hour > 23 || utc.tm_min > 59 ||
        utc.tm_sec > 60) {
        return std::nullopt;
    }
    SStampedName stamped;
    stamped.time = std::chrono::system_clock::from_time_t(timegm(&utc));
    stamped.sequence = number(name.substr(17, 2));
    stamped.modelNumber = name[25] - '0';
    stamped.kind = name.substr(kKindOffset);
    return stamped;
}

std::vector<SStampedFile>
listStampedFiles(const std::string& folder,
                 const std::function<bool(std::string_view kind)>& accept) {
    std::vector<SStampedFile> files;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::error_code notRegular;
        if (!it->is_regular_file(notRegular)) {
            continue;
        }
        const std::string name = it->path().filename().string();
        const std::optional<SStampedName> stamped = parseStampedFileName(name);
        if (stamped && accept(stamped->kind)) {
            files.push_back({it->path().string(), stamped->time, stamped->sequence,
                             stamped->modelNumber, std::string(stamped->kind)});
        }
    }
    std::sort(files.begin(), files.end(), [](const SStampedFile& a, const SStampedFile& b) {
        return a.time != b.time ? a.time > b.time : a.sequence > b.sequence;
    });
    return files;
}

std::size_t removeAllBut(const std::vector<SStampedFile>& newestFirst, std::size_t keep) {
    std::size_t removed = 0;
    for (std::size_t i = keep; i < newestFirst.size(); ++i) {
        std::error_code error;
        if (fs::remove(newestFirst[i].path, error)) {
            ++removed;
        }
    }
    return removed;
}

std::optional<std::string>
reserveStampedFile(const std::string& folder, std::chrono::system_clock::time_point now,
                   int modelNumber, std::string_view kind,
                   const std::function<bool(std::string_view kind)>& sameFamily,
                   std::string& error) {
    for (int sequence = nextSequence(folder, now, sameFamily); sequence <= kMaxSequence;
         ++sequence) {
        const std::string path =
            (fs::path(folder) / stampedFileName(now, sequence, modelNumber, kind)).string();
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0) {
            ::close(fd);
            return path;
        }
        if (errno != EEXIST) {
            error = std::strerror(errno);
            return std::nullopt;
        }
    }
    error = std::strerror(EEXIST);
    return std::nullopt;
}

} // namespace talvik::backup
