#pragma once

// The kept counter reads. Each successful read of the press counters, by
// Talvik or talvikctl, is saved as one small file in the counters folder,
// named like the backups (talvik/backup/StampedFiles.h) with the kind
// "counters.txt":
//
//     Talvik press counters 1
//     time 2025-03-14T09:30:05Z
//     model 1
//     version <the keyboard's version text>
//     counts <87 numbers, key 1 first>
//
// and the newest kKeptReads are kept. The keyboard's counters only grow; a
// counter lower than in the read before it means the keyboard was reset (or
// is another one), and the reads after that are a new series: presses "since"
// a read are only told within the series it belongs to.

#include "talvik/model/CKeyConfig.h"

#include <array>
#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace talvik::counters {

inline constexpr std::size_t kKeptReads = 1000;
// A kept read is well under a kilobyte; a larger file is not one and is not read.
inline constexpr std::size_t kMaxReadFileBytes = 16 * 1024;
inline constexpr std::string_view kReadKind = "counters.txt";

// Counts of keys 1..87 by key number, as the application state keeps them;
// [0] is unused. A negative count is one the keyboard did not give (unread,
// or beyond 2^31 - 1).
using CountTable = std::array<int, model::kKeyRows>;

struct SCounterRead {
    std::chrono::system_clock::time_point time; // to the second
    int sequence = 0;                           // within that second
    int modelNumber = 0;
    std::string version; // UTF-8, one line
    CountTable counts{};
    std::string path; // where it was loaded from or saved to
};

// "2025-03-14T09:30:05Z".
std::string utcTimeText(std::chrono::system_clock::time_point time);

// "$XDG_DATA_HOME/talvik/counters" (see backup::dataFolder).
std::string countersFolder();

// The text of a kept read, and back. parseRead accepts exactly the form above
// (with "\n" or "\r\n" line ends) and nothing else.
std::string formatRead(const SCounterRead& read);
std::optional<SCounterRead> parseRead(std::string_view text);

// One kept read; none, with the reason in `error`, for a file that is missing,
// larger than kMaxReadFileBytes (not read then) or not of the form.
std::optional<SCounterRead> loadRead(const std::string& path, std::string& error);

struct SReadSave {
    bool ok = false;
    std::string path;    // once saved
    std::string message; // the system's reason otherwise
};

// Keeps one read in `folder` (made if missing) and removes all but the
// newest kKeptReads there. `version` loses any line break.
SReadSave saveRead(const std::string& folder, int modelNumber, std::string_view version,
                   const CountTable& counts,
                   std::chrono::system_clock::time_point now = std::chrono::system_clock::now());

// Removes all but the newest `keep` reads of `folder`; the number removed.
std::size_t pruneReads(const std::string& folder, std::size_t keep = kKeptReads);

// Whether `later` can follow `earlier` on the same keyboard: no counter went down.
bool continues(const CountTable& later, const CountTable& earlier);
// The presses between two reads of one series; 0 where either count is unknown.
CountTable countsSince(const CountTable& now, const CountTable& earlier);

// The kept reads of `modelNumber` that `now` continues, newest first: loaded
// from the newest back until a read that the one after it does not continue
// (the keyboard was reset in between), at most `most` of them. Files that
// cannot be read are passed over.
std::vector<SCounterRead> loadSeries(const std::string& folder, int modelNumber,
                                     const CountTable& now, std::size_t most = kKeptReads);

// Every kept read of `modelNumber` in `folder`, newest first, without reading
// them (the name says time and model; `counts` stays empty).
std::vector<SCounterRead> listReads(const std::string& folder, int modelNumber);

} // namespace talvik::counters

namespace talvik::counters {

// What "since" an earlier read names for talvikctl: a kept read's file, or a
// local date "YYYY-MM-DD" (its midnight) or "YYYY-MM-DD HH:MM[:SS]", meaning
// the newest kept read of the model at or before it.
enum class ESince {
    Found,    // `read` is the earlier read; the presses since are now - read
    Reset,    // `read` is one the counters went down from: the view starts anew
    NotFound, // no kept read of the model at or before the date
    BadFile,  // the file is not a kept read (`error` says why) or of another model
    NotADate, // neither a file nor a date
};
struct SSinceChoice {
    ESince status = ESince::NotADate;
    std::optional<SCounterRead> read;
    std::string error;
};
SSinceChoice chooseSince(std::string_view argument, const std::string& folder, int modelNumber,
                         const CountTable& now);

// Whether `argument` is an existing file or a date in the forms above: only
// then can chooseSince find an earlier read.
bool looksLikeSince(std::string_view argument);

// A local date or date and time in the forms above; none for anything else.
std::optional<std::chrono::system_clock::time_point> parseLocalDate(std::string_view text);

} // namespace talvik::counters
