// The names of the keyboard's numbered keys, checked against the key tables
// they must agree with and against the keys a user tells apart by position.

#include "talvik/text/KeyTables.h"
#include "talvik/text/NumberedKeys.h"

#include <gtest/gtest.h>

#include <cctype>
#include <climits>
#include <map>
#include <string>
#include <vector>

using namespace talvik::text;

namespace {

TEST(NumberedKeys, NumbersOutsideTheKeyboard_GiveTheEmptyName) {
    for (int key : {INT_MIN, -1, 0, kNumberedKeyCount + 1, 255, INT_MAX}) {
        ASSERT_NE(numberedKeyName(key), nullptr) << key;
        EXPECT_STREQ(numberedKeyName(key), "") << key;
    }
    EXPECT_STREQ(numberedKeyName(1), "Esc");
    EXPECT_STREQ(numberedKeyName(kNumberedKeyCount), "Right");
}

// A name dropped or doubled in the table shifts every later key onto its
// neighbour's name; only the left and right modifier pairs may share one.
TEST(NumberedKeys, OnlyTheModifierPairsShareAName) {
    std::map<std::string, std::vector<int>> keysByName;
    for (int key = 1; key <= kNumberedKeyCount; ++key) {
        const std::string name = numberedKeyName(key);
        EXPECT_FALSE(name.empty()) << key;
        keysByName[name].push_back(key);
    }
    const std::map<std::string, std::vector<int>> pairs = {
        {"Shift", {55, 66}}, {"Ctrl", {67, 74}}, {"Alt", {69, 71}}};
    for (const auto& [name, keys] : keysByName) {
        if (keys.size() > 1) {
            ASSERT_TRUE(pairs.count(name))
                << name << " is on key " << keys[0] << " and " << keys[1];
            EXPECT_EQ(keys, pairs.at(name)) << name;
        }
    }
    EXPECT_EQ(keysByName.size(), static_cast<std::size_t>(kNumberedKeyCount) - pairs.size());
}

// Up to the Ctrl right of the space bar a key's number is its hardware code,
// so each letter and digit key is named as its virtual key is.
TEST(NumberedKeys, LettersAndDigits_AgreeWithTheirVirtualKeys) {
    KeyNameMap names;
    CodeTable vkToHW{};
    CodeTable hwToVk{};
    fillKeyNames(names);
    fillVkToHWCode(vkToHW);
    buildHWCodeToVk(vkToHW, hwToVk);
    int checked = 0;
    for (int key = 1; key <= 74; ++key) {
        const std::string name = numberedKeyName(key);
        if (name.size() != 1 || !std::isalnum(static_cast<unsigned char>(name[0]))) {
            continue;
        }
        EXPECT_EQ(names.at(hwToVk[key]), name) << "key " << key;
        ++checked;
    }
    EXPECT_EQ(checked, 26 + 10);
}

} // namespace
