// Arbitrary bytes loaded as a profile: whatever the file holds, the load must end with
// a model the rest of the program can use (or the model unchanged), never a crash.
#include "talvik/model/CAppState.h"
#include "talvik/profile/Profile.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <unistd.h>

using namespace talvik::profile;

using namespace talvik::model;

namespace {

CAppState& state() {
    static std::unique_ptr<CAppState> instance = [] {
        auto created = std::make_unique<CAppState>(CDeviceEnvironment::withoutDevices());
        created->buildNameTables();
        created->modelNumber = 1;
        created->resetToDefaults();
        return created;
    }();
    return *instance;
}

// The file each input is written to; removed when the fuzzer exits.
struct SScratchFile {
    std::string path = "/tmp/fuzz_profile_load." + std::to_string(::getpid());
    ~SScratchFile() { std::remove(path.c_str()); }
};

const std::string& scratchFile() {
    static const SScratchFile file;
    return file.path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::FILE* file = std::fopen(scratchFile().c_str(), "wb");
    if (file == nullptr) {
        return 0;
    }
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    CAppState& model = state();
    loadProfile(model, scratchFile());
    for (int key = 0; key < kKeyRows; ++key) {
        for (int level = 0; level < kLayerCount; ++level) {
            int mode = static_cast<int>(model.keyConfig.Mode[key][level]);
            if (mode < 0 || mode > static_cast<int>(KeyMode::Power)) {
                __builtin_trap();
            }
        }
    }
    return 0;
}
