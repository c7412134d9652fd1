// The size bound of profile files: the largest profile the program can make loads and
// comes back whole, a file beyond the bound is refused without being read.
#include "ProfileTestSupport.h"
#include "support/TestSupport.h"
#include "talvik/profile/Profile.h"
#include "talvik/recorder/CActionRecorder.h"
#include "talvik/recorder/MacroEditing.h"
#include "talvik/text/KeyTables.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

using namespace talvik::profile;

using namespace talvik::model;

namespace fs = std::filesystem;

namespace {

using talvik::test::CTempDir;
using talvik::test::expectSameConfig;
using talvik::test::resetState;
using talvik::test::writeFile;

// Collections have no bound of their own; this many entries is more than anyone keeps.
constexpr int kLargestCollectionEntries = 100;

// How long a text is once written as an attribute value.
std::size_t writtenLength(const std::string& text) {
    std::size_t length = text.size();
    for (char c : text) {
        length += c == '&' ? 4 : c == '<' || c == '>' ? 3 : c == '"' ? 5 : 0;
    }
    return length;
}

// The key name that takes the most room in a file, with the longer direction suffix when
// it is a recorded event.
std::string longestItem(const CAppState& state, bool withDirection) {
    std::string longest;
    for (const auto& [code, name] : state.keyNames) {
        std::string item = withDirection ? name + std::string(talvik::text::kDownSuffix) : name;
        if (writtenLength(item) > writtenLength(longest)) {
            longest = std::move(item);
        }
    }
    return longest;
}

CActionList filledList(int sizeOfView, const std::string& item, int count) {
    CActionList list(sizeOfView);
    for (int i = 0; i < count; ++i) {
        list.append(item);
    }
    // The widest numbers each field can hold, so that no attribute is shorter than it can be.
    list.ViewStartAt = count - 1;
    list.CursorPos = 0;
    list.Cycles = talvik::recorder::kMaxCycles;
    list.Delay = talvik::recorder::kMaxAutoDelayMs;
    return list;
}

// A collection of `entries` entries, each with a long name and a copy of `content`.
void fillCollection(CActionList& collection, int entries, const CActionList& content) {
    for (int i = 0; i < entries; ++i) {
        collection.append("\xE5\xAE\x8F\xE5\xBA\x93\xE6\x9D\xA1\xE7\x9B\xAE " +
                          std::string(48, 'M') + std::to_string(i));
        collection.setChildAtRow(collection.CursorPos, content);
    }
}

// The profile that the bound is reckoned from (see kMaxProfileFileBytes): every key on
// both layers holding the longest macro a recording makes, each collection full of the
// longest entries of its kind.
void buildLargestProfile(CAppState& state) {
    CActionList macro =
        filledList(9, longestItem(state, true), talvik::recorder::kMacroItemsAutoInterval);
    macro.IsAutoInterval = true;
    macro.PlayMode = 2;
    const std::string keyName = longestItem(state, false);
    const CActionList combo = filledList(6, keyName, 6);
    const CActionList emulation = filledList(9, keyName, talvik::recorder::kEmulationKeys);
    CKeyConfig& config = state.keyConfig;
    fillCollection(config.PredefinedMacro, kLargestCollectionEntries, macro);
    fillCollection(config.PredefinedCombo, kLargestCollectionEntries, combo);
    fillCollection(config.PredefinedEmu, kLargestCollectionEntries, emulation);
    for (int key = 1; key <= kKeyCount; ++key) {
        for (int level = 0; level < kLayerCount; ++level) {
            config.Mode[key][level] = KeyMode::Macro;
            config.HWCode[key][level] = 0;
            config.ComboKey[key][level] = macro;
        }
        config.LightAreas[key] = {255, 255, 255};
    }
}

// Pages of memory the process holds in RAM.
long residentPages() {
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return resident;
}

class ProfileLimits : public ::testing::Test {
protected:
    std::string path(const std::string& name) const { return (m_dir.path() / name).string(); }

    CTempDir m_dir;
};

TEST_F(ProfileLimits, LargestProfileTheProgramMakes_StaysWellBelowTheBoundAndRoundTrips) {
    auto state = resetState(1);
    buildLargestProfile(*state);
    ASSERT_TRUE(saveProfile(*state, path("largest.pro")).ok());
    const std::uintmax_t size = fs::file_size(path("largest.pro"));
    RecordProperty("bytes", std::to_string(size));
    EXPECT_LE(size * 3, kMaxProfileFileBytes) << "the bound keeps its margin";

    auto loaded = resetState(1);
    const SProfileResult result = loadProfile(*loaded, path("largest.pro"));
    ASSERT_TRUE(result.ok()) << result.message;
    EXPECT_EQ(result.message, "");
    expectSameConfig(loaded->keyConfig, state->keyConfig);
}

// A real profile at its head and a sparse hole after it, which costs no disk: only the size
// can have refused it.
TEST_F(ProfileLimits, FileBeyondTheBound_IsRefusedUnreadAndTheModelKeepsItsConfiguration) {
    auto state = resetState(1);
    state->keyConfig.PredefinedMacro.append("keep me");
    state->keyConfig.HWCode[9][1] = 42;
    auto before = resetState(1);
    before->keyConfig = state->keyConfig;
    ASSERT_TRUE(saveProfile(*state, path("huge.pro")).ok());

    for (const std::uintmax_t size :
         {std::uintmax_t{kMaxProfileFileBytes} + 1, std::uintmax_t{2} << 30}) {
        fs::resize_file(path("huge.pro"), size);
        state->pressCount.fill(3);
        const long pagesBefore = residentPages();
        const SProfileResult result = loadProfile(*state, path("huge.pro"));
        const long grownBytes = (residentPages() - pagesBefore) * ::sysconf(_SC_PAGESIZE);
        EXPECT_EQ(result.status, EProfileStatus::TooLarge) << size;
        EXPECT_EQ(result.message, path("huge.pro"));
        EXPECT_LT(grownBytes, 16 << 20) << "none of the file was taken into memory";
        expectSameConfig(state->keyConfig, before->keyConfig);
        EXPECT_EQ(state->pressCount[1], kUnreadPressCount) << "the statistics go all the same";
    }
}

} // namespace
