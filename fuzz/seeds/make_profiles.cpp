// Writes profiles as the program saves them, for the fuzz corpora and for talvikctl to
// send to the simulated keyboard (scripts/make-fuzz-seeds.sh runs it):
//   reset-model<N>.pro  what a reset gives on each model
//   full-model<N>.pro   every key assigned on both layers, every kind of assignment
//   heavy.pro           the shape of the benchmark's heavy profile (bench_profile.cpp), scaled
//                       down: one key's macro of 12 items instead of every key's of 799, and
//                       one entry of 3 items in each collection instead of 100 of 50
// and the same three kinds as seeds, seed-<name>.pro: the file cut to keys 1 to 3 on both
// layers and areas 1 to 3, which keeps every section, every element and, in the full
// profile, every kind of assignment. A whole profile is 37 KB or more, and inputs of that
// size slow the fuzzers from thousands of runs a second to about a hundred; the seeds stay
// near libFuzzer's default length limit of 4 KB, which the largest seed would raise.
#include "FullProfile.h"

#include "talvik/model/CAppState.h"
#include "talvik/profile/Profile.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>

using namespace talvik::model;

namespace {

constexpr int kSeedKeys = 3;

std::unique_ptr<CAppState> resetState(int model) {
    auto state = std::make_unique<CAppState>(CDeviceEnvironment::withoutDevices());
    state->buildNameTables();
    state->modelNumber = model;
    state->resetToDefaults();
    return state;
}

void makeHeavy(CKeyConfig& config) {
    CActionList macro(9);
    for (int i = 0; i < 12; ++i) {
        macro.append(i % 2 ? "<20 ms>" : "Left Ctrl");
    }
    CActionList entry(6);
    for (int i = 0; i < 3; ++i) {
        entry.append("Key & \"" + std::to_string(i) + "\"");
    }
    for (CActionList* collection :
         {&config.PredefinedCombo, &config.PredefinedMacro, &config.PredefinedEmu}) {
        collection->append("Entry 0");
        collection->setChildAtRow(collection->CursorPos, entry);
    }
    config.Mode[1][0] = KeyMode::Macro;
    config.ComboKey[1][0] = macro;
}

// The number after ID=" in a line that starts with prefix, or 0 for any other line.
int idOf(const std::string& line, const std::string& prefix) {
    return line.starts_with(prefix) ? std::atoi(line.c_str() + prefix.size()) : 0;
}

// The saved file without the areas and keys past kSeedKeys. The writer puts one tag on a
// line, and a key's element ends with the first "</KEY>" line after its start.
std::string seedOf(const std::string& text) {
    std::istringstream in(text);
    std::string kept;
    bool skippingKey = false;
    for (std::string line; std::getline(in, line);) {
        if (skippingKey) {
            skippingKey = !line.starts_with("</KEY>");
            continue;
        }
        if (idOf(line, "<AREA ID=\"") > kSeedKeys) {
            continue;
        }
        if (idOf(line, "<KEY ID=\"") > kSeedKeys) {
            skippingKey = true;
            continue;
        }
        kept += line + "\n";
    }
    return kept;
}

bool save(const CAppState& state, const std::string& folder, const std::string& name) {
    const std::string path = folder + "/" + name;
    auto result = talvik::profile::saveProfile(state, path);
    if (!result.ok()) {
        std::fprintf(stderr, "%s: %s\n", path.c_str(), result.message.c_str());
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::ofstream(folder + "/seed-" + name, std::ios::binary) << seedOf(text);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    bool ok = true;
    for (int model = 1; model <= 4; ++model) {
        const std::string suffix = "-model" + std::to_string(model) + ".pro";
        auto state = resetState(model);
        ok = save(*state, folder, "reset" + suffix) && ok;
        talvik::test::assignEveryKey(*state);
        ok = save(*state, folder, "full" + suffix) && ok;
    }
    auto heavy = resetState(1);
    makeHeavy(heavy->keyConfig);
    ok = save(*heavy, folder, "heavy.pro") && ok;
    return ok ? 0 : 1;
}
