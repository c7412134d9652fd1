// Profiles a legacy editor saved in GBK or Windows-1252, under the UTF-8 declaration the
// program writes or with the declaration removed.
#include "ProfileTestSupport.h"
#include "support/TestSupport.h"
#include "talvik/profile/Profile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

using namespace talvik::profile;
using namespace talvik::model;

namespace {

using talvik::test::CTempDir;
using talvik::test::expectSameConfig;
using talvik::test::readFile;
using talvik::test::resetState;
using talvik::test::writeFile;
using talvik::text::Language;

const std::string kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";

// Names as the program holds them (UTF-8) and as the legacy editor wrote them.
using SNames = std::vector<std::pair<std::string, std::string>>;

struct SLegacy {
    const char* encoding;
    SNames combos;
    SNames macros;
    SNames macroSteps; // the first macro's content
};

const SLegacy kGbk{"GB18030",
                   {{"复制", "\xB8\xB4\xD6\xC6"}, {"组合键", "\xD7\xE9\xBA\xCF\xBC\xFC"}},
                   {{"粘贴", "\xD5\xB3\xCC\xF9"}, {"宏一", "\xBA\xEA\xD2\xBB"}},
                   {{"按下 A", "\xB0\xB4\xCF\xC2 A"}}};
const SLegacy kWindows1252{"Windows-1252",
                           {{"Café", "Caf\xE9"}},
                           {{"Größe", "Gr\xF6\xDF"
                                      "e"},
                            {"Œuvre €5", "\x8Cuvre \x80"
                                         "5"}},
                           {{"Touche «A»", "Touche \xAB"
                                           "A\xBB"}}};

class ProfileEncoding : public ::testing::Test {
protected:
    void SetUp() override { setenv("LC_ALL", "C.UTF-8", 1); }

    std::string path(const std::string& name) const { return (m_dir.path() / name).string(); }

    // A model holding the names, saved as the program saves it.
    std::unique_ptr<CAppState> modelWith(const SLegacy& legacy) {
        auto state = resetState(1);
        for (const auto& [name, bytes] : legacy.combos) {
            state->keyConfig.PredefinedCombo.append(name);
        }
        for (const auto& [name, bytes] : legacy.macros) {
            state->keyConfig.PredefinedMacro.append(name);
        }
        CActionList steps(9);
        for (const auto& [name, bytes] : legacy.macroSteps) {
            steps.append(name);
        }
        state->keyConfig.PredefinedMacro.setChildAtRow(0, steps);
        EXPECT_TRUE(saveProfile(*state, path("original.pro")).ok());
        return state;
    }

    // The saved file as the legacy editor leaves it: every name in its bytes, the
    // declaration kept or dropped.
    std::string legacyFile(const SLegacy& legacy, bool declared) const {
        std::string file = readFile(path("original.pro"));
        for (const SNames* names : {&legacy.combos, &legacy.macros, &legacy.macroSteps}) {
            for (const auto& [name, bytes] : *names) {
                for (auto at = file.find(name); at != std::string::npos; at = file.find(name)) {
                    file.replace(at, name.size(), bytes);
                }
            }
        }
        EXPECT_TRUE(file.starts_with(kDeclaration));
        return declared ? file : file.substr(kDeclaration.size());
    }

    CTempDir m_dir;
};

TEST_F(ProfileEncoding, GbkAndWindows1252Names_ComeOutRightInEitherLanguageAndAreSavedAsUtf8) {
    for (const SLegacy* legacy : {&kGbk, &kWindows1252}) {
        auto saved = modelWith(*legacy);
        const std::string original = readFile(path("original.pro"));
        for (bool declared : {true, false}) {
            writeFile(path("legacy.pro"), legacyFile(*legacy, declared));
            for (Language language : {Language::Chinese, Language::English}) {
                SCOPED_TRACE(std::string(legacy->encoding) + (declared ? " declared " : " bare ") +
                             (language == Language::Chinese ? "zh" : "en"));
                auto loaded = resetState(1);
                loaded->language = language;
                const SProfileResult result = loadProfile(*loaded, path("legacy.pro"));
                ASSERT_TRUE(result.ok());
                EXPECT_EQ(result.assumedEncoding, legacy->encoding);
                EXPECT_EQ(result.message, "") << "nothing was damaged";
                expectSameConfig(loaded->keyConfig, saved->keyConfig);

                ASSERT_TRUE(saveProfile(*loaded, path("again.pro")).ok());
                EXPECT_EQ(readFile(path("again.pro")), original);
            }
        }
    }
}

TEST_F(ProfileEncoding, GbkWithoutCjkCharacters_ReadAsGb18030OnlyUnderChinese) {
    // A8 A6 is GB18030's "é" and Windows-1252's "¨¦": only the language can tell.
    const SLegacy pinyin{"GB18030", {{"Café", "Caf\xA8\xA6"}}, {}, {}};
    modelWith(pinyin);
    writeFile(path("pinyin.pro"), legacyFile(pinyin, true));
    const std::pair<Language, const char*> readings[] = {{Language::Chinese, "Café"},
                                                         {Language::English, "Caf¨¦"}};
    for (const auto& [language, name] : readings) {
        auto loaded = resetState(1);
        loaded->language = language;
        const SProfileResult result = loadProfile(*loaded, path("pinyin.pro"));
        ASSERT_TRUE(result.ok());
        EXPECT_EQ(result.assumedEncoding,
                  language == Language::Chinese ? "GB18030" : "Windows-1252");
        EXPECT_EQ(loaded->keyConfig.PredefinedCombo.items().at(0), name);
    }
}

TEST_F(ProfileEncoding, Utf8Profile_LoadsWithNoNoteAndNoAssumedEncoding) {
    auto saved = modelWith(kGbk);
    for (Language language : {Language::Chinese, Language::English}) {
        auto loaded = resetState(1);
        loaded->language = language;
        const SProfileResult result = loadProfile(*loaded, path("original.pro"));
        ASSERT_TRUE(result.ok());
        EXPECT_EQ(result.message, "");
        EXPECT_EQ(result.assumedEncoding, "");
        expectSameConfig(loaded->keyConfig, saved->keyConfig);
    }
}

TEST_F(ProfileEncoding, CharactersNoEncodingCouldRead_AreCountedInTheMessage) {
    // A byte order mark holds the file to UTF-8, so a stray byte under it is a fault.
    modelWith(kGbk);
    std::string file = readFile(path("original.pro"));
    file.replace(file.find("粘贴"), std::string("粘贴").size(), "\xFF");
    writeFile(path("marked.pro"), "\xEF\xBB\xBF" + file);
    auto loaded = resetState(1);
    const SProfileResult result = loadProfile(*loaded, path("marked.pro"));
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(result.assumedEncoding, "");
    EXPECT_EQ(result.message, "<unreadable count=\"1\"/>");
    EXPECT_EQ(loaded->keyConfig.PredefinedMacro.items()[0], "?");
}

} // namespace
