// Text a legacy editor wrote under a UTF-8 declaration, or under none: read as GB18030 or
// Windows-1252, and said so in the result.
#include "XmlTestUtil.h"
#include "support/TestSupport.h"
#include "talvik/xml/CXmlDocument.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace talvik::xml;

namespace {

using talvik::test::CTempDir;
using talvik::test::readFile;

const std::string kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";
constexpr int kNoHint = 0;
constexpr int kCjkHint = CXmlDocument::kFlagPreferCjk;

bool has(const std::u16string& result, std::u16string_view note) {
    return result.find(note) != std::u16string::npos;
}

class XmlLegacy : public ::testing::Test {
protected:
    void SetUp() override { setenv("LC_ALL", "C.UTF-8", 1); }

    // The value of r's attribute t after loading bytes; the result is kept in m_result.
    std::u16string valueOf(const std::string& bytes, int flags) {
        CXmlDocument doc(flags);
        doc.loadBytes(bytes);
        m_result = doc.result();
        EXPECT_TRUE(doc.isWellFormed()) << utf8(m_result);
        EXPECT_TRUE(doc.findElement(u"r")) << utf8(doc.text());
        return doc.getAttribute(u"t");
    }

    std::u16string m_result;
};

TEST_F(XmlLegacy, BytesThatAreNoGb18030_ReadAsWindows1252WhateverTheHint) {
    // A high byte before a quote pairs into no GB18030 character; nor does a lead byte at
    // the very end, after text that would otherwise be GB18030.
    const std::pair<std::string, std::string> cases[] = {
        {kDeclaration + "<r t='Caf\xE9'/>", "Café"},
        {"<r t='\x8Cuvre \x80"
         "5 Gr\xF6\xDF"
         "e'/>",
         "Œuvre €5 Größe"},
        {"<r t='\xB8\xB4\xD6\xC6'/>\xD6", "¸´ÖÆ"},
    };
    for (const auto& [bytes, expected] : cases) {
        for (int flags : {kNoHint, kCjkHint}) {
            EXPECT_EQ(utf8(valueOf(bytes, flags)), expected);
            EXPECT_TRUE(has(m_result, u"<legacy_encoding encoding=\"Windows-1252\"/>"))
                << utf8(m_result);
            EXPECT_FALSE(has(m_result, u"undefined_bytes")) << utf8(m_result);
            EXPECT_FALSE(has(m_result, u"unreadable")) << utf8(m_result);
        }
    }
}

TEST_F(XmlLegacy, LatinTextThatPairsIntoGb18030_StaysWindows1252UnlessChineseIsPreferred) {
    // Each accented letter here happens to pair with the next byte into a valid GB18030
    // character, but not into a Chinese one of GB2312.
    const std::string bytes = kDeclaration + "<r t='M\xFCller \xE0\x40 Caf\xA8\xA6'/>";
    EXPECT_EQ(utf8(valueOf(bytes, kNoHint)), "Müller à@ Caf¨¦");
    EXPECT_TRUE(has(m_result, u"<legacy_encoding encoding=\"Windows-1252\"/>")) << utf8(m_result);
    const std::string forChinese = utf8(valueOf(bytes, kCjkHint));
    EXPECT_TRUE(forChinese.starts_with("M") && forChinese.ends_with("Café")) << forChinese;
    EXPECT_TRUE(has(m_result, u"<legacy_encoding encoding=\"GB18030\"/>")) << utf8(m_result);

    // Chinese in GB2312, with full-width punctuation, reads as GB18030 for anyone.
    EXPECT_EQ(utf8(valueOf(kDeclaration + "<r t='\xB8\xB4\xD6\xC6\xA3\xAC'/>", kNoHint)),
              "复制，");
    EXPECT_TRUE(has(m_result, u"<legacy_encoding encoding=\"GB18030\"/>")) << utf8(m_result);
}

TEST_F(XmlLegacy, UndefinedWindows1252Bytes_KeptAsControlsCountedAndSavedWithoutLoss) {
    // The last one before the quote keeps the bytes from pairing into GB18030.
    const std::string bytes = "<r t='a\x81\x8D\x8F\x90\x9D'/>";
    EXPECT_EQ(valueOf(bytes, kCjkHint), u"a\u0081\u008D\u008F\u0090\u009D");
    EXPECT_TRUE(has(m_result, u"<undefined_bytes encoding=\"Windows-1252\" count=\"5\"/>"))
        << utf8(m_result);
    EXPECT_FALSE(has(m_result, u"unreadable"));

    CTempDir dir;
    const std::string path = (dir.path() / "saved.xml").string();
    CXmlDocument doc;
    doc.loadBytes(bytes);
    ASSERT_TRUE(doc.saveFile(path));
    EXPECT_EQ(readFile(path), "<r t='a\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D'/>");
    EXPECT_FALSE(has(doc.result(), u"conversion_loss"));
    EXPECT_EQ(valueOf(readFile(path), kNoHint), u"a\u0081\u008D\u008F\u0090\u009D");
    EXPECT_FALSE(has(m_result, u"legacy_encoding")) << utf8(m_result);
}

TEST_F(XmlLegacy, OtherDeclaredEncodings_KeptAndTheirFaultsCounted) {
    // Windows-1252 bytes declared as such are no legacy guess; a GBK file with a byte GBK
    // has no character for keeps its encoding and says what it lost.
    EXPECT_EQ(
        utf8(valueOf("<?xml version='1.0' encoding='windows-1252'?><r t='Caf\xE9'/>", kCjkHint)),
        "Café");
    EXPECT_FALSE(has(m_result, u"legacy_encoding")) << utf8(m_result);
    EXPECT_EQ(utf8(valueOf("<?xml version='1.0' encoding='GBK'?><r t='\xB8\xB4\xFF'/>", kNoHint)),
              "复?");
    EXPECT_TRUE(has(m_result, u"<unreadable count=\"1\"/>")) << utf8(m_result);
    EXPECT_FALSE(has(m_result, u"legacy_encoding")) << utf8(m_result);
}

} // namespace
