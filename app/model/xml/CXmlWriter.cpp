#include "CXmlWriter.h"

#include "CXmlDocument.h"
#include "TextCodec.h"
#include "XmlEntities.h"
#include "XmlSyntax.h"

using talvik::xml::isValidName;

bool CXmlWriter::startElement(std::u16string_view name) {
    if (!isValidName(name)) {
        return false;
    }
    // The parent gains its first child: it is no longer written as an empty element.
    if (m_inStartTag) {
        m_text += u">\r\n";
    }
    m_text += u'<';
    m_open.push_back({m_text.size(), name.size()});
    m_text += name;
    m_inStartTag = true;
    return true;
}

bool CXmlWriter::beginAttribute(std::u16string_view name) {
    if (!m_inStartTag || !isValidName(name)) {
        return false;
    }
    m_text += u' ';
    m_text += name;
    m_text += u"=\"";
    return true;
}

bool CXmlWriter::attribute(std::u16string_view name, std::u16string_view value) {
    if (!beginAttribute(name)) {
        return false;
    }
    talvik::xml::appendEscapedAttribute(m_text, value);
    m_text += u'"';
    return true;
}

bool CXmlWriter::attribute(std::u16string_view name, int value) {
    if (!beginAttribute(name)) {
        return false;
    }
    talvik::xml::appendDecimal(m_text, value);
    m_text += u'"';
    return true;
}

bool CXmlWriter::attributeUtf8(std::u16string_view name, std::string_view value) {
    if (!beginAttribute(name)) {
        return false;
    }
    m_scratch.clear();
    talvik::xml::appendDecodedUtf8(m_scratch, value);
    talvik::xml::appendEscapedAttribute(m_text, m_scratch);
    m_text += u'"';
    return true;
}

bool CXmlWriter::endElement() {
    if (m_open.empty()) {
        return false;
    }
    SOpenElement element = m_open.back();
    m_open.pop_back();
    if (m_inStartTag) {
        m_text += u"/>\r\n";
        m_inStartTag = false;
        return true;
    }
    m_scratch.assign(m_text, element.nameStart, element.nameLength);
    m_text += u"</";
    m_text += m_scratch;
    m_text += u">\r\n";
    return true;
}

bool CXmlWriter::saveFile(const std::string& path) {
    while (endElement()) {
    }
    m_result.clear();
    return CXmlDocument::saveText(path, m_text, 0, m_result);
}
