#include "talvik/xml/CXmlWriter.h"

#include "XmlEntities.h"
#include "talvik/xml/CXmlDocument.h"
#include "talvik/xml/TextCodec.h"
#include "talvik/xml/XmlSyntax.h"

#include <algorithm>

namespace talvik::xml {

using talvik::xml::isValidName;

void CXmlWriter::reserve(std::size_t characters) {
    if (characters > m_capacity) {
        grow(characters - m_size);
    }
}

void CXmlWriter::grow(std::size_t characters) {
    std::size_t capacity = std::max(m_size + characters, m_capacity + m_capacity / 2);
    auto text = std::make_unique_for_overwrite<char16_t[]>(capacity);
    std::copy(m_text.get(), m_text.get() + m_size, text.get());
    m_text = std::move(text);
    m_capacity = capacity;
}

void CXmlWriter::put(std::u16string_view piece) {
    std::copy(piece.begin(), piece.end(), room(piece.size()));
    m_size += piece.size();
}

bool CXmlWriter::startElement(std::u16string_view name) {
    if (!isValidName(name)) {
        return false;
    }
    // The parent gains its first child: it is no longer written as an empty element.
    if (m_inStartTag) {
        put(u">\r\n");
    }
    put(u"<");
    m_open.push_back({m_size, name.size()});
    put(name);
    m_inStartTag = true;
    return true;
}

bool CXmlWriter::beginAttribute(std::u16string_view name) {
    if (!m_inStartTag || !isValidName(name)) {
        return false;
    }
    char16_t* at = room(name.size() + 3);
    *at++ = u' ';
    at = std::copy(name.begin(), name.end(), at);
    *at++ = u'=';
    *at = u'"';
    m_size += name.size() + 3;
    return true;
}

bool CXmlWriter::attribute(std::u16string_view name, std::u16string_view value) {
    if (!beginAttribute(name)) {
        return false;
    }
    m_scratch.clear();
    talvik::xml::appendEscapedAttribute(m_scratch, value);
    put(m_scratch);
    put(u"\"");
    return true;
}

bool CXmlWriter::attribute(std::u16string_view name, int value) {
    if (!beginAttribute(name)) {
        return false;
    }
    char16_t* start = room(talvik::xml::kMaxDecimalLength + 1);
    char16_t* at = talvik::xml::writeDecimal(start, value);
    *at = u'"';
    m_size += static_cast<std::size_t>(at - start) + 1;
    return true;
}

bool CXmlWriter::attributeUtf8(std::u16string_view name, std::string_view value) {
    m_decoded.clear();
    talvik::xml::appendDecodedUtf8(m_decoded, value);
    return attribute(name, m_decoded);
}

bool CXmlWriter::endElement() {
    if (m_open.empty()) {
        return false;
    }
    SOpenElement element = m_open.back();
    m_open.pop_back();
    if (m_inStartTag) {
        put(u"/>\r\n");
        m_inStartTag = false;
        return true;
    }
    char16_t* at = room(element.nameLength + 5);
    *at++ = u'<';
    *at++ = u'/';
    const char16_t* name = m_text.get() + element.nameStart;
    at = std::copy(name, name + element.nameLength, at);
    *at++ = u'>';
    *at++ = u'\r';
    *at = u'\n';
    m_size += element.nameLength + 5;
    return true;
}

void CXmlWriter::commentUtf8(std::string_view text) {
    m_decoded.clear();
    talvik::xml::appendDecodedUtf8(m_decoded, text);
    if (m_inStartTag) {
        put(u">\r\n");
        m_inStartTag = false;
    }
    put(u"<!-- ");
    for (const char16_t c : m_decoded) {
        // A dash after a dash, or a line end, would end the comment early or break the
        // one-tag-a-line layout.
        if (c == u'-' && m_size > 0 && m_text[m_size - 1] == u'-') {
            put(u" ");
        }
        const char16_t shown = (c == u'\r' || c == u'\n') ? u' ' : c;
        put(std::u16string_view(&shown, 1));
    }
    put(u" -->\r\n");
}

bool CXmlWriter::saveFile(const std::string& path) {
    while (endElement()) {
    }
    m_result.clear();
    return CXmlDocument::saveText(path, text(), 0, m_result);
}

} // namespace talvik::xml
