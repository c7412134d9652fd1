#include "CharsetTable.h"
#include "XmlTestUtil.h"
#include "support/TestSupport.h"
#include "talvik/xml/CXmlDocument.h"
#include "talvik/xml/TextCodec.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

using namespace talvik::xml;

namespace {

using talvik::test::CTempDir;
using talvik::test::readFile;
using talvik::test::writeFile;

const std::string kUtf8Body = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
                              "<r t1=\"\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80\"/>\r\n";
const std::u16string kExpectedText =
    u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<r t1=\"\u00e9\u4e2d\U0001F600\"/>\r\n";

std::string utf16Bytes(const std::u16string& text, bool bigEndian) {
    std::string bytes;
    for (char16_t c : text) {
        char lo = static_cast<char>(c & 0xFF), hi = static_cast<char>(c >> 8);
        bytes += bigEndian ? std::string{hi, lo} : std::string{lo, hi};
    }
    return bytes;
}

class XmlFile : public ::testing::Test {
protected:
    void SetUp() override { setenv("LC_ALL", "C.UTF-8", 1); }

    std::u16string load(const std::string& bytes, std::u16string* result = nullptr) {
        auto path = m_dir.path() / "in.xml";
        writeFile(path, bytes);
        CXmlDocument doc;
        EXPECT_TRUE(doc.loadFile(path.string()));
        if (result) {
            *result = doc.result();
        }
        return doc.text();
    }

    CTempDir m_dir;
};

TEST_F(XmlFile, ByteOrderMarksAndDeclaration_AllLoadToTheSameText) {
    std::u16string result;
    EXPECT_EQ(load(kUtf8Body, &result), kExpectedText);
    EXPECT_TRUE(result.starts_with(u"<read encoding=\"UTF-8\"")) << utf8(result);

    EXPECT_EQ(load("\xEF\xBB\xBF" + kUtf8Body, &result), kExpectedText);
    EXPECT_TRUE(result.starts_with(u"<bom encoding=\"UTF-8\"/>")) << utf8(result);

    EXPECT_EQ(load("\xFF\xFE" + utf16Bytes(kExpectedText, false), &result), kExpectedText);
    EXPECT_TRUE(result.starts_with(u"<bom encoding=\"UTF-16LE\"/>")) << utf8(result);

    EXPECT_EQ(load("\xFE\xFF" + utf16Bytes(kExpectedText, true), &result), kExpectedText);
    EXPECT_NE(result.find(u"<endian_swap/>"), std::u16string::npos) << utf8(result);

    // No declaration, no mark: the first "<" says UTF-8.
    std::string bare = kUtf8Body.substr(kUtf8Body.find("<r"));
    EXPECT_EQ(load(bare), kExpectedText.substr(kExpectedText.find(u"<r")));
}

TEST_F(XmlFile, DeclaredWindows1252_ConvertedThroughThatCodePage) {
    std::u16string result;
    std::u16string text =
        load("<?xml version='1.0' encoding='windows-1252'?><r t='\x80\xE9\x9F'/>", &result);
    EXPECT_EQ(text, u"<?xml version='1.0' encoding='windows-1252'?><r t='\u20ac\u00e9\u0178'/>");
    EXPECT_NE(result.find(u"<converted_to encoding=\"UTF-16\" length=\"57\"/>"),
              std::u16string::npos)
        << utf8(result);
}

TEST_F(XmlFile, HtmlMetaCharset_CountsAsTheDeclaration) {
    std::u16string text = load(
        "<html><head><meta http-equiv='Content-Type' content='text/html; charset=windows-1252'>"
        "</head><body class='\xE9'></body></html>");
    EXPECT_NE(text.find(u"class='\u00e9'"), std::u16string::npos) << utf8(text);
    text = load("<html><head><meta charset=\"koi8-r\"></head><body class='\xC1'></body></html>");
    EXPECT_NE(text.find(u"class='\u0430'"), std::u16string::npos) << utf8(text);
}

TEST_F(XmlFile, UndeclaredNonUtf8_UnderUtf8Locale_ReadAsTheLegacyEditorWroteIt) {
    // Not valid UTF-8 as a whole, so all of it is one legacy editor's: "\xC3\xA9" too.
    std::u16string result;
    EXPECT_EQ(load(" <r t='caf\xE9 \xC3\xA9'/>", &result), u" <r t='caf\u00e9 \u00c3\u00a9'/>");
    EXPECT_NE(result.find(u"<utf8_detection encoding=\"ANSI:UTF-8\"/>"), std::u16string::npos)
        << utf8(result);
    EXPECT_NE(result.find(u"<legacy_encoding encoding=\"Windows-1252\"/>"), std::u16string::npos);
    EXPECT_EQ(load(" <r t='\xB8\xB4\xD6\xC6'/>", &result), u" <r t='\u590d\u5236'/>"); // GBK
    EXPECT_NE(result.find(u"<legacy_encoding encoding=\"GB18030\"/>"), std::u16string::npos);
    load(" <r t='\xC3\xA9'/>", &result);
    EXPECT_NE(result.find(u"<utf8_detection encoding=\"UTF-8\"/>"), std::u16string::npos);
    EXPECT_EQ(result.find(u"legacy_encoding"), std::u16string::npos);
}

TEST_F(XmlFile, MalformedUtf8UnderAMark_ReplacedAndCounted_NullsRemoved) {
    // The mark holds the file to UTF-8. C0 80 passes the quick test but is an overlong
    // form: one "?" for each sequence.
    std::u16string result;
    EXPECT_EQ(
        load("\xEF\xBB\xBF<r t='\xC0\x80|\xED\xA0\x80|\xF4\x90\x80\x80'/>" + std::string(2, '\0'),
             &result),
        u"<r t='?|?|?'/>");
    EXPECT_NE(result.find(u"<nulls_removed count=\"2\"/>"), std::u16string::npos);
    EXPECT_NE(result.find(u"<unreadable count=\"3\"/>"), std::u16string::npos) << utf8(result);
    EXPECT_EQ(result.find(u"legacy_encoding"), std::u16string::npos);
}

TEST_F(XmlFile, Utf16WithoutMark_FoundThroughItsDeclaration) {
    std::u16string text = u"<?xml version=\"1.0\" encoding=\"UTF-16\"?><r t=\"\u4e2d\"/>";
    EXPECT_EQ(load(utf16Bytes(text, false)), text);
}

TEST_F(XmlFile, Save_FreshDocumentWritesUtf8WithoutMark_LoadedMarkIsKept) {
    auto out = m_dir.path() / "out.xml";
    CXmlDocument doc;
    doc.setText(kExpectedText);
    ASSERT_TRUE(doc.saveFile(out.string()));
    EXPECT_EQ(readFile(out), kUtf8Body);
    EXPECT_EQ(utf8(doc.result()), "<converted_from encoding=\"UTF-16\" length=\"" +
                                      std::to_string(kExpectedText.size()) +
                                      "\"/><write encoding=\"UTF-8\" length=\"" +
                                      std::to_string(kUtf8Body.size()) + "\"/>");

    writeFile(out, "\xFF\xFE" + utf16Bytes(kExpectedText, false));
    CXmlDocument loaded;
    ASSERT_TRUE(loaded.loadFile(out.string()));
    EXPECT_EQ(loaded.flags(), CXmlDocument::kFlagUtf16Le);
    ASSERT_TRUE(loaded.saveFile(out.string()));
    EXPECT_EQ(readFile(out), "\xFF\xFE" + utf16Bytes(kExpectedText, false));
}

TEST_F(XmlFile, Save_LargeTextWithPairsAcrossWritePieces_RoundTrips) {
    // The text is written in pieces; a surrogate pair on a piece boundary must not be split.
    std::u16string text = u"<r t=\"";
    while (text.size() < 200000) {
        text += u"a\U0001F600";
    }
    text += u"\"/>";
    for (int shift = 0; shift < 2; ++shift) {
        CXmlDocument doc;
        doc.setText(text.substr(shift));
        auto out = m_dir.path() / "large.xml";
        ASSERT_TRUE(doc.saveFile(out.string()));
        EXPECT_EQ(doc.result().find(u"conversion_loss"), std::u16string::npos);
        EXPECT_EQ(load(readFile(out)), text.substr(shift));
    }
}

TEST_F(XmlFile, Save_DeclaredCodePage_ReportsWhatItCannotRepresent) {
    auto out = m_dir.path() / "out.xml";
    CXmlDocument doc;
    doc.setText(u"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><r t=\"\u00e9\u4e2d\"/>");
    ASSERT_TRUE(doc.saveFile(out.string()));
    EXPECT_EQ(readFile(out), "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><r t=\"\xE9?\"/>");
    EXPECT_NE(doc.result().find(u"<conversion_loss count=\"1\"/>"), std::u16string::npos);
}

TEST_F(XmlFile, Failures_FileErrorAndFalse) {
    CXmlDocument doc;
    EXPECT_FALSE(doc.loadFile((m_dir.path() / "missing.xml").string()));
    EXPECT_EQ(doc.result(), u"<file_error msg=\"No such file or directory\" n=\"2\"/>");
    doc.setText(u"<r/>");
    EXPECT_FALSE(doc.saveFile((m_dir.path() / "no" / "such" / "dir.xml").string()));
    EXPECT_NE(doc.result().find(u"<file_error msg="), std::u16string::npos) << utf8(doc.result());

    CXmlDocument streaming(CXmlDocument::kFlagReadFile);
    writeFile(m_dir.path() / "in.xml", "<r/>");
    EXPECT_FALSE(streaming.loadFile((m_dir.path() / "in.xml").string()));
    EXPECT_FALSE(streaming.saveFile((m_dir.path() / "out.xml").string()));
}

// A bound on the bytes read: a file at the bound loads, one byte more is refused unread,
// and input that tells no size (a device, a pipe) is refused once it passes the bound.
TEST_F(XmlFile, SizeBound_RefusesLargerFilesAndEndlessInput) {
    const std::string path = (m_dir.path() / "in.xml").string();
    const std::string text = "<r t=\"" + std::string(100, 'x') + "\"/>";
    writeFile(path, text);
    CXmlDocument atBound;
    ASSERT_TRUE(atBound.loadFile(path, text.size()));
    EXPECT_TRUE(atBound.findElement(u"r"));

    const std::u16string tooLarge = u"<file_error msg=\"File too large\" n=\"27\"/>";
    CXmlDocument over;
    EXPECT_FALSE(over.loadFile(path, text.size() - 1));
    EXPECT_EQ(over.result(), tooLarge);
    EXPECT_EQ(over.text(), u"") << "nothing of the file was kept";

    CXmlDocument endless;
    EXPECT_FALSE(endless.loadFile("/dev/zero", 1 << 20));
    EXPECT_EQ(endless.result(), tooLarge);
    CXmlDocument empty;
    EXPECT_TRUE(empty.loadFile("/dev/null", 0)) << "nothing at all is within any bound";
}

// A UTF-8 file is decoded while it is read, in pieces; whatever the pieces' boundaries cut
// through (a character, a byte that is not UTF-8, a zero byte, the end of the file), the
// load must give the text, notes and flags of the same bytes decoded whole.
class XmlFileInPieces : public XmlFile {
protected:
    void expectSameAsWhole(const std::string& bytes, const std::string& what) {
        auto path = m_dir.path() / "in.xml";
        writeFile(path, bytes);
        CXmlDocument fromFile;
        ASSERT_TRUE(fromFile.loadFile(path.string())) << what;
        CXmlDocument whole;
        whole.loadBytes(bytes);
        ASSERT_EQ(fromFile.text(), whole.text()) << what;
        EXPECT_EQ(utf8(fromFile.result()), utf8(whole.result())) << what;
        EXPECT_EQ(fromFile.flags(), whole.flags()) << what;
        EXPECT_EQ(fromFile.isWellFormed(), whole.isWellFormed()) << what;
    }

    // A document whose byte at offset is the first of insert, padded with ASCII around it.
    static std::string documentWith(std::size_t offset, const std::string& insert,
                                    std::size_t total) {
        const std::string head = "<r t=\"";
        std::string bytes = head + std::string(offset - head.size(), 'a') + insert;
        bytes += std::string(total > bytes.size() + 4 ? total - bytes.size() - 4 : 0, 'b');
        return bytes + "\"/>\n";
    }
};

TEST_F(XmlFileInPieces, CharactersAcrossEveryPossibleCut_DecodeAsWhole) {
    // Around each power of two from 64 KiB to 1 MiB one of these lands on any cut.
    const std::string characters[] = {"\xC3\xA9", "\xE4\xB8\xAD", "\xF0\x9F\x98\x80",
                                      "\r\n&amp;&#x1F600;\xC3\xA9"};
    for (std::size_t boundary = 1 << 16; boundary <= (1 << 20); boundary <<= 1) {
        for (std::size_t shift = 0; shift < 5; ++shift) {
            for (const std::string& c : characters) {
                expectSameAsWhole(documentWith(boundary - shift, c, boundary + 4096),
                                  std::to_string(boundary) + "-" + std::to_string(shift));
            }
        }
    }
}

TEST_F(XmlFileInPieces, WhatTheGeneralReadingHandles_FoundLateStillReadAsWhole) {
    const std::size_t late = 300000;
    const std::size_t size = 400000;
    // A Latin-1 byte: the file goes to the legacy reading as a whole.
    expectSameAsWhole(documentWith(late, "caf\xE9", size), "legacy byte");
    // A lead byte cut off by the end of the file, and one followed by ASCII.
    expectSameAsWhole(documentWith(late, "x", size) + "\xE4\xB8", "cut at the end");
    expectSameAsWhole(documentWith(late,
                                   "\xE4\xB8"
                                   "a",
                                   size),
                      "cut short");
    // Zero bytes are removed and counted.
    expectSameAsWhole(documentWith(late, std::string("a\0b", 3), size), "zero byte");
    // Under a byte order mark malformed bytes are replaced and counted, not re-read.
    expectSameAsWhole("\xEF\xBB\xBF" + documentWith(late, "\xFF", size), "marked, malformed");
    expectSameAsWhole("\xEF\xBB\xBF" + documentWith(late, "\xC3\xA9", size), "marked");
    // Declared otherwise, or undeclared and not beginning with markup.
    expectSameAsWhole("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>" +
                          documentWith(late, "\xE9", size),
                      "declared Latin-1");
    expectSameAsWhole(" " + documentWith(late, "\xC3\xA9", size), "undeclared, leading space");
    expectSameAsWhole("<?xml version='1.0' encoding='utf-8'?>" +
                          documentWith(late, "\xC3\xA9", size),
                      "declared UTF-8");
}

TEST_F(XmlFileInPieces, SmallAndTinyFiles_DecodeAsWhole) {
    expectSameAsWhole("<", "one byte");
    expectSameAsWhole("\xEF\xBB\xBF", "a mark alone");
    expectSameAsWhole("<r t=\"\xC3\xA9\"/>", "small");
    expectSameAsWhole("<r t=\"\xC3\"/>", "small, malformed");
}

TEST(XmlCharsets, TellingRowsAndUnknownNames) {
    using talvik::xml::codePageFromName;
    const std::pair<std::u16string, int> rows[] = {
        {u"utf-8", 65001},
        {u"UTF8", 65001},
        {u"cp65001", 65001},
        {u"utf-16", 1200},
        {u"UTF-16LE", 1200},
        {u"unicode", 1200},
        {u"ucs-2", 1200},
        {u"utf-16be", 1201},
        {u"unicodeFFFE", 1201},
        {u"utf-32", 12000},
        {u"UTF-32LE", 12000},
        {u"utf-32be", 12001},
        {u"gb2312", 936},
        {u"GBK", 936},
        {u"cp936", 936},
        {u"gb18030", 54936},
        {u"Big5", 950},
        {u"Shift_JIS", 932},
        {u"cp932", 932},
        {u"euc-kr", 51949},
        {u"ks_c_5601-1987", 949},
        {u"ISO-8859-1", 28591},
        {u"latin1", 28591},
        {u"windows-1252", 1252},
        {u"US-ASCII", 20127},
        {u"utf-7", 65000},
        {u"koi8-r", 20866},
        {u"no-such-charset", 0},
        {std::u16string(100, u'a'), 0},
        {u"", 0},
    };
    for (const auto& [name, codePage] : rows) {
        EXPECT_EQ(codePageFromName(name), codePage) << utf8(name);
    }
}

} // namespace

namespace {

TEST(XmlCodec, Utf8RoundTrip_RandomTextAcrossBlockBoundaries) {
    std::mt19937 random(7);
    for (int round = 0; round < 300; ++round) {
        std::u16string text;
        std::size_t length = random() % 80;
        for (std::size_t i = 0; i < length; ++i) {
            switch (random() % 5) {
            case 0:
                text += static_cast<char16_t>(0x80 + random() % 0x700);
                break;
            case 1:
                text += u"\U0001F600";
                break;
            case 2:
                text += static_cast<char16_t>(0xE000 + random() % 0x1000);
                break;
            default:
                text += static_cast<char16_t>(0x20 + random() % 0x5F);
            }
        }
        std::string bytes = talvik::xml::toUtf8(text);
        ASSERT_EQ(talvik::xml::fromUtf8(bytes), text);
        ASSERT_TRUE(talvik::xml::passesUtf8Test(bytes));
    }
    // ASCII is narrowed in blocks: the first other unit may fall anywhere in a block, and
    // units just above ASCII must not pass for it.
    const std::pair<char16_t, std::string> others[] = {{u'\x80', "\xC2\x80"},
                                                       {u'\xFF', "\xC3\xBF"},
                                                       {u'\x100', "\xC4\x80"},
                                                       {u'\xFF7F', "\xEF\xBD\xBF"}};
    for (std::size_t ascii = 0; ascii < 40; ++ascii) {
        for (const auto& [unit, bytes] : others) {
            std::u16string text = std::u16string(ascii, u'a') + unit + u"z\x7F";
            ASSERT_EQ(talvik::xml::toUtf8(text), std::string(ascii, 'a') + bytes + "z\x7F")
                << ascii;
        }
    }
    std::size_t lost = 0;
    EXPECT_EQ(talvik::xml::encodeUtf8(u"a\xD800z", lost), "a?z");
    EXPECT_EQ(lost, 1u);
}

} // namespace
