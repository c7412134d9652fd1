#include "XmlTestUtil.h"
#include "support/TestSupport.h"
#include "talvik/xml/CXmlDocument.h"
#include "talvik/xml/CXmlDocumentBuilder.h"
#include "talvik/xml/CXmlWriter.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <functional>
#include <string>

using namespace talvik::xml;

namespace {

using talvik::test::CTempDir;
using talvik::test::readFile;

const std::u16string kDeclaration = u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";

// Runs the same calls through a writer and through a document's editing interface; the
// writer's text must be the document's, character for character.
template <typename Calls>
std::u16string writtenAndCompared(const Calls& calls, std::u16string_view prologue = kDeclaration) {
    CXmlWriter writer(prologue);
    calls(writer);
    CXmlDocument doc;
    doc.setText(prologue);
    CXmlDocumentBuilder builder(doc);
    calls(builder);
    EXPECT_EQ(utf8(writer.text()), utf8(doc.text()));
    return std::u16string(writer.text());
}

TEST(XmlWriter, EmptyElementsChildrenAndNesting_LaidOutAsTheDocumentLaysThemOut) {
    auto calls = [](auto& out) {
        out.startElement(u"Root(S)");
        out.startElement(u"Empty");
        out.endElement();
        out.startElement(u"WithAttributes");
        out.attribute(u"a", 1);
        out.attribute(u"b", u"two");
        out.endElement();
        out.startElement(u"Parent");
        out.attribute(u"n", 3);
        out.startElement(u"Child");
        out.startElement(u"Grandchild");
        out.attribute(u"deep", -1);
        out.endElement();
        out.endElement();
        out.startElement(u"Child");
        out.endElement();
        out.endElement();
        out.startElement(u"After");
        out.endElement();
        out.endElement();
    };
    EXPECT_EQ(utf8(writtenAndCompared(calls)), utf8(kDeclaration) +
                                                   "<Root(S)>\r\n"
                                                   "<Empty/>\r\n"
                                                   "<WithAttributes a=\"1\" b=\"two\"/>\r\n"
                                                   "<Parent n=\"3\">\r\n"
                                                   "<Child>\r\n"
                                                   "<Grandchild deep=\"-1\"/>\r\n"
                                                   "</Child>\r\n"
                                                   "<Child/>\r\n"
                                                   "</Parent>\r\n"
                                                   "<After/>\r\n"
                                                   "</Root(S)>\r\n");

    // A root alone, and a prologue-less document, the same way.
    writtenAndCompared([](auto& out) {
        out.startElement(u"r");
        out.endElement();
    });
    writtenAndCompared(
        [](auto& out) {
            out.startElement(u"r");
            out.startElement(u"c");
            out.endElement();
            out.endElement();
        },
        u"");
}

TEST(XmlWriter, AttributeValues_EscapedAsSetAttributeEscapes_AndReadBackUnchanged) {
    const std::u16string values[] = {
        u"&<>\"'",
        u"&amp; stays escaped twice",
        u"tab\there, line\r\nbreak, \x01 and \x1f controls",
        u"\u4e2d\u6587 \u00e9 \U0001F600",
        u"",
    };
    std::u16string text = writtenAndCompared([&](auto& out) {
        out.startElement(u"r");
        for (const std::u16string& value : values) {
            out.startElement(u"v");
            out.attribute(u"t1", value);
            out.endElement();
        }
        out.startElement(u"n");
        out.attribute(u"min", INT_MIN);
        out.attribute(u"max", INT_MAX);
        out.attribute(u"zero", 0);
        out.endElement();
        out.endElement();
    });
    EXPECT_NE(text.find(u"t1=\"&amp;&lt;&gt;&quot;&apos;\""), std::u16string::npos);
    EXPECT_NE(text.find(u"min=\"-2147483648\" max=\"2147483647\" zero=\"0\""),
              std::u16string::npos);

    CXmlDocument doc;
    doc.setText(text);
    ASSERT_TRUE(doc.isWellFormed()) << utf8(doc.result());
    ASSERT_TRUE(doc.findElement(u"r") && doc.enterElement());
    for (const std::u16string& value : values) {
        ASSERT_TRUE(doc.findElement(u"v"));
        EXPECT_EQ(utf8(doc.getAttribute(u"t1")), utf8(value));
    }
}

TEST(XmlWriter, Utf8Values_DecodedAsTheDocumentDecodes_MalformedBytesBecomeQuestionMarks) {
    std::u16string text = writtenAndCompared([](auto& out) {
        out.startElement(u"r");
        out.attributeUtf8(u"ok", "\xE4\xB8\xAD & \xF0\x9F\x98\x80");
        out.attributeUtf8(u"bad", "a\xFF"
                                  "b\xC3");
        out.endElement();
    });
    EXPECT_NE(text.find(u"ok=\"\u4e2d &amp; \U0001F600\" bad=\"a?b?\""), std::u16string::npos);
}

TEST(XmlWriter, CallsOutOfOrderOrBadNames_RefusedWithoutWriting) {
    CXmlWriter writer(kDeclaration);
    EXPECT_FALSE(writer.attribute(u"a", 1)); // no element yet
    EXPECT_FALSE(writer.endElement());
    EXPECT_FALSE(writer.startElement(u""));
    EXPECT_FALSE(writer.startElement(u"a b"));
    EXPECT_FALSE(writer.startElement(u"a/"));
    ASSERT_TRUE(writer.startElement(u"r"));
    EXPECT_FALSE(writer.attribute(u"x=y", 1));
    ASSERT_TRUE(writer.startElement(u"c"));
    ASSERT_TRUE(writer.endElement());
    const std::u16string before(writer.text());
    EXPECT_FALSE(writer.attribute(u"late", 1)); // the parent's start tag is already closed
    EXPECT_FALSE(writer.attributeUtf8(u"late", "x"));
    EXPECT_EQ(utf8(writer.text()), utf8(before));
    EXPECT_TRUE(writer.endElement());
    EXPECT_FALSE(writer.endElement());
    EXPECT_EQ(utf8(writer.text()), utf8(kDeclaration) + "<r>\r\n<c/>\r\n</r>\r\n");
}

class XmlWriterFile : public ::testing::Test {
protected:
    void SetUp() override { setenv("LC_ALL", "C.UTF-8", 1); }

    std::string path(const char* name) const { return (m_dir.path() / name).string(); }

    // Saves through a writer and through a document holding the writer's finished text.
    void expectSameFile(CXmlWriter& writer) {
        ASSERT_TRUE(writer.saveFile(path("writer.xml"))) << utf8(writer.result());
        CXmlDocument doc;
        doc.setText(writer.text());
        ASSERT_TRUE(doc.saveFile(path("document.xml")));
        EXPECT_EQ(readFile(path("writer.xml")), readFile(path("document.xml")));
        EXPECT_EQ(utf8(writer.result()), utf8(doc.result()));
    }

    CTempDir m_dir;
};

TEST_F(XmlWriterFile, SavedLikeADocument_InTheDeclaredEncoding_OpenElementsEnded) {
    CXmlWriter utf8Writer(kDeclaration);
    utf8Writer.startElement(u"r");
    utf8Writer.attribute(u"t1", u"\u00e9\u4e2d\U0001F600 & more");
    utf8Writer.startElement(u"c");
    expectSameFile(utf8Writer);
    EXPECT_EQ(readFile(path("writer.xml")),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
              "<r t1=\"\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80 &amp; more\">\r\n<c/>\r\n</r>\r\n");

    CXmlWriter latin(u"<?xml version=\"1.0\" encoding=\"windows-1252\"?>\r\n");
    latin.startElement(u"r");
    latin.attribute(u"t1", u"\u00e9\u20ac and \u4e2d, which it cannot hold");
    expectSameFile(latin);
    EXPECT_NE(utf8(latin.result()).find("conversion_loss"), std::string::npos);
}

TEST_F(XmlWriterFile, UnwritablePath_FalseWithTheDocumentsFileError) {
    CXmlWriter writer(kDeclaration);
    writer.startElement(u"r");
    EXPECT_FALSE(writer.saveFile(path("no/such/folder.xml")));
    CXmlDocument doc;
    doc.setText(writer.text());
    EXPECT_FALSE(doc.saveFile(path("no/such/folder.xml")));
    EXPECT_EQ(utf8(writer.result()), utf8(doc.result()));
    EXPECT_NE(utf8(writer.result()).find("<file_error msg=\"No such file or directory\""),
              std::string::npos);
}

} // namespace
