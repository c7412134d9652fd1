// The file side of profiles: arbitrary bytes in a file, read as a document and loaded as a
// profile. Reading the file must give what the same bytes give from memory, and whatever
// loads must save through the atomic replace and load back clean, saving the same file
// again. Slow by nature (every run writes, syncs and renames files); fuzz_profile_load
// covers the parsing at speed.
#include "FixedLocale.h"

#include "talvik/model/CAppState.h"
#include "talvik/profile/Profile.h"
#include "talvik/xml/CXmlDocument.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

using namespace talvik::profile;

using namespace talvik::model;

namespace {

std::unique_ptr<CAppState> freshState() {
    auto created = std::make_unique<CAppState>(CDeviceEnvironment::withoutDevices());
    created->buildNameTables();
    created->modelNumber = 1;
    created->resetToDefaults();
    return created;
}

// A memory file system where there is one: the saves sync to disk, which on a real disk
// takes longer than everything else a run does.
std::string scratchFolder() {
    struct stat info {};
    return ::stat("/dev/shm", &info) == 0 && S_ISDIR(info.st_mode) ? "/dev/shm" : "/tmp";
}

// The files of one fuzzer process, removed when it exits. The saved profiles stay between
// runs, so each save also replaces an existing file.
struct SScratchFiles {
    std::string stem = scratchFolder() + "/fuzz_profile_file." + std::to_string(::getpid());
    std::string input = stem + ".in";
    std::string saved = stem + ".pro";
    std::string again = stem + ".again.pro";
    ~SScratchFiles() {
        for (const std::string* path : {&input, &saved, &again}) {
            std::remove(path->c_str());
        }
    }
};

const SScratchFiles& files() {
    static const SScratchFiles scratch;
    return scratch;
}

std::string contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void require(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const SScratchFiles& scratch = files();
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    {
        std::ofstream out(scratch.input, std::ios::binary | std::ios::trunc);
        out << bytes;
        if (!out.flush()) {
            return 0;
        }
    }

    talvik::xml::CXmlDocument fromFile;
    require(fromFile.loadFile(scratch.input));
    talvik::xml::CXmlDocument fromMemory;
    fromMemory.loadBytes(bytes);
    require(fromFile.text() == fromMemory.text() && fromFile.result() == fromMemory.result());

    static std::unique_ptr<CAppState> loaded = freshState();
    SProfileResult result = loadProfile(*loaded, scratch.input);
    require(result.status != EProfileStatus::FileError);
    if (!result.ok()) {
        return 0;
    }
    require(saveProfile(*loaded, scratch.saved).ok());
    static std::unique_ptr<CAppState> reloaded = freshState();
    SProfileResult again = loadProfile(*reloaded, scratch.saved);
    require(again.ok() && again.message.empty());
    require(saveProfile(*reloaded, scratch.again).ok());
    require(contents(scratch.saved) == contents(scratch.again));
    return 0;
}
