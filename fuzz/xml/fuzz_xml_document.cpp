// Arbitrary bytes through decoding, parsing, navigation and editing: nothing may crash,
// hang or read outside the text, however damaged the input.
#include "FixedLocale.h"

#include "talvik/xml/CXmlDocument.h"

#include <cstddef>
#include <cstdint>
#include <string>

using namespace talvik::xml;

namespace {

void walk(CXmlDocument& doc, int depth) {
    while (doc.nextElement()) {
        doc.getAttribute(u"ID");
        doc.attributes();
        if (depth < 64 && doc.enterElement()) {
            walk(doc, depth + 1);
            doc.leaveElement();
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CXmlDocument doc;
    doc.loadBytes(std::string(reinterpret_cast<const char*>(data), size));
    walk(doc, 0);

    // Edits on whatever the parser made of it must leave a text that parses again.
    doc.resetPosition();
    if (doc.nextElement()) {
        doc.setAttribute(u"t1", u"<&'\">");
        doc.enterElement();
        doc.addElement(u"x");
        doc.setAttribute(u"ID", 7);
        doc.leaveElement();
        doc.addElement(u"y");
    } else {
        doc.addElement(u"Talvik(RGB)BLe");
    }
    CXmlDocument again;
    again.setText(doc.text());
    walk(again, 0);
    return 0;
}
