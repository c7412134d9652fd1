#pragma once

#include "talvik/xml/CXmlDocument.h"
#include "talvik/xml/TextCodec.h"

#include <string_view>
#include <vector>

namespace talvik::xml {

// CXmlWriter's calls carried out through a document's editing interface, from the document's
// current position: for callers that hold a document rather than a writer, and so that the
// writer's text can be checked against what editing the document gives.
class CXmlDocumentBuilder {
public:
    explicit CXmlDocumentBuilder(CXmlDocument& doc) : m_doc(doc) {}

    bool startElement(std::u16string_view name) {
        // The first child of an element is added from inside it.
        if (!m_entered.empty() && !m_entered.back()) {
            m_entered.back() = m_doc.enterElement();
        }
        if (!m_doc.addElement(name)) {
            return false;
        }
        m_entered.push_back(false);
        return true;
    }
    bool attribute(std::u16string_view name, std::u16string_view value) {
        return m_doc.setAttribute(name, value);
    }
    bool attribute(std::u16string_view name, int value) { return m_doc.setAttribute(name, value); }
    bool attributeUtf8(std::u16string_view name, std::string_view value) {
        return m_doc.setAttribute(name, talvik::xml::fromUtf8(value));
    }
    // Back to the element itself as the current one, as after adding it.
    bool endElement() {
        if (m_entered.empty()) {
            return false;
        }
        if (m_entered.back()) {
            m_doc.leaveElement();
        }
        m_entered.pop_back();
        return true;
    }

private:
    CXmlDocument& m_doc;
    std::vector<bool> m_entered;
};

} // namespace talvik::xml
