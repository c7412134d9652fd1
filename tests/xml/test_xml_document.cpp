#include "XmlTestUtil.h"
#include "talvik/xml/CXmlDocument.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <regex>
#include <string>

using namespace talvik::xml;

namespace {

const std::u16string kDeclaration = u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";

bool contains(const std::u16string& text, std::u16string_view part) {
    return text.find(part) != std::u16string::npos;
}

TEST(XmlParse, DeclarationAlone_NoRootElement_ThenAddAppendsRootAfterIt) {
    CXmlDocument doc;
    doc.setText(kDeclaration);
    EXPECT_EQ(doc.result(), u"<no_root_element/>");
    EXPECT_FALSE(doc.isWellFormed());
    ASSERT_TRUE(doc.addElement(u"Talvik(RGB)BLe"));
    EXPECT_EQ(doc.text(), kDeclaration + u"<Talvik(RGB)BLe/>\r\n");
}

TEST(XmlEdit, TwoChildrenOfNewRoot_GiveFourCrLfLines) {
    CXmlDocument doc;
    doc.setText(kDeclaration);
    doc.addElement(u"Root");
    ASSERT_TRUE(doc.enterElement());
    doc.addElement(u"A");
    doc.addElement(u"B");
    EXPECT_EQ(doc.text(), kDeclaration + u"<Root>\r\n<A/>\r\n<B/>\r\n</Root>\r\n");

    // The index follows the edits: the new text parses to the same structure.
    CXmlDocument reparsed;
    reparsed.setText(doc.text());
    EXPECT_TRUE(reparsed.isWellFormed()) << utf8(reparsed.result());
}

TEST(XmlEdit, NestedBuild_FrontToBack_MatchesReparse) {
    CXmlDocument doc;
    doc.setText(kDeclaration);
    doc.addElement(u"R");
    doc.enterElement();
    for (int i = 0; i < 3; ++i) {
        doc.addElement(u"KEY");
        doc.setAttribute(u"ID", i);
        doc.enterElement();
        doc.addElement(u"ComboKey");
        doc.enterElement();
        doc.addElement(u"List");
        doc.setAttribute(u"SizeOfView", 0);
        doc.leaveElement();
        doc.leaveElement();
    }
    const std::u16string expectedKey = u"<KEY ID=\"1\">\r\n<ComboKey>\r\n<List "
                                       u"SizeOfView=\"0\"/>\r\n</ComboKey>\r\n</KEY>\r\n";
    EXPECT_TRUE(contains(doc.text(), expectedKey));
    EXPECT_TRUE(doc.text().ends_with(u"</KEY>\r\n</R>\r\n"));

    // Navigation on the edited index and on a fresh parse agree.
    CXmlDocument reparsed;
    reparsed.setText(doc.text());
    for (CXmlDocument* d : {&doc, &reparsed}) {
        d->resetPosition();
        ASSERT_TRUE(d->findElement(u"R"));
        d->enterElement();
        int keys = 0;
        while (d->findElement(u"KEY")) {
            EXPECT_EQ(d->getAttribute(u"ID"), std::u16string(1, char16_t(u'0' + keys)));
            d->enterElement();
            EXPECT_TRUE(d->findElement(u"ComboKey"));
            d->enterElement();
            EXPECT_TRUE(d->findElement(u"List"));
            EXPECT_EQ(d->getAttribute(u"SizeOfView"), u"0");
            d->leaveElement();
            d->leaveElement();
            ++keys;
        }
        EXPECT_EQ(keys, 3);
    }
}

TEST(XmlEdit, AddAfterCurrentInTheMiddle_ShiftsLaterElements) {
    CXmlDocument doc;
    doc.setText(u"<r>\r\n<a/>\r\n<c x=\"1\"/>\r\n</r>");
    doc.findElement(u"r");
    doc.enterElement();
    doc.findElement(u"a");
    ASSERT_TRUE(doc.addElement(u"b"));
    EXPECT_EQ(doc.text(), u"<r>\r\n<a/>\r\n<b/>\r\n<c x=\"1\"/>\r\n</r>");
    EXPECT_EQ(doc.tagName(), u"b");
    ASSERT_TRUE(doc.findElement(u"c"));
    EXPECT_EQ(doc.getAttribute(u"x"), u"1");
    doc.setAttribute(u"x", u"22");
    doc.leaveElement();
    doc.resetPosition();
    doc.findElement(u"r");
    doc.enterElement();
    std::u16string names;
    while (doc.nextElement()) {
        names += doc.tagName();
    }
    EXPECT_EQ(names, u"abc");
    EXPECT_EQ(doc.text(), u"<r>\r\n<a/>\r\n<b/>\r\n<c x=\"22\"/>\r\n</r>");
}

TEST(XmlEdit, SetAttributeOnExisting_ChangesValueInPlaceAndKeepsOrder) {
    CXmlDocument doc;
    doc.setText(u"<a one='1' two=\"2\" three=\"3\"/>");
    ASSERT_TRUE(doc.findElement(u"a"));
    ASSERT_TRUE(doc.setAttribute(u"two", u"twenty"));
    ASSERT_TRUE(doc.setAttribute(u"one", 100));
    ASSERT_TRUE(doc.setAttribute(u"four", -4));
    EXPECT_EQ(doc.text(), u"<a one=\"100\" two=\"twenty\" three=\"3\" four=\"-4\"/>");
}

TEST(XmlEdit, AttributeValues_EscapedOnWrite_UnescapedOnRead) {
    CXmlDocument doc;
    doc.setText(u"<a/>");
    doc.findElement(u"a");
    const std::u16string tricky = u"&amp; <b> \"q\" 'a' \u00e9\U0001F600";
    doc.setAttribute(u"t1", tricky);
    EXPECT_EQ(doc.text(), u"<a t1=\"&amp;amp; &lt;b&gt; &quot;q&quot; &apos;a&apos; "
                          u"\u00e9\U0001F600\"/>");
    EXPECT_EQ(doc.getAttribute(u"t1"), tricky);
}

TEST(XmlEdit, NoCurrentElementOrBadName_Refused) {
    CXmlDocument doc;
    doc.setText(u"<a/>");
    EXPECT_FALSE(doc.setAttribute(u"x", u"1"));
    EXPECT_EQ(doc.getAttribute(u"x"), u"");
    doc.findElement(u"a");
    EXPECT_FALSE(doc.setAttribute(u"x y", u"1"));
    EXPECT_FALSE(doc.addElement(u""));
    EXPECT_FALSE(doc.addElement(u"a>b"));
    EXPECT_EQ(doc.text(), u"<a/>");
}

TEST(XmlRead, References_NumericNamedAndUnknown) {
    CXmlDocument doc;
    doc.setText(u"<a v=\"&amp;&#x41;&lt;\" w=\"&bogus; &eacute;&Eacute; &#233;&#x1F600;\" "
                u"x=\"&#0; &amp &#x110000; &verylongname; &#xD800; & ;\"/>");
    doc.findElement(u"a");
    EXPECT_EQ(doc.getAttribute(u"v"), u"&A<");
    EXPECT_EQ(doc.getAttribute(u"w"), u"&bogus; \u00e9\u00c9 \u00e9\U0001F600");
    EXPECT_EQ(doc.getAttribute(u"x"), u"&#0; &amp &#x110000; &verylongname; &#xD800; & ;");
    EXPECT_EQ(doc.getAttribute(u"missing"), u"");
}

TEST(XmlRead, Attributes_SingleQuotesSpacesAndDamage) {
    CXmlDocument doc;
    doc.setText(u"<a p = 'x\"y' q=\"\" r=bare s/>");
    doc.findElement(u"a");
    EXPECT_EQ(doc.getAttribute(u"p"), u"x\"y");
    EXPECT_EQ(doc.getAttribute(u"q"), u"");
    EXPECT_EQ(doc.getAttribute(u"r"), u"bare");
    auto all = doc.attributes();
    ASSERT_EQ(all.size(), 4u);
    EXPECT_EQ(all[3].first, u"s");
    doc.setAttribute(u"s", u"set");
    doc.setAttribute(u"p", u"new");
    EXPECT_EQ(doc.text(), u"<a p = \"new\" q=\"\" r=bare s=\"set\"/>");
}

TEST(XmlFind, WholeNameMatch_WalksForwardAndStopsOnLastMatch) {
    CXmlDocument doc;
    doc.setText(u"<r><Talvik(S)BLe/><x n='1'/><y/><x n='2'/><Talvik(S)/></r>");
    ASSERT_TRUE(doc.findElement(u"r"));
    doc.enterElement();
    ASSERT_TRUE(doc.findElement(u"x"));
    EXPECT_EQ(doc.getAttribute(u"n"), u"1");
    ASSERT_TRUE(doc.findElement(u"x"));
    EXPECT_EQ(doc.getAttribute(u"n"), u"2");
    EXPECT_FALSE(doc.findElement(u"x"));
    EXPECT_EQ(doc.getAttribute(u"n"), u"2");

    doc.leaveElement();
    doc.enterElement();
    ASSERT_TRUE(doc.findElement(u"Talvik(S)"));
    EXPECT_EQ(doc.tagName(), u"Talvik(S)");
    doc.leaveElement();
    doc.enterElement();
    EXPECT_FALSE(doc.findElement(u"Talvik"));
    EXPECT_FALSE(doc.findElement(u"X"));
}

TEST(XmlFind, NamesHoldingDelimitersOrLongerThanTheElements_NeverMatch) {
    CXmlDocument doc;
    doc.setText(u"<r><x n='1'/><xy/><x\tm='2'/><x>t</x></r>");
    ASSERT_TRUE(doc.findElement(u"r"));
    doc.enterElement();
    for (const char16_t* name : {u"x n", u"x/", u"x>", u"", u"xyz", u"x\t"}) {
        EXPECT_FALSE(doc.findElement(name)) << utf8(name);
        doc.resetPosition();
        doc.findElement(u"r");
        doc.enterElement();
    }
    EXPECT_EQ(doc.childCount(), 0u); // no current element at this level yet
    doc.leaveElement();
    EXPECT_EQ(doc.childCount(), 4u);
    doc.enterElement();
    ASSERT_TRUE(doc.findElement(u"xy"));
    ASSERT_TRUE(doc.findElement(u"x"));
    EXPECT_EQ(doc.getAttribute(u"m"), u"2");
    ASSERT_TRUE(doc.findElement(u"x"));
    EXPECT_EQ(doc.getAttribute(u"m"), u"");
}

TEST(XmlFind, IgnoreCaseFlag) {
    CXmlDocument doc(CXmlDocument::kFlagIgnoreCase);
    doc.setText(u"<Root><Item/></ROOT>");
    EXPECT_TRUE(doc.isWellFormed()) << utf8(doc.result());
    ASSERT_TRUE(doc.findElement(u"root"));
    doc.enterElement();
    EXPECT_TRUE(doc.findElement(u"ITEM"));
}

TEST(XmlFind, EnterWithoutCurrentAndLeaveAtDocumentLevel_DoNothing) {
    CXmlDocument doc;
    doc.setText(u"<r><a/></r>");
    EXPECT_FALSE(doc.enterElement());
    EXPECT_FALSE(doc.leaveElement());
    ASSERT_TRUE(doc.findElement(u"r"));
    EXPECT_TRUE(doc.enterElement());
    EXPECT_FALSE(doc.enterElement());
    EXPECT_TRUE(doc.leaveElement());
    EXPECT_EQ(doc.tagName(), u"r");
    EXPECT_FALSE(doc.leaveElement());
    EXPECT_EQ(doc.tagName(), u"r");
}

TEST(XmlParse, LoneEndTagAndUnendedStartTag_ReportedAndStillIndexed) {
    CXmlDocument doc;
    doc.setText(u"<r></stray><open><a/><b v='1'/></r>");
    EXPECT_EQ(doc.result(), u"<lone_end_tag tagname=\"stray\" offset=\"3\"/>"
                            u"<unended_start_tag tagname=\"open\" offset=\"11\" offset2=\"31\"/>");
    EXPECT_FALSE(doc.isWellFormed());
    ASSERT_TRUE(doc.findElement(u"r"));
    doc.enterElement();
    // The unended element's children became its following siblings.
    EXPECT_TRUE(doc.findElement(u"open"));
    EXPECT_FALSE(doc.enterElement() && doc.findElement(u"a"));
    doc.leaveElement();
    EXPECT_TRUE(doc.findElement(u"a"));
    EXPECT_TRUE(doc.findElement(u"b"));
    EXPECT_EQ(doc.getAttribute(u"v"), u"1");

    // Adding after an element the parser had to repair keeps the text consistent.
    ASSERT_TRUE(doc.addElement(u"c"));
    EXPECT_EQ(doc.text(), u"<r></stray><open><a/><b v='1'/><c/>\r\n</r>");
}

TEST(XmlParse, UnclosedAtEnd_AndRootSiblings) {
    CXmlDocument doc;
    doc.setText(u"<a><b>");
    EXPECT_EQ(doc.result(), u"<unended_start_tag tagname=\"b\" offset=\"3\" offset2=\"6\"/>"
                            u"<unended_start_tag tagname=\"a\" offset=\"0\" offset2=\"6\"/>"
                            u"<root_has_sibling tagname=\"b\"/>");
    doc.setText(u"<a/><b/>");
    EXPECT_EQ(doc.result(), u"<root_has_sibling tagname=\"b\"/>");
    doc.setText(u"<?xml version='1.0'?><!DOCTYPE a [<!ENTITY e '>'>]><!-- c<x> --><a>"
                u"<![CDATA[<not/>]]><?pi <y/>?></a>");
    EXPECT_EQ(doc.result(), u"");
    EXPECT_TRUE(doc.isWellFormed());
    doc.findElement(u"a");
    doc.enterElement();
    EXPECT_FALSE(doc.nextElement());
}

TEST(XmlParse, SyntaxErrors_ReportedAndScanContinues) {
    struct SCase {
        std::u16string text;
        std::u16string result;
    };
    const SCase cases[] = {
        {u"<r>< x/><k/></r>", u"<first_tag_syntax offset=\"3\"/>"},
        {u"<r><!-x><k/></r>", u"<comment_tag_syntax offset=\"3\"/>"},
        {u"<r><![CDAT[x]]><k/></r>", u"<cdata_section_syntax offset=\"3\"/>"},
        {u"<r><!ELEMENT x><k/></r>", u"<exclamation_tag_syntax offset=\"3\"/>"},
        {u"<r><!DOCTYPE r><k/></r>", u"<doctype_tag_syntax offset=\"3\"/>"},
        {u"<r><k/><!-- open</r>", u"<unterminated_tag_syntax type=\"comment\" offset=\"7\"/>"},
        {u"<r><k/><![CDATA[ open</r>",
         u"<unterminated_tag_syntax type=\"cdata_section\" offset=\"7\"/>"},
        {u"<r><k/><? open</r>",
         u"<unterminated_tag_syntax type=\"processing_instruction\" offset=\"7\"/>"},
        {u"<r><bad a='1<k/></r>", u"<unterminated_tag_syntax type=\"start_tag\" offset=\"3\"/>"},
        {u"<r><bad <k/></r>", u"<unterminated_tag_syntax type=\"start_tag\" offset=\"3\"/>"},
        {u"<r><k/></k <x/></r>", u"<unterminated_tag_syntax type=\"end_tag\" offset=\"7\"/>"},
        {u"<r><k/></r>\n<", u"<unterminated_tag_syntax type=\"tag\" offset=\"12\"/>"},
    };
    for (const SCase& c : cases) {
        CXmlDocument doc;
        doc.setText(c.text);
        EXPECT_EQ(doc.result(), c.result) << utf8(c.text);
        EXPECT_FALSE(doc.isWellFormed());
        doc.findElement(u"r");
        doc.enterElement();
        EXPECT_TRUE(doc.findElement(u"k")) << utf8(c.text);
    }
}

TEST(XmlParse, LoneEndTagsInDeepNesting_CountedAndStillMatched) {
    // Deep enough that lone end tags are told by counting open names.
    std::u16string text;
    for (int i = 0; i < 40; ++i) {
        text += u"<a>";
    }
    text += u"<b></c></b>";
    for (int i = 0; i < 40; ++i) {
        text += u"</a>";
    }
    text += u"</a>";
    CXmlDocument doc;
    doc.setText(text);
    EXPECT_EQ(doc.result(), u"<lone_end_tag tagname=\"c\" offset=\"123\"/>"
                            u"<lone_end_tag tagname=\"a\" offset=\"291\"/>");
    int depth = 0;
    while (doc.findElement(u"a") && doc.enterElement()) {
        ++depth;
    }
    EXPECT_EQ(depth, 40);
    EXPECT_TRUE(doc.findElement(u"b"));
}

TEST(XmlParse, ResultText_StopsGrowingPastLimit) {
    std::u16string text = u"<r>";
    for (int i = 0; i < 500; ++i) {
        text += u"</nothing>";
    }
    text += u"</r>";
    CXmlDocument doc;
    doc.setText(text);
    EXPECT_GT(doc.result().size(), 999u);
    EXPECT_LT(doc.result().size(), 999u + 60u);
}

// What a document reads as, for comparing two parses: every element with its attributes,
// then the result with the offsets behind `from` moved back by `shift`.
std::string readAs(CXmlDocument& doc, std::size_t from, std::size_t shift) {
    std::string out;
    doc.resetPosition();
    describeTree(doc, 0, out);
    const std::string result = utf8(doc.result());
    static const std::regex kOffset("offset2?=\"([0-9]+)\"");
    std::size_t done = 0;
    for (auto it = std::sregex_iterator(result.begin(), result.end(), kOffset);
         it != std::sregex_iterator(); ++it) {
        const std::size_t at = static_cast<std::size_t>(it->position(1));
        std::size_t offset = std::stoul(it->str(1));
        out += result.substr(done, at - done);
        out += std::to_string(offset > from ? offset - shift : offset);
        done = at + static_cast<std::size_t>(it->length(1));
    }
    return out + result.substr(done);
}

TEST(XmlParse, StartTagsRead_TheSameWhereverTheirMarkupFallsInTheScan) {
    // Start tags are scanned in blocks of units; quotes that hold markup characters, a
    // value running on past a block, "/>" and the "<" that breaks off a damaged tag must
    // read the same on either side of a block's end and at the text's end. Spaces after
    // the name move the rest of each tag across the blocks.
    struct SCase {
        std::u16string tail; // the start tag behind its name, and what follows it
        std::string attributes;
        std::u16string result;
    };
    const std::u16string longValue(40, u'v');
    const SCase cases[] = {
        {u" a=\"x>y\"/><k/></r>", " a=[x>y]", u""},
        {u" a='<' b=\"/>\"></t><k/></r>", " a=[<] b=[/>]", u""},
        {u" a=\"it's\" b='say \"hi\"'/><k/></r>", " a=[it's] b=[say \"hi\"]", u""},
        {u" a / b/><k/></r>", " a=[]", u""}, // attributes are read up to the slash
        {u" a=\"" + longValue + u"\" b='" + longValue + u"'/><k/></r>",
         " a=[" + std::string(40, 'v') + "] b=[" + std::string(40, 'v') + "]", u""},
        {u" a=\"1\" <k/></r>", " a=[1]",
         u"<unterminated_tag_syntax type=\"start_tag\" offset=\"3\"/>"},
        {u" a=\"open<k/></r>", "", u"<unterminated_tag_syntax type=\"start_tag\" offset=\"3\"/>"},
        {u" a='open\" b=\"x\"/><k/></r>", "",
         u"<unterminated_tag_syntax type=\"start_tag\" offset=\"3\"/>"},
        {u" a=\"1\"/", "",
         u"<unterminated_tag_syntax type=\"start_tag\" offset=\"3\"/>"
         u"<unended_start_tag tagname=\"r\" offset=\"0\" offset2=\"12\"/>"},
    };
    for (const SCase& c : cases) {
        const std::u16string plain = u"<r><t" + c.tail;
        CXmlDocument reference;
        reference.setText(plain);
        const bool wellFormed = c.result.empty();
        EXPECT_EQ(reference.isWellFormed(), wellFormed) << utf8(plain);
        if (wellFormed) {
            EXPECT_EQ(reference.result(), u"") << utf8(plain);
            reference.findElement(u"r");
            reference.enterElement();
            ASSERT_TRUE(reference.findElement(u"t")) << utf8(plain);
            std::string read;
            for (const auto& [name, value] : reference.attributes()) {
                read += " " + utf8(name) + "=[" + utf8(value) + "]";
            }
            EXPECT_EQ(read, c.attributes) << utf8(plain);
            EXPECT_TRUE(reference.findElement(u"k")) << utf8(plain);
        } else {
            EXPECT_TRUE(reference.result().starts_with(c.result)) << utf8(reference.result());
        }
        const std::string expected = readAs(reference, 3, 0);
        for (std::size_t spaces = 1; spaces <= 17; ++spaces) {
            const std::u16string moved = u"<r><t" + std::u16string(spaces, u' ') + c.tail;
            CXmlDocument doc;
            doc.setText(moved);
            EXPECT_EQ(readAs(doc, 3, spaces), expected) << utf8(moved);
        }
    }
}

TEST(XmlParse, PathologicalInput_StaysLinear) {
    // Unclosed quotes, comments and lone end tags over a deep stack would rescan the text
    // once per tag if nothing remembered what is missing. Four times the input must cost
    // about four times the work, not sixteen; processor time, so a busy machine does not
    // count against the parser.
    const auto parseCost = [](int tags) {
        std::u16string text;
        for (int i = 0; i < tags; ++i) {
            text += u"<a>";
        }
        for (int i = 0; i < tags; ++i) {
            text += u"</b><!--<a '";
        }
        CXmlDocument doc;
        const std::clock_t started = std::clock();
        doc.setText(text);
        const std::clock_t spent = std::clock() - started;
        EXPECT_FALSE(doc.isWellFormed());
        EXPECT_TRUE(doc.findElement(u"a"));
        return std::max<double>(static_cast<double>(spent), 1.0);
    };
    const double small = parseCost(25000);
    const double large = parseCost(100000);
    EXPECT_LT(large / small, 9.0) << "work grows faster than the input";
}

} // namespace
