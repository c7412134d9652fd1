// Arbitrary bytes loaded as a profile: whatever the file holds, the load must end with
// a model the rest of the program can use (or the model unchanged), never a crash.
// The bytes are loaded from memory; fuzz_profile_file covers reading them from a file.
#include "FixedLocale.h"

#include "talvik/model/CAppState.h"
#include "talvik/profile/Profile.h"
#include "talvik/xml/TextCodec.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

using namespace talvik::profile;

using namespace talvik::model;

namespace {

constexpr int kModels = 4;

// One model state per keyboard model, so that a profile of any model is read as its own
// keyboard would read it: the factory codes a damaged profile falls back to differ.
CAppState& state(int model) {
    static std::array<std::unique_ptr<CAppState>, kModels> states = [] {
        std::array<std::unique_ptr<CAppState>, kModels> created;
        for (int i = 0; i < kModels; ++i) {
            created[i] = std::make_unique<CAppState>(CDeviceEnvironment::withoutDevices());
            created[i]->buildNameTables();
            created[i]->modelNumber = i + 1;
            created[i]->resetToDefaults();
        }
        return created;
    }();
    return *states[static_cast<std::size_t>(model - 1)];
}

int modelOfRoot(const std::string& root) {
    for (int model = 1; model <= kModels; ++model) {
        if (talvik::xml::toUtf8(profileRootName(model)) == root) {
            return model;
        }
    }
    return 0;
}

void checkModes(const CAppState& model) {
    for (int key = 0; key < kKeyRows; ++key) {
        for (int level = 0; level < kLayerCount; ++level) {
            int mode = static_cast<int>(model.keyConfig.Mode[key][level]);
            if (mode < 0 || mode > static_cast<int>(KeyMode::Power)) {
                __builtin_trap();
            }
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    int model = 1;
    SProfileResult result = loadProfileBytes(state(model), bytes);
    if (result.status == EProfileStatus::OtherModel) {
        model = modelOfRoot(result.message);
        if (model == 0) {
            __builtin_trap(); // another model's profile names a root no model has
        }
        result = loadProfileBytes(state(model), bytes);
    }
    if (result.status == EProfileStatus::FileError) {
        __builtin_trap(); // bytes in memory have no file to fail
    }
    if (result.ok()) {
        checkModes(state(model));
    }
    return 0;
}
