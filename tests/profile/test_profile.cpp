#include "ProfileTestSupport.h"
#include "support/TestSupport.h"
#include "talvik/profile/Profile.h"

#include "talvik/xml/TextCodec.h"

#include <gtest/gtest.h>

#include <string>

using namespace talvik::profile;

using namespace talvik::model;

namespace {

using talvik::test::CTempDir;
using talvik::test::expectSameConfig;
using talvik::test::readFile;
using talvik::test::resetState;
using talvik::test::writeFile;

const std::string kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";

std::string emptyList(int sizeOfView) {
    return "<List SizeOfView=\"" + std::to_string(sizeOfView) +
           "\" ViewStartAt=\"0\" CursorPos=\"0\" Cycles=\"1\" IsAutoInterval=\"0\" Delay=\"30\" "
           "PlayMode=\"0\"/>\r\n";
}

// The file after a reset, line by line as the format describes it.
std::string expectedResetProfile(const CAppState& state, const std::string& root) {
    std::string text = kDeclaration + "<" + root + ">\r\n";
    text += "<PredefinedCombo>\r\n" + emptyList(6) + "</PredefinedCombo>\r\n";
    text += "<PredefinedMacro>\r\n" + emptyList(9) + "</PredefinedMacro>\r\n";
    text += "<PredefinedEmu>\r\n" + emptyList(9) + "</PredefinedEmu>\r\n";
    text += "<BackgroundLightSettings>\r\n";
    for (int area = 1; area <= 87; ++area) {
        text += "<AREA ID=\"" + std::to_string(area) + "\" Red=\"0\" Green=\"0\" Blue=\"0\"/>\r\n";
    }
    text += "</BackgroundLightSettings>\r\n<CurrentSettings>\r\n";
    for (int key = 1; key <= 87; ++key) {
        for (int level = 0; level < 2; ++level) {
            text += "<KEY ID=\"" + std::to_string(key) + "\" Level=\"" + std::to_string(level) +
                    "\" Mode=\"" + std::to_string(int(state.keyConfig.Mode[key][level])) +
                    "\" HWCode=\"" + std::to_string(state.keyConfig.HWCode[key][level]) +
                    "\">\r\n<ComboKey>\r\n" + emptyList(0) + "</ComboKey>\r\n</KEY>\r\n";
        }
    }
    return text + "</CurrentSettings>\r\n</" + root + ">\r\n";
}

std::size_t count(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++n;
    }
    return n;
}

// A model with something in every kind of field.
void fillModel(CKeyConfig& config) {
    CActionList combo(6);
    combo.append("Left Ctrl");
    combo.append("A & <B> \"C\" 'D'");
    config.PredefinedCombo.append("My combo");
    config.PredefinedCombo.setChildAtRow(0, combo);
    config.PredefinedCombo.append("\u4e2d\u6587 \u00e9");
    CActionList macro(9);
    for (int i = 0; i < 12; ++i) {
        macro.append(i % 2 ? "<20 ms>" : "Key " + std::to_string(i));
    }
    macro.Cycles = 3;
    macro.PlayMode = 2;
    macro.IsAutoInterval = true;
    macro.Delay = 75;
    config.PredefinedMacro.append("M1");
    config.PredefinedMacro.setChildAtRow(0, macro);
    config.PredefinedEmu.Delay = -5;
    for (int key = 1; key <= 87; ++key) {
        config.LightAreas[key] = {key, 255 - key, key * 2};
    }
    config.Mode[5][1] = KeyMode::Macro;
    config.HWCode[5][1] = 204;
    config.ComboKey[5][1] = macro;
    config.Mode[87][0] = KeyMode::Combo;
    config.ComboKey[87][0] = combo;
    config.HWCode[3][0] = -1;
}

class Profile : public ::testing::Test {
protected:
    std::string path(const std::string& name) const { return (m_dir.path() / name).string(); }
    CTempDir m_dir;
};

TEST_F(Profile, SaveAfterResetOnModel1_IsTheDocumentedFileByteForByte) {
    auto state = resetState(1);
    ASSERT_TRUE(saveProfile(*state, path("reset.pro")).ok());
    std::string file = readFile(path("reset.pro"));
    EXPECT_EQ(file, expectedResetProfile(*state, "Talvik(RGB)BLe"));
    EXPECT_NE(file.find("\r\n<AREA ID=\"1\" Red=\"0\" Green=\"0\" Blue=\"0\"/>\r\n"),
              std::string::npos);
    EXPECT_NE(file.find("\r\n<KEY ID=\"1\" Level=\"0\" Mode=\"1\" HWCode=\"1\">\r\n<ComboKey>\r\n"
                        "<List SizeOfView=\"0\" ViewStartAt=\"0\" CursorPos=\"0\" Cycles=\"1\" "
                        "IsAutoInterval=\"0\" Delay=\"30\" PlayMode=\"0\"/>\r\n</ComboKey>\r\n"
                        "</KEY>\r\n"),
              std::string::npos);
    EXPECT_EQ(count(file, "<AREA "), 87u);
    EXPECT_EQ(count(file, "<KEY "), 174u);
    EXPECT_EQ(count(file, "\r\n"), count(file, "\n"));
    EXPECT_TRUE(file.starts_with(kDeclaration));
}

TEST_F(Profile, RootNameFollowsTheModel) {
    const std::pair<int, std::u16string> roots[] = {{0, u"Talvik(RGB)BLe"}, {1, u"Talvik(RGB)BLe"},
                                                    {2, u"Talvik(S)BLe"},   {3, u"Talvik(S)"},
                                                    {4, u"Talvik(RGB)"},    {9, u"Talvik(RGB)BLe"}};
    for (const auto& [model, root] : roots) {
        EXPECT_EQ(profileRootName(model), root) << model;
    }
}

TEST_F(Profile, RoundTrip_KeepsEveryKeyAreaListAndViewField) {
    auto saved = resetState(1);
    fillModel(saved->keyConfig);
    ASSERT_TRUE(saveProfile(*saved, path("full.pro")).ok());
    std::string file = readFile(path("full.pro"));
    EXPECT_NE(file.find("t1=\"A &amp; &lt;B&gt; &quot;C&quot; &apos;D&apos;\""), std::string::npos);

    auto loaded = resetState(1);
    loaded->pressCount.fill(5);
    loaded->mostPressedKey = 3;
    SProfileResult result = loadProfile(*loaded, path("full.pro"));
    ASSERT_TRUE(result.ok()) << result.message;
    EXPECT_EQ(result.message, "");
    expectSameConfig(loaded->keyConfig, saved->keyConfig);
    EXPECT_EQ(loaded->keyConfig.PredefinedCombo.children()[0].items()[1], "A & <B> \"C\" 'D'");
    EXPECT_EQ(loaded->pressCount[10], kUnreadPressCount);
    EXPECT_EQ(loaded->mostPressedKey, -1);

    // Saving what was loaded gives the same file again.
    ASSERT_TRUE(saveProfile(*loaded, path("again.pro")).ok());
    EXPECT_EQ(readFile(path("again.pro")), file);
}

TEST_F(Profile, Utf16AndUtf8WithMark_LoadLikeTheUtf8File) {
    auto saved = resetState(1);
    fillModel(saved->keyConfig);
    ASSERT_TRUE(saveProfile(*saved, path("plain.pro")).ok());
    std::string utf8 = readFile(path("plain.pro"));
    std::u16string text = talvik::xml::fromUtf8(utf8);
    std::string utf16 = "\xFF\xFE";
    for (char16_t c : text) {
        utf16 += static_cast<char>(c & 0xFF);
        utf16 += static_cast<char>(c >> 8);
    }
    writeFile(path("wide.pro"), utf16);
    writeFile(path("marked.pro"), "\xEF\xBB\xBF" + utf8);
    for (const char* name : {"wide.pro", "marked.pro"}) {
        auto loaded = resetState(1);
        ASSERT_TRUE(loadProfile(*loaded, path(name)).ok()) << name;
        expectSameConfig(loaded->keyConfig, saved->keyConfig);
    }
}

TEST_F(Profile, ListAttributesAndItemIds_ReadAsWritten) {
    writeFile(path("ids.pro"),
              kDeclaration +
                  "<Talvik(RGB)BLe>\r\n<PredefinedCombo>\r\n"
                  "<List SizeOfView=\"6\" ViewStartAt=\"1\" CursorPos=\"2\" Delay=\"12ms\">"
                  "<x ID=\"2\" t1=\"two\"><List SizeOfView=\"6\"/></x>"
                  "<x ID=\"0\" t1=\"zero\"/>"
                  "<x ID=\"-1\" t1=\"negative\"/><x ID=\"70000\" t1=\"huge\"/>"
                  "</List>\r\n</PredefinedCombo>\r\n</Talvik(RGB)BLe>\r\n");
    auto state = resetState(1);
    SProfileResult result = loadProfile(*state, path("ids.pro"));
    ASSERT_TRUE(result.ok());
    EXPECT_NE(result.message.find("<skipped element=\"x\" ID=\"-1\"/>"), std::string::npos);
    const CActionList& combos = state->keyConfig.PredefinedCombo;
    EXPECT_EQ(combos.items(), (std::vector<std::string>{"zero", "", "two"}));
    EXPECT_EQ(combos.Cycles, 0); // absent, so 0 rather than the default 1
    EXPECT_EQ(combos.Delay, 12);
    EXPECT_EQ(combos.ViewStartAt, 1);
    EXPECT_EQ(combos.CursorPos, 2);
    EXPECT_TRUE(combos.children()[1].empty());
    EXPECT_EQ(combos.children()[2].SizeOfView, 6);
    EXPECT_EQ(combos.children()[0].Cycles, 1); // no "List" inside: a cleared list
}

// Attributes that differ from what the program writes only in order, spacing, a longer name
// or a reference must read exactly as the plain ones do.
TEST_F(Profile, ListAttributesOutOfOrderSpacedOrLookalike_ReadByTheirExactNames) {
    writeFile(
        path("odd.pro"),
        kDeclaration +
            "<Talvik(RGB)BLe>\r\n<PredefinedMacro>\r\n"
            "<List PlayMode=\"2\" CyclesX=\"8\" Delay =\"40\" SizeOfView=\"&#55;\" "
            "Cycles= '3' CursorPos=\"1\" Cycles=\"9\" IsAutoInterval=\"1\">"
            "<x t1=\"&lt;20 ms&gt; &amp; &eacute;\" ID=\"1\"/><x ID=\"0\" t1 =\"a\" t1=\"b\"/>"
            "</List>\r\n</PredefinedMacro>\r\n</Talvik(RGB)BLe>\r\n");
    auto state = resetState(1);
    ASSERT_TRUE(loadProfile(*state, path("odd.pro")).ok());
    const CActionList& macros = state->keyConfig.PredefinedMacro;
    EXPECT_EQ(macros.items(), (std::vector<std::string>{"a", "<20 ms> & \u00e9"}));
    EXPECT_EQ(macros.PlayMode, 2);
    EXPECT_EQ(macros.Cycles, 3); // the first of two, not the lookalike "CyclesX"
    EXPECT_EQ(macros.Delay, 40);
    EXPECT_EQ(macros.SizeOfView, 7);
    EXPECT_EQ(macros.CursorPos, 1);
    EXPECT_TRUE(macros.IsAutoInterval);
    EXPECT_EQ(macros.ViewStartAt, 0);
}

// Item tags are read by a shortcut where they have exactly the form the program writes;
// forms a step away from it (a sign, ten digits, another attribute, other quotes or spacing)
// go the general way, and both ways must agree on what they both read.
TEST_F(Profile, ItemTagsInAndNearTheWrittenForm_ReadTheSame) {
    const std::string items =
        "<x ID=\"0012\" t1=\"a &amp; b &#x1F600;&lt;\"/>"             // written form, references
        "<x ID='0' t1='single'/>"                                     // other quotes
        "<x ID=\"1\" t1=\"q'uote > gt\"><List SizeOfView=\"4\"/></x>" // raw > and '
        "<x ID=\"2\" t1=\"\"/>"                                       // empty text
        "<x ID=\"+3\" t1=\"plus\"/>"                                  // a sign
        "<x ID=\"4\" t1=\"four\" t2=\"other\"/>"                      // another attribute
        "<x ID=\"5\"  t1=\"spaced\" />"                               // spacing
        "<x ID=\"6\"/>"                                               // no text
        "<x ID=\"7\" t1=\"\xC3\xA9t\xC3\xA9\"/>"                      // non-ASCII
        "<x ID=\"1234567890\" t1=\"ten digits\"/>"                    // beyond any list
        "<x ID=\"8\" t1=\"last\"";                                    // written form, closed below
    writeFile(path("items.pro"), kDeclaration + "<Talvik(RGB)BLe>\r\n<PredefinedCombo>\r\n<List>" +
                                     items +
                                     "/></List>\r\n</PredefinedCombo>\r\n</Talvik(RGB)BLe>\r\n");
    auto state = resetState(1);
    SProfileResult result = loadProfile(*state, path("items.pro"));
    ASSERT_TRUE(result.ok());
    EXPECT_NE(result.message.find("<skipped element=\"x\" ID=\"1234567890\"/>"), std::string::npos)
        << result.message;
    const CActionList& combos = state->keyConfig.PredefinedCombo;
    std::vector<std::string> expected(13);
    expected[0] = "single";
    expected[1] = "q'uote > gt";
    expected[3] = "plus";
    expected[4] = "four";
    expected[5] = "spaced";
    expected[7] = "\u00e9t\u00e9";
    expected[8] = "last";
    expected[12] = "a & b \U0001F600<";
    EXPECT_EQ(combos.items(), expected);
    EXPECT_EQ(combos.children()[1].SizeOfView, 4);
}

// Number tags in the written form are read by a shortcut too; values it cannot take whole
// (ten digits, a sign, trailing letters, nothing) must read as the general way reads them.
TEST_F(Profile, NumberTagsInAndNearTheWrittenForm_ReadTheSame) {
    writeFile(path("areas.pro"), kDeclaration +
                                     "<Talvik(RGB)BLe>\r\n<BackgroundLightSettings>\r\n"
                                     "<AREA ID=\"1\" Red=\"-7\" Green=\"0042\" Blue=\"255\"/>"
                                     "<AREA ID=\"2\" Red=\"1234567890\" Green=\"+5\" Blue=\"12a\"/>"
                                     "<AREA ID=\"3\" Red=\"\" Green=\"-\" Blue=\"9\" Alpha=\"1\"/>"
                                     "<AREA ID=\"4\" Red=\"1\" Green=\"2\" Blue=\"3\" >"
                                     "</AREA><AREA ID=\"5\" Green=\"6\" Red=\"5\" Blue=\"7\"/>"
                                     "\r\n</BackgroundLightSettings>\r\n</Talvik(RGB)BLe>\r\n");
    auto state = resetState(1);
    ASSERT_TRUE(loadProfile(*state, path("areas.pro")).ok());
    const auto& areas = state->keyConfig.LightAreas;
    auto rgb = [&](int area) {
        return std::vector<int>{areas[area].Red, areas[area].Green, areas[area].Blue};
    };
    EXPECT_EQ(rgb(1), (std::vector<int>{-7, 42, 255}));
    EXPECT_EQ(rgb(2), (std::vector<int>{1234567890, 5, 12}));
    EXPECT_EQ(rgb(3), (std::vector<int>{0, 0, 9}));
    EXPECT_EQ(rgb(4), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(rgb(5), (std::vector<int>{5, 6, 7}));
}

// Start tags that repeat are read once; ones that differ in a single digit must not be taken
// for a repeat.
TEST_F(Profile, NestedListsWithNearlyEqualStartTags_EachKeepsItsOwnFields) {
    std::string items;
    for (int i = 0; i < 4; ++i) {
        int size = i == 1 || i == 2 ? 2 : 1;
        items += "<x ID=\"" + std::to_string(i) + "\" t1=\"i\"><List SizeOfView=\"" +
                 std::to_string(size) + "\" Cycles=\"2\"/></x>";
    }
    writeFile(path("near.pro"), kDeclaration +
                                    "<Talvik(RGB)BLe>\r\n<PredefinedEmu>\r\n"
                                    "<List SizeOfView=\"1\" Cycles=\"2\" Delay=\"5\">" +
                                    items + "</List>\r\n</PredefinedEmu>\r\n</Talvik(RGB)BLe>\r\n");
    auto state = resetState(1);
    ASSERT_TRUE(loadProfile(*state, path("near.pro")).ok());
    const CActionList& emus = state->keyConfig.PredefinedEmu;
    ASSERT_EQ(emus.children().size(), 4u);
    std::vector<int> sizes;
    for (const CActionList& child : emus.children()) {
        sizes.push_back(child.SizeOfView);
        EXPECT_EQ(child.Cycles, 2);
        EXPECT_EQ(child.Delay, 0);
    }
    EXPECT_EQ(sizes, (std::vector<int>{1, 2, 2, 1}));
    EXPECT_EQ(emus.Delay, 5);
    EXPECT_EQ(emus.SizeOfView, 1);
}

TEST_F(Profile, DamagedProfile_LoadsWhatItHasAndGapsGetFactoryValues) {
    auto state = resetState(1);
    state->keyConfig.LightAreas[2] = {9, 9, 9};
    state->keyConfig.Mode[1][0] = KeyMode::Power;
    state->keyConfig.PredefinedMacro.append("old");
    // Sections out of order, one missing, IDs and levels out of range, an unended element.
    writeFile(path("damaged.pro"),
              kDeclaration + "<Talvik(RGB)BLe>\r\n<CurrentSettings>\r\n"
                             "<KEY ID=\"2\" Level=\"1\" Mode=\"5\" HWCode=\"120\"><ComboKey>"
                             "<List SizeOfView=\"3\"/></ComboKey></KEY>\r\n"
                             "<KEY ID=\"88\" Level=\"0\" Mode=\"1\" HWCode=\"1\"/>\r\n"
                             "<KEY ID=\"3\" Level=\"2\" Mode=\"1\" HWCode=\"1\"/>\r\n"
                             "<KEY ID=\"4\" Level=\"0\" Mode=\"77\" HWCode=\"1\"/>\r\n"
                             "</CurrentSettings>\r\n<BackgroundLightSettings>\r\n"
                             "<AREA ID=\"1\" Red=\"10\" Green=\"20\"><open>\r\n"
                             "<AREA ID=\"0\" Red=\"1\"/>\r\n"
                             "</BackgroundLightSettings>\r\n</Talvik(RGB)BLe>\r\n");
    auto factory = resetState(1);
    SProfileResult result = loadProfile(*state, path("damaged.pro"));
    ASSERT_TRUE(result.ok());
    EXPECT_NE(result.message.find("unended_start_tag"), std::string::npos) << result.message;
    EXPECT_NE(result.message.find("<skipped element=\"KEY\" ID=\"88\"/>"), std::string::npos);
    EXPECT_NE(result.message.find("<skipped element=\"AREA\" ID=\"0\"/>"), std::string::npos);
    const CKeyConfig& config = state->keyConfig;
    EXPECT_EQ(config.Mode[2][1], KeyMode::Multimedia);
    EXPECT_EQ(config.HWCode[2][1], 120);
    EXPECT_EQ(config.ComboKey[2][1].SizeOfView, 3);
    EXPECT_EQ(config.LightAreas[1].Red, 10);
    EXPECT_EQ(config.LightAreas[1].Blue, 0);
    EXPECT_EQ(config.LightAreas[2].Red, 0);
    EXPECT_EQ(config.Mode[1][0], factory->keyConfig.Mode[1][0]);
    EXPECT_EQ(config.Mode[4][0], factory->keyConfig.Mode[4][0]);
    EXPECT_EQ(config.HWCode[3][0], factory->keyConfig.HWCode[3][0]);
    EXPECT_TRUE(config.PredefinedMacro.empty());
    EXPECT_EQ(config.PredefinedMacro.SizeOfView, 9);
}

// The bytes a file holds load from memory exactly as the file does: the same status, the
// same repairs named, the same model, the statistics cleared alike.
TEST_F(Profile, LoadFromBytes_GivesWhatLoadingTheFileGives) {
    auto full = resetState(1);
    fillModel(full->keyConfig);
    ASSERT_TRUE(saveProfile(*full, path("full.pro")).ok());
    const std::string saved = readFile(path("full.pro"));
    std::string wide = "\xFF\xFE";
    for (char16_t c : talvik::xml::fromUtf8(saved)) {
        wide += static_cast<char>(c & 0xFF);
        wide += static_cast<char>(c >> 8);
    }
    std::string damaged = saved;
    damaged.replace(damaged.find("<KEY ID=\"5\""), 9, "<KEY ID=\"500\"");
    damaged.insert(damaged.find("<AREA ID=\"2\""), "<open>");
    struct SCase {
        const char* name;
        std::string bytes;
        EProfileStatus status;
    } cases[] = {
        {"saved", saved, EProfileStatus::Ok},
        {"utf16", wide, EProfileStatus::Ok},
        {"damaged", damaged, EProfileStatus::Ok},
        {"other model", "<Talvik(S)><CurrentSettings/></Talvik(S)>", EProfileStatus::OtherModel},
        {"not a profile", "<config><PredefinedCombo/></config>", EProfileStatus::NotProfile},
        {"not xml", "plain text", EProfileStatus::NotXml},
        {"empty", "", EProfileStatus::NotXml},
    };
    for (const auto& [name, bytes, status] : cases) {
        writeFile(path("case.pro"), bytes);
        auto fromFile = resetState(1);
        auto fromBytes = resetState(1);
        fromBytes->pressCount.fill(4);
        fromBytes->mostPressedKey = 2;
        SProfileResult fileResult = loadProfile(*fromFile, path("case.pro"));
        SProfileResult bytesResult = loadProfileBytes(*fromBytes, bytes);
        EXPECT_EQ(bytesResult.status, status) << name;
        EXPECT_EQ(fileResult.status, status) << name;
        EXPECT_EQ(bytesResult.message, fileResult.message) << name;
        expectSameConfig(fromBytes->keyConfig, fromFile->keyConfig);
        EXPECT_EQ(fromBytes->pressCount[1], kUnreadPressCount) << name;
        EXPECT_EQ(fromBytes->mostPressedKey, -1) << name;
    }
}

} // namespace
