// The save writes its text front to back with CXmlWriter; files already on users' disks and
// on the keyboard's side were written by editing a CXmlDocument. The two must give the same
// bytes, for every kind of content a profile can hold.
#include "ProfileTestSupport.h"
#include "ProfileXml.h"
#include "support/TestSupport.h"
#include "talvik/profile/Profile.h"

#include "talvik/xml/CXmlDocument.h"
#include "talvik/xml/CXmlDocumentBuilder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>

using namespace talvik::xml;

using namespace talvik::profile;

using namespace talvik::model;

namespace {

using talvik::test::CTempDir;
using talvik::test::expectSameConfig;
using talvik::test::readFile;
using talvik::test::resetState;

// Big macros on many keys, collections whose entries hold lists whose items hold lists
// again, texts that need escaping or are not ASCII, and numbers at their limits.
void fillHeavy(CKeyConfig& config) {
    CActionList macro(9);
    for (int i = 0; i < 300; ++i) {
        macro.append(i % 3 == 0   ? "<20 ms>"
                     : i % 3 == 1 ? "Left Ctrl"
                                  : "\xE4\xB8\xAD\xE6\x96\x87");
    }
    macro.Cycles = 65535;
    macro.Delay = -7;
    macro.IsAutoInterval = true;
    CActionList inner(6);
    inner.append("a&b");
    inner.append("\"quoted\" 'single'");
    CActionList entry(6);
    for (int i = 0; i < 20; ++i) {
        entry.append("Key & \"" + std::to_string(i) + "\" <\xC3\xA9> \t tab \xF0\x9F\x98\x80");
        if (i == 3) {
            entry.setChildAtRow(entry.CursorPos, inner);
        }
    }
    entry.CursorPos = 19;
    CActionList* collections[] = {&config.PredefinedCombo, &config.PredefinedMacro,
                                  &config.PredefinedEmu};
    int n = 0;
    for (CActionList* collection : collections) {
        for (int i = 0; i < 25; ++i, ++n) {
            collection->append(n % 2 ? "\xE7\xBB\x84\xE5\x90\x88 " + std::to_string(n)
                                     : "Entry & <" + std::to_string(n) + ">");
            collection->setChildAtRow(collection->CursorPos, entry);
        }
        collection->ViewStartAt = 17;
    }
    for (int key = 1; key <= kKeyCount; key += 3) {
        for (int level = 0; level < kLayerCount; ++level) {
            config.Mode[key][level] = KeyMode::Macro;
            config.ComboKey[key][level] = macro;
        }
    }
    for (int area = 1; area <= kKeyCount; ++area) {
        config.LightAreas[area] = {area, 255 - area, area % 2 ? INT_MAX : INT_MIN};
    }
    config.HWCode[2][1] = INT_MIN;
    config.HWCode[4][0] = -1;
}

class ProfileSave : public ::testing::Test {
protected:
    std::string path(const std::string& name) const { return (m_dir.path() / name).string(); }

    // The file saveProfile writes, byte for byte the one that building the profile by editing
    // a document and saving that document writes; and it loads back to the same model.
    void expectSameAsEditingTheDocument(const CAppState& state, const std::string& name) {
        ASSERT_TRUE(saveProfile(state, path(name)).ok());
        CXmlDocument doc;
        doc.setText(u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n");
        CXmlDocumentBuilder builder(doc);
        writeProfile(state.keyConfig, state.modelNumber, builder);
        ASSERT_TRUE(doc.saveFile(path(name + ".edited")));
        const std::string file = readFile(path(name));
        const std::string edited = readFile(path(name + ".edited"));
        ASSERT_EQ(file.size(), edited.size()) << name;
        EXPECT_TRUE(file == edited)
            << name << ": first difference at byte "
            << std::mismatch(file.begin(), file.end(), edited.begin()).first - file.begin();

        auto loaded = resetState(state.modelNumber);
        SProfileResult result = loadProfile(*loaded, path(name));
        ASSERT_TRUE(result.ok()) << result.message;
        EXPECT_EQ(result.message, "");
        expectSameConfig(loaded->keyConfig, state.keyConfig);
    }

    CTempDir m_dir;
};

TEST_F(ProfileSave, ResetProfilesOfEachRoot_SameBytesAsEditingTheDocument) {
    for (int model : {1, 2, 3, 4}) {
        expectSameAsEditingTheDocument(*resetState(model),
                                       "reset" + std::to_string(model) + ".pro");
    }
}

TEST_F(ProfileSave, HeavyProfile_SameBytesAsEditingTheDocument_AndLoadsBackWhole) {
    auto state = resetState(1);
    fillHeavy(state->keyConfig);
    expectSameAsEditingTheDocument(*state, "heavy.pro");
    const std::string file = readFile(path("heavy.pro"));
    EXPECT_NE(file.find("t1=\"Key &amp; &quot;0&quot; &lt;\xC3\xA9&gt; \t tab \xF0\x9F\x98\x80\">"),
              std::string::npos);
    EXPECT_NE(file.find("<x ID=\"3\" t1=\"Key &amp; &quot;3&quot; &lt;\xC3\xA9&gt; \t tab "
                        "\xF0\x9F\x98\x80\">\r\n<List SizeOfView=\"6\" ViewStartAt=\"0\" "
                        "CursorPos=\"1\" Cycles=\"1\" IsAutoInterval=\"0\" Delay=\"30\" "
                        "PlayMode=\"0\">\r\n<x ID=\"0\" t1=\"a&amp;b\">\r\n"),
              std::string::npos);
}

// A list saved into a document the caller holds lands at the document's position, as it did
// before the writer existed: after the current element, the position on the new list.
TEST_F(ProfileSave, ListSavedIntoADocument_AddedAfterTheCurrentElement) {
    CActionList list(6);
    list.append("A");
    list.append("B & C");
    CXmlDocument doc;
    doc.setText(u"<r>\r\n<first/>\r\n<last/>\r\n</r>\r\n");
    ASSERT_TRUE(doc.findElement(u"r") && doc.enterElement() && doc.findElement(u"first"));
    saveTo(list, doc);
    EXPECT_EQ(doc.tagName(), u"List");
    EXPECT_TRUE(doc.nextElement());
    EXPECT_EQ(doc.tagName(), u"last");

    CXmlDocument copy;
    copy.setText(doc.text());
    ASSERT_TRUE(copy.findElement(u"r") && copy.enterElement());
    CActionList loaded;
    loadFrom(loaded, copy);
    talvik::test::expectSameList(loaded, list, "list");
}

} // namespace
