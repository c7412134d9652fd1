// The language rules and the summary texts of the main window.

#include "talvik/text/KeyTables.h"
#include "talvik/text/Language.h"
#include "talvik/text/Summary.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace talvik::text;

TEST(Language, TextChoice_EachLanguageGetsItsOwnText) {
    EXPECT_EQ(textIn(Language::Chinese, "是", "Yes"), "是");
    EXPECT_EQ(textIn(Language::English, "是", "Yes"), "Yes");
    EXPECT_EQ(textIn(Language::English, "是", ""), "")
        << "an empty version is no reason to fall back";
    EXPECT_EQ(toggledLanguage(Language::Chinese), Language::English);
    EXPECT_EQ(toggledLanguage(Language::English), Language::Chinese);
}

TEST(Language, Tags_RoundTripForBothLanguages) {
    EXPECT_EQ(tagOf(Language::Chinese), "zh-CN");
    EXPECT_EQ(tagOf(Language::English), "en-US");
    for (const Language language : {Language::Chinese, Language::English}) {
        EXPECT_EQ(languageFromTag(tagOf(language)), language);
    }
}

// Whatever a table, a file name or a locale carries, nothing but the two exact
// tags becomes a language, so no text can be chosen for an unknown one.
TEST(Language, Tags_AnythingButTheTwoExactTagsIsRefused) {
    for (const std::string_view tag : {"", "zh-cn", "ZH-CN", "zh", "en", "en-us", "en-GB", "fr-FR",
                                       "zh-CN ", " en-US", "zh_CN"}) {
        EXPECT_EQ(languageFromTag(tag), std::nullopt) << '"' << tag << '"';
    }
    EXPECT_EQ(languageFromTag(std::string_view("zh-CN\0", 6)), std::nullopt)
        << "a tag with a NUL after it is another tag";
    EXPECT_EQ(languageFromTag(std::string_view("en-US-x", 5)), Language::English)
        << "only the view's own characters count";
}

TEST(Language, EntryNames_PerCollectionAndLanguage) {
    EXPECT_EQ(formatNumbered(entryNameFormat(CollectionKind::Combo, Language::English), 2),
              "New Combo 2");
    EXPECT_EQ(formatNumbered(entryNameFormat(CollectionKind::Macro, Language::English), 1),
              "New Macro 1");
    EXPECT_EQ(formatNumbered(entryNameFormat(CollectionKind::Emulation, Language::English), 10),
              "New Emu 10");
    EXPECT_EQ(formatNumbered(entryNameFormat(CollectionKind::Combo, Language::Chinese), 3),
              "组合键3");
    EXPECT_EQ(formatNumbered(entryNameFormat(CollectionKind::Macro, Language::Chinese), 1),
              "宏定义1");
    EXPECT_EQ(formatNumbered(entryNameFormat(CollectionKind::Emulation, Language::Chinese), 1),
              "模拟击键1");
    EXPECT_EQ(formatNumbered("100% %s %d %d", 7), "100% %s 7 %d") << "only the first %d is filled";
}

TEST(Language, FirmwareFileName_ModelPrefixAtTheStart_CaseSensitive) {
    EXPECT_EQ(firmwareFilePrefix(3), "Talvik(S)_");
    EXPECT_EQ(firmwareFilePrefix(0), "Talvik(RGB)BLe_") << "no keyboard: the first model";
    EXPECT_TRUE(isFirmwareFileOfModel("Talvik(S)BLe_1.0.bin", 2));
    EXPECT_FALSE(isFirmwareFileOfModel("Talvik(S)BLe_v2.bin", 3)) << "another model's name";
    EXPECT_FALSE(isFirmwareFileOfModel("new_Talvik(S)_1.bin", 3)) << "the prefix later in the name";
    EXPECT_FALSE(isFirmwareFileOfModel("talvik(s)_1.bin", 3));
    EXPECT_FALSE(isFirmwareFileOfModel("Talvik(S)", 3)) << "the name without its underscore";
    EXPECT_TRUE(isFirmwareFileOfModel("Talvik(RGB)_", 4));
    EXPECT_FALSE(isFirmwareFileOfModel("Talvik(RGB)_x.bin", 1));
}

TEST(Summary, MacroItems_DelaysBecomeNumbers_DirectionsAreDropped) {
    const std::vector<std::string> items = {"A Down", delayText(30), "A UP"};
    EXPECT_EQ(macroSummary(items), "A,30,A");
    EXPECT_EQ(shortenedMacroItem("Left CTRL Down"), "Left CTRL");
    EXPECT_EQ(shortenedMacroItem("(Enter) UP"), "(Enter)");
    // Too short to carry a suffix, or not shaped like a delay: kept as they are.
    EXPECT_EQ(shortenedMacroItem(" UP"), " UP");
    EXPECT_EQ(shortenedMacroItem("Down"), "Down");
    EXPECT_EQ(shortenedMacroItem("<>|"), "<>|");
    EXPECT_EQ(shortenedMacroItem("<a>b>"), "<a>b>");
    EXPECT_EQ(shortenedMacroItem("A"), "A");
}

TEST(Summary, LongMacro_CutOnceOver120Characters) {
    // Each item adds "Left CTRL," (10 characters); the 13th passes 120.
    const std::vector<std::string> items(40, "Left CTRL Down");
    const std::string text = macroSummary(items);
    std::string expected;
    for (int i = 0; i < 13; ++i)
        expected += (i ? "," : "") + std::string("Left CTRL");
    EXPECT_EQ(text, expected + " ... ...");
    const std::vector<std::string> twelve(12, "Left CTRL Down");
    EXPECT_EQ(macroSummary(twelve).find("..."), std::string::npos);
}

TEST(Summary, CombosAndEmulations_JoinedWithBars) {
    EXPECT_EQ(joinedSummary(std::vector<std::string>{"Left CTRL", "C"}), "Left CTRL | C");
    EXPECT_EQ(joinedSummary(std::vector<std::string>{"A"}), "A");
    EXPECT_EQ(joinedSummary(std::vector<std::string>{}), "");
    EXPECT_EQ(macroSummary(std::vector<std::string>{}), "");
}
