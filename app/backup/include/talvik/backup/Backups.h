#pragma once

// The backup folder and the backups in it. A backup is a profile like any
// other, saved before a write overwrites the keyboard's keys or backlight;
// its name says when it was saved, for which model and which of its parts
// came from the keyboard:
//
//     20250314T093005Z-00-model2-keys.pro
//
// the time in UTC (so that names sort by time in every time zone and across
// clock changes), a number that tells apart backups of the same second, the
// model 1..4, and "keys", "lights" or "keys-lights". Files whose names do
// not have this form are never listed and never removed.

#include "talvik/model/CKeyConfig.h"

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace talvik::backup {

// How many backups the folder keeps: older ones go after a successful save.
inline constexpr std::size_t kKeptBackups = 50;

// "$XDG_DATA_HOME/talvik/backups", or "~/.local/share/talvik/backups" when
// XDG_DATA_HOME is unset, empty or not an absolute path. The folder need not
// exist yet.
std::string backupsFolder();

// Which parts of a backup are what the keyboard holds (read from it, or known
// from a transfer that succeeded); the others are the program's own.
struct SBackupParts {
    bool keys = false;
    bool lights = false;
    bool operator==(const SBackupParts&) const = default;
};

struct SBackupInfo {
    std::string path;
    std::string fileName;
    int modelNumber = 0;
    std::chrono::system_clock::time_point time; // to the second
    int sequence = 0;                           // within that second
    SBackupParts parts;
};

// The file name for a backup saved at `time` (cut to the second).
std::string backupFileName(std::chrono::system_clock::time_point time, int sequence,
                           int modelNumber, SBackupParts parts);
// The backup a file name describes; none for a name of another form.
std::optional<SBackupInfo> parseBackupFileName(std::string_view fileName);

// The backups in `folder`, newest first; empty when the folder is missing.
std::vector<SBackupInfo> listBackups(const std::string& folder);

// "2025-03-14 10:30:05" in the local time zone.
std::string localTimeText(std::chrono::system_clock::time_point time);
// "keys", "lights" or "keys, lights" ("按键设置"、"背光" in Chinese).
std::string partsText(SBackupParts parts, bool chinese);

enum class EBackupSave { Saved, FolderError, FileError };

struct SBackupSaveResult {
    EBackupSave status = EBackupSave::Saved;
    std::string path;    // the backup, once saved
    std::string message; // the system's reason otherwise
    bool ok() const { return status == EBackupSave::Saved; }
};

// Saves `config` as a backup of `modelNumber` in `folder` (made if missing),
// with a comment saying which parts are the keyboard's and which are the
// program's, then removes all but the newest kKeptBackups. The name is taken
// with an exclusive create, so two savers in the same second never share it.
SBackupSaveResult saveBackup(const std::string& folder, const model::CKeyConfig& config,
                             int modelNumber, SBackupParts parts,
                             std::chrono::system_clock::time_point now =
                                 std::chrono::system_clock::now());

// Removes all but the newest `keep` backups of `folder`; the number removed.
std::size_t pruneBackups(const std::string& folder, std::size_t keep = kKeptBackups);

} // namespace talvik::backup
