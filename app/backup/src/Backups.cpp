#include "talvik/backup/Backups.h"
#include "talvik/backup/StampedFiles.h"

#include "talvik/profile/Profile.h"

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <system_error>

namespace talvik::backup {
namespace fs = std::filesystem;
namespace {

const char* partsSuffix(SBackupParts parts) {
    if (parts.keys && parts.lights) {
        return "keys-lights.pro";
    }
    return parts.keys ? "keys.pro" : "lights.pro";
}

std::optional<SBackupParts> partsOf(std::string_view kind) {
    if (kind == "keys.pro") {
        return SBackupParts{true, false};
    }
    if (kind == "lights.pro") {
        return SBackupParts{false, true};
    }
    if (kind == "keys-lights.pro") {
        return SBackupParts{true, true};
    }
    return std::nullopt;
}

bool isBackupKind(std::string_view kind) {
    return partsOf(kind).has_value();
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

} // namespace

std::string backupsFolder() {
    return dataFolder("backups");
}

std::string backupFileName(std::chrono::system_clock::time_point time, int sequence,
                           int modelNumber, SBackupParts parts) {
    return stampedFileName(time, sequence, modelNumber, partsSuffix(parts));
}

std::optional<SBackupInfo> parseBackupFileName(std::string_view name) {
    const std::optional<SStampedName> stamped = parseStampedFileName(name);
    if (!stamped) {
        return std::nullopt;
    }
    const std::optional<SBackupParts> parts = partsOf(stamped->kind);
    if (!parts) {
        return std::nullopt;
    }
    SBackupInfo info;
    info.modelNumber = stamped->modelNumber;
    info.parts = *parts;
    info.time = stamped->time;
    info.sequence = stamped->sequence;
    info.fileName = std::string(name);
    return info;
}

std::vector<SBackupInfo> listBackups(const std::string& folder) {
    std::vector<SBackupInfo> backups;
    for (SStampedFile& file : listStampedFiles(folder, isBackupKind)) {
        SBackupInfo info;
        info.path = std::move(file.path);
        info.fileName = fs::path(info.path).filename().string();
        info.modelNumber = file.modelNumber;
        info.time = file.time;
        info.sequence = file.sequence;
        info.parts = *partsOf(file.kind);
        backups.push_back(std::move(info));
    }
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
    const std::optional<std::string> path =
        reserveStampedFile(folder, now, modelNumber, partsSuffix(parts), isBackupKind, reason);
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
    return removeAllBut(listStampedFiles(folder, isBackupKind), keep);
}

} // namespace talvik::backup
