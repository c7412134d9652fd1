#pragma once

#include "talvik/xml/CXmlDocument.h"
#include "talvik/xml/TextCodec.h"

#include <ostream>
#include <string>
#include <string_view>

inline std::string utf8(std::u16string_view text) {
    return talvik::xml::toUtf8(text);
}

// One element per line: depth, name and attributes, in document order, from the
// document's current position on.
inline void describeTree(talvik::xml::CXmlDocument& doc, int depth, std::string& out) {
    while (doc.nextElement()) {
        out += std::to_string(depth) + " " + utf8(doc.tagName());
        for (const auto& [name, value] : doc.attributes()) {
            out += " " + utf8(name) + "=[" + utf8(value) + "]";
        }
        out += "\n";
        doc.enterElement();
        describeTree(doc, depth + 1, out);
        doc.leaveElement();
    }
}
