#include "talvik/backup/Backups.h"

#include "talvik/profile/Profile.h"

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

std::string homeFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
        return home;
    }
    if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_dir != nullptr) {
        return entry->pw_dir;
    }
    return ".";
}

const char* partsSuffix(SBackupParts parts) {
    if (parts.keys && parts.lights) {
        return "keys-lights";
    }
    return parts.keys ? "keys" : "lights";
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

std::string comment(SBackupParts parts, std::chrono::system_clock::time_point now) {
    std::string text = "Backup saved by Talvik on " + localTimeText(now) +
                       ", before a write to the keyboard. From the keyboard: ";
    text += partsText(parts, false);
    text += ". The program's own settings, which the keyboard does not hold or which were not "
            "read from it: ";
    if (!parts.keys) {
        text += "keys, ";
    }
    if (!parts.lights) {
        text += "backlight colours, ";
    }
    text += "the three collections.";
    return text;
}

// The number after the backups of that second, whatever their model: names then sort
// in the order they were saved.
int nextSequence(const std::string& folder, std::chrono::system_clock::time_point now) {
    const std::string second = backupFileName(now, 0, 1, {true, false}).substr(0, 16);
    int next = 0;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        const std::optional<SBackupInfo> info =
            parseBackupFileName(it->path().filename().string());
        if (info && info->fileName.starts_with(second)) {
            next = std::max(next, info->sequence + 1);
        }
    }
    return next;
}

// Takes the next name of that second with an exclusive create, so that a program
// saving beside us never gets the same one.
std::optional<std::string> reserveName(const std::string& folder,
                                       std::chrono::system_clock::time_point now, int modelNumber,
                                       SBackupParts parts, std::string& error) {
    for (int sequence = nextSequence(folder, now); sequence <= kMaxSequence; ++sequence) {
        const std::string path =
            (fs::path(folder) / backupFileName(now, sequence, modelNumber, parts)).string();
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

} // namespace

std::string backupsFolder() {
    const char* data = std::getenv("XDG_DATA_HOME");
    const fs::path base = (data != nullptr && data[0] == '/')
                              ? fs::path(data)
                              : fs::path(homeFolder()) / ".local" / "share";
    return (base / "talvik" / "backups").string();
}

std::string backupFileName(std::chrono::system_clock::time_point time, int sequence,
                           int modelNumber, SBackupParts parts) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(time);
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%dT%H%M%SZ", &utc);
    char name[96];
    std::snprintf(name, sizeof name, "%s-%02d-model%d-%s.pro", stamp, sequence, modelNumber,
                  partsSuffix(parts));
    return name;
}

std::optional<SBackupInfo> parseBackupFileName(std::string_view name) {
    // 20250314T093005Z-00-model2-keys.pro
    constexpr std::string_view kModel = "-model";
    if (name.size() < 16 + 3 + kModel.size() + 1 || name[8] != 'T' || name[15] != 'Z' ||
        name[16] != '-' || !allDigits(name.substr(0, 8)) || !allDigits(name.substr(9, 6)) ||
        !allDigits(name.substr(17, 2)) || name.substr(19, kModel.size()) != kModel) {
        return std::nullopt;
    }
    std::string_view rest = name.substr(19 + kModel.size());
    if (rest.empty() || rest[0] < '1' || rest[0] > '4' || rest.substr(1, 1) != "-") {
        return std::nullopt;
    }
    SBackupInfo info;
    info.modelNumber = rest[0] - '0';
    rest.remove_prefix(2);
    if (rest == "keys.pro") {
        info.parts = {true, false};
    } else if (rest == "lights.pro") {
        info.parts = {false, true};
    } else if (rest == "keys-lights.pro") {
        info.parts = {true, true};
    } else {
        return std::nullopt;
    }
    std::tm utc{};
    utc.tm_year = number(name.substr(0, 4)) - 1900;
    utc.tm_mon = number(name.substr(4, 2)) - 1;
    utc.tm_mday = number(name.substr(6, 2));
    utc.tm_hour = number(name.substr(9, 2));
    utc.tm_min = number(name.substr(11, 2));
    utc.tm_sec = number(name.substr(13, 2));
    if (utc.tm_mon > 11 || utc.tm_mday < 1 || utc.tm_mday > 31 || utc.tm_hour > 23 ||
        utc.tm_min > 59 || utc.tm_sec > 60) {
        return std::nullopt;
    }
    info.time = std::chrono::system_clock::from_time_t(timegm(&utc));
    info.sequence = number(name.substr(17, 2));
    info.fileName = std::string(name);
    return info;
}

std::vector<SBackupInfo> listBackups(const std::string& folder) {
    std::vector<SBackupInfo> backups;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        if (!it->is_regular_file(error)) {
            continue;
        }
        if (std::optional<SBackupInfo> info =
                parseBackupFileName(it->path().filename().string())) {
            info->path = it->path().string();
            backups.push_back(std::move(*info));
        }
    }
    std::sort(backups.begin(), backups.end(), [](const SBackupInfo& a, const SBackupInfo& b) {
        return a.time != b.time ? a.time > b.time : a.sequence > b.sequence;
    });
    return backups;
}

std::string localTimeText(std::chrono::system_clock::time_point time) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(time);
    std::tm local{};
    localtime_r(&seconds, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

std::string partsText(SBackupParts parts, bool chinese) {
    const char* keys = chinese ? "按键设置" : "keys";
    const char* lights = chinese ? "背光" : "lights";
    if (parts.keys && parts.lights) {
        return std::string(keys) + (chinese ? "、" : ", ") + lights;
    }
    return parts.keys ? keys : lights;
}

SBackupSaveResult saveBackup(const std::string& folder, const model::CKeyConfig& config,
                             int modelNumber, SBackupParts parts,
                             std::chrono::system_clock::time_point now) {
    std::error_code error;
    fs::create_directories(folder, error);
    if (error) {
        return {EBackupSave::FolderError, {}, error.message()};
    }
    std::string reason;
    const std::optional<std::string> path = reserveName(folder, now, modelNumber, parts, reason);
    if (!path) {
        return {EBackupSave::FolderError, {}, reason};
    }
    const profile::SProfileResult saved =
        profile::saveProfile(config, modelNumber, *path, comment(parts, now));
    if (!saved.ok()) {
        fs::remove(*path, error);
        return {EBackupSave::FileError, {}, saved.message};
    }
    pruneBackups(folder);
    return {EBackupSave::Saved, *path, {}};
}

std::size_t pruneBackups(const std::string& folder, std::size_t keep) {
    const std::vector<SBackupInfo> backups = listBackups(folder);
    std::size_t removed = 0;
    for (std::size_t i = keep; i < backups.size(); ++i) {
        std::error_code error;
        if (fs::remove(backups[i].path, error)) {
            ++removed;
        }
    }
    return removed;
}

} // namespace talvik::backup
