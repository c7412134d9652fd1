#pragma once

// Profiles: the whole configuration model saved as one XML file (extension "pro") and
// loaded back. Both run on the user interface thread and return what happened, so the
// main window can tell the user.

#include "talvik/model/CKeyConfig.h"
#include "talvik/model/Forward.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace talvik::xml {
class CXmlDocument;
}

namespace talvik::profile {

enum class EProfileStatus {
    Ok,
    FileError,  // cannot be read, or cannot be written (details in message)
    NotXml,     // readable, but no element in it
    NotProfile, // an XML file, but not a profile
    OtherModel, // a profile for another model (its root name in message)
    TooLarge,   // larger than kMaxProfileFileBytes, refused unread (the path in message)
};

// The largest profile the program can make is 169 MB (168,595,706 bytes, written by the
// test that builds it): every key on both layers holding a macro at the recorder's limit of
// 1600 events, each event under the longest name of the key table (249 bytes, far longer
// than any key a user records), and each collection holding 100 entries of the longest
// content of its kind. With the names of real keys the same profile is about 70 MB. Beyond
// 512 MiB (3 times the one, 7 times the other) a file is no profile of ours, and taking it
// whole would only take the machine's memory (a 600 MB file needs 1.8 GB on its way to
// being found not to be XML), so it is refused before any of it is read.
inline constexpr std::size_t kMaxProfileFileBytes = std::size_t{512} * 1024 * 1024;

struct SProfileResult {
    EProfileStatus status = EProfileStatus::Ok;
    // FileError: the system's message; OtherModel: the file's root name; Ok after a load:
    // what the lenient reading had to repair or skip, characters that could not be read
    // among them, empty for a clean file.
    std::string message;
    // Ok after a load whose text was not the UTF-8 it should be (declared so, or not
    // declared at all): the legacy encoding it was read in, "GB18030" or "Windows-1252".
    // The next save writes UTF-8. Empty for a UTF-8 file.
    std::string assumedEncoding = {};

    bool ok() const { return status == EProfileStatus::Ok; }
};

// The root element name of a model's profiles (also the model's caption name).
const char16_t* profileRootName(int modelNumber);

// Writes the model to a new file beside path and renames it over path only once it is
// complete and on the disk, so a failed save never damages the profile that was there.
SProfileResult saveProfile(const model::CKeyConfig& config, int modelNumber,
                           const std::string& path);
SProfileResult saveProfile(const model::CAppState& state, const std::string& path);
// The same with a comment (UTF-8) before the root element, which loading skips.
SProfileResult saveProfile(const model::CKeyConfig& config, int modelNumber,
                           const std::string& path, std::string_view comment);

// Replaces the model from the file. The model changes only when the file is a profile of
// this model; a damaged one is read leniently, and whatever it does not supply gets the
// factory default. The press statistics are cleared to "not read" in every case.
SProfileResult loadProfile(model::CAppState& state, const std::string& path);
// The same for a profile's bytes already in memory (decoded as a file's would be); never
// FileError.
SProfileResult loadProfileBytes(model::CAppState& state, std::string bytes);

// One list as a "List" element at the document's current position, and back. loadFrom
// searches the "List" among the current parent's children.
void saveTo(const model::CActionList& list, xml::CXmlDocument& doc);
void loadFrom(model::CActionList& list, xml::CXmlDocument& doc);

} // namespace talvik::profile
