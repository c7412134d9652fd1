#pragma once

// Files that Talvik keeps in its data folder under names that say when they
// were made and for which model:
//
//     20250314T093005Z-00-model2-<kind>
//
// the time in UTC (so that names sort by time in every time zone and across
// clock changes), a number that tells apart files of the same second and the
// model 1..4. The backups and the kept counter reads both use this form.

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace talvik::backup {

// The years a stamp may name: the system clock counts nanoseconds from 1970,
// which ends in 2262, so a later year would overflow it.
inline constexpr int kFirstYear = 1970;
inline constexpr int kLastYear = 2200;

// "$XDG_DATA_HOME/talvik/<name>", or "~/.local/share/talvik/<name>" when
// XDG_DATA_HOME is unset, empty or not an absolute path. The folder need not
// exist yet.
std::string dataFolder(std::string_view name);

struct SStampedName {
    std::chrono::system_clock::time_point time; // to the second
    int sequence = 0;                           // within that second
    int modelNumber = 0;
    std::string_view kind; // what follows "-modelN-", a view into the parsed name
};

// The name of a file made at `time` (cut to the second).
std::string stampedFileName(std::chrono::system_clock::time_point time, int sequence,
                            int modelNumber, std::string_view kind);
// What a name says; none for a name of another form. `kind` is not checked.
std::optional<SStampedName> parseStampedFileName(std::string_view fileName);

// A stamped file found in a folder.
struct SStampedFile {
    std::string path;
    std::chrono::system_clock::time_point time;
    int sequence = 0;
    int modelNumber = 0;
    std::string kind;
};

// The regular files of `folder` with stamped names whose kind `accept` takes,
// newest first (by time, then by number); empty when the folder is missing.
std::vector<SStampedFile>
listStampedFiles(const std::string& folder,
                 const std::function<bool(std::string_view kind)>& accept);
// Removes all but the first `keep` of `newestFirst`; the number removed.
std::size_t removeAllBut(const std::vector<SStampedFile>& newestFirst, std::size_t keep);

// Creates the next free name of second `now` in `folder` with an exclusive
// create, so that a program saving beside us never gets the same one. The
// number comes after every file of that second whose kind `sameFamily` accepts,
// whatever its model, so that names sort in the order they were made. The
// path, or none with the system's reason in `error`.
std::optional<std::string>
reserveStampedFile(const std::string& folder, std::chrono::system_clock::time_point now,
                   int modelNumber, std::string_view kind,
                   const std::function<bool(std::string_view kind)>& sameFamily,
                   std::string& error);

} // namespace talvik::backup
