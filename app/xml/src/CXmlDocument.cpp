#include "talvik/xml/CXmlDocument.h"

#include "CXmlParser.h"
#include "XmlEntities.h"
#include "talvik/xml/XmlSyntax.h"

#include <algorithm>
#include <string>

namespace talvik::xml {

using talvik::xml::isNameEnd;
using talvik::xml::isValidName;
using talvik::xml::isXmlSpace;
using talvik::xml::nameEnd;

namespace {

constexpr std::size_t kResultLimit = 999;

char16_t foldAscii(char16_t c) {
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

} // namespace

void CXmlDocument::setText(std::u16string_view text) {
    m_text.assign(text.substr(0, kMaxTextLength));
    m_result.clear();
    parse();
}

void CXmlDocument::parse() {
    resetPosition();
    CXmlParser(*this).run();
}

bool CXmlDocument::isWellFormed() const {
    return !(m_elements[0].flags & kNotWellFormed);
}

void CXmlDocument::appendResult(std::u16string& result, std::u16string_view word,
                                SResultAttributes attrs) {
    if (result.size() > kResultLimit) {
        return;
    }
    result += u'<';
    result += word;
    for (const auto& [name, value] : attrs) {
        result += u' ';
        result += name;
        result += u"=\"";
        result += talvik::xml::escapeAttribute(value);
        result += u'"';
    }
    result += u"/>";
}

std::u16string_view CXmlDocument::nameAt(std::size_t offset) const {
    std::size_t end = nameEnd(m_text, offset);
    return std::u16string_view(m_text).substr(offset, end - offset);
}

bool CXmlDocument::namesEqual(std::u16string_view a, std::u16string_view b) const {
    if (!(m_flags & kFlagIgnoreCase)) {
        return a == b;
    }
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char16_t x, char16_t y) { return foldAscii(x) == foldAscii(y); });
}

bool CXmlDocument::hasNameEndingAt(std::size_t at, std::u16string_view name) const {
    std::size_t end = at + name.size();
    if (end > m_text.size() || (end < m_text.size() && !isNameEnd(m_text[end]))) {
        return false;
    }
    for (std::size_t k = 0; k < name.size(); ++k) {
        if (m_text[at + k] != name[k]) {
            return false;
        }
    }
    return true;
}

std::u16string CXmlDocument::tagName() const {
    return m_current ? std::u16string(nameAt(m_elements[m_current].start + 1)) : std::u16string();
}

bool CXmlDocument::findElement(std::u16string_view name) {
    // Element names never hold a character that ends names, so a name that does matches
    // nothing, and any other can be compared in place without scanning for the name's end.
    if (!isValidName(name)) {
        return false;
    }
    const bool ignoreCase = (m_flags & kFlagIgnoreCase) != 0;
    int candidate = m_current ? m_elements[m_current].nextSibling : m_elements[m_parent].firstChild;
    for (; candidate != 0; candidate = m_elements[candidate].nextSibling) {
        std::size_t at = static_cast<std::size_t>(m_elements[candidate].start) + 1;
        if (ignoreCase ? namesEqual(nameAt(at), name) : hasNameEndingAt(at, name)) {
            m_current = candidate;
            return true;
        }
    }
    return false;
}

bool CXmlDocument::nextElement() {
    int candidate = m_current ? m_elements[m_current].nextSibling : m_elements[m_parent].firstChild;
    if (candidate == 0) {
        return false;
    }
    m_current = candidate;
    return true;
}

std::size_t CXmlDocument::childCount() const {
    std::size_t count = 0;
    if (m_current != 0) {
        for (int child = m_elements[m_current].firstChild; child != 0;
             child = m_elements[child].nextSibling) {
            ++count;
        }
    }
    return count;
}

void CXmlDocument::resetPosition() {
    m_parent = 0;
    m_current = 0;
}

void CXmlDocument::linkChild(int parent, int child, int after) {
    const int first = m_elements[parent].firstChild;
    if (first == 0 || after == 0 || after == m_elements[first].prevSibling) {
        appendChild(parent, child);
        return;
    }
    SElement& element = m_elements[child];
    element.parent = parent;
    element.prevSibling = after;
    element.nextSibling = m_elements[after].nextSibling;
    m_elements[after].nextSibling = child;
    m_elements[element.nextSibling].prevSibling = child;
}

// Records stay in document order, so an element added before others takes their place in
// the table and every link to them moves up by one. Building front to back always adds at
// the end, where nothing has to move.
void CXmlDocument::insertRecord(int index, const SElement& element) {
    m_elements.insert(m_elements.begin() + index, element);
    if (index + 1 == static_cast<int>(m_elements.size())) {
        return;
    }
    auto bump = [index](int& link) {
        if (link >= index) {
            ++link;
        }
    };
    for (std::size_t i = 0; i < m_elements.size(); ++i) {
        if (static_cast<int>(i) == index) {
            continue;
        }
        SElement& e = m_elements[i];
        bump(e.parent);
        bump(e.firstChild);
        bump(e.nextSibling);
        bump(e.prevSibling);
    }
    bump(m_parent);
    bump(m_current);
}

// Replaces text at offset and keeps the index true: elements behind the edit move,
// elements around it (innermost first, starting at the given one) grow or shrink.
void CXmlDocument::replaceText(std::size_t offset, std::size_t removed,
                               std::u16string_view inserted, int innermost) {
    m_text.replace(offset, removed, inserted);
    int delta = static_cast<int>(inserted.size()) - static_cast<int>(removed);
    int pos = static_cast<int>(offset);
    for (auto it = m_elements.begin() + indexAt(offset); it != m_elements.end(); ++it) {
        it->start += delta;
    }
    for (int e = innermost; e != 0; e = m_elements[e].parent) {
        SElement& element = m_elements[e];
        if (element.start < pos && pos < element.start + element.length) {
            element.length += delta;
        }
    }
    m_elements[0].length = static_cast<int>(m_text.size());
}

int CXmlDocument::indexAt(std::size_t offset) const {
    // Documents are built front to back, where every edit lies behind the last element.
    if (m_elements.back().start < static_cast<int>(offset)) {
        return static_cast<int>(m_elements.size());
    }
    auto it = std::lower_bound(m_elements.begin() + 1, m_elements.end(), static_cast<int>(offset),
                               [](const SElement& e, int p) { return e.start < p; });
    return static_cast<int>(it - m_elements.begin());
}

bool CXmlDocument::hasRoomFor(std::size_t characters) const {
    return characters <= kMaxTextLength && m_text.size() <= kMaxTextLength - characters;
}

void CXmlDocument::reserve(std::size_t characters, std::size_t elements) {
    m_text.reserve(characters);
    m_elements.reserve(elements + 1);
}

bool CXmlDocument::addElement(std::u16string_view name) {
    if (!isValidName(name) || !hasRoomFor(name.size() * 2 + 8)) {
        return false;
    }
    std::u16string& tag = m_scratch;
    tag.assign(u"<").append(name).append(u"/>\r\n");
    if (m_current == 0 && m_parent != 0 && (m_elements[m_parent].flags & kEmptyElement)) {
        splitEmptyParent(tag);
        return true;
    }
    std::size_t offset = m_text.size();
    int after = 0;
    if (m_current != 0) {
        const SElement& current = m_elements[m_current];
        offset = static_cast<std::size_t>(current.start + current.length);
        std::size_t next = offset;
        while (next < m_text.size() && isXmlSpace(m_text[next])) {
            ++next;
        }
        if (next < m_text.size() && m_text[next] == u'<') {
            offset = next;
        }
        after = m_current;
    } else if (m_parent != 0) {
        const SElement& parent = m_elements[m_parent];
        offset = static_cast<std::size_t>(parent.start + parent.length - parent.endTagLength);
    }
    int index = indexAt(offset);
    replaceText(offset, 0, tag, m_parent);
    SElement element;
    element.start = static_cast<int>(offset);
    element.length = element.startTagLength = static_cast<int>(tag.size() - 2);
    element.flags = kEmptyElement;
    insertRecord(index, element);
    linkChild(m_parent, index, after);
    m_current = index;
    return true;
}

// "<P a="1"/>" becomes "<P a="1">", the child's line and "</P>" on lines of their own.
void CXmlDocument::splitEmptyParent(std::u16string_view childTag) {
    std::u16string_view parentName = nameAt(m_elements[m_parent].start + 1);
    std::u16string inserted = u">\r\n";
    inserted += childTag;
    inserted += u"</";
    inserted += parentName;
    SElement& parent = m_elements[m_parent];
    std::size_t slash = static_cast<std::size_t>(parent.start + parent.startTagLength - 2);
    int endTagLength = static_cast<int>(parentName.size()) + 3;
    replaceText(slash, 1, inserted, m_parent);
    SElement& grown = m_elements[m_parent];
    grown.startTagLength -= 1;
    grown.endTagLength = endTagLength;
    grown.flags &= ~kEmptyElement;

    SElement element;
    element.start = static_cast<int>(slash + 3);
    element.length = element.startTagLength = static_cast<int>(childTag.size() - 2);
    element.flags = kEmptyElement;
    int index = m_parent + 1;
    insertRecord(index, element);
    linkChild(m_parent, index, 0);
    m_current = index;
}

std::size_t CXmlDocument::attributesStart(int index) const {
    return nameEnd(m_text, static_cast<std::size_t>(m_elements[index].start) + 1);
}

std::size_t CXmlDocument::startTagEnd(int index) const {
    const SElement& element = m_elements[index];
    return static_cast<std::size_t>(element.start + element.startTagLength);
}

// Reads the attribute at or after k; false at the end of the start tag.
bool CXmlDocument::nextAttribute(std::size_t& k, std::size_t tagEnd, SAttribute& attribute) const {
    return talvik::xml::scanAttribute(std::u16string_view(m_text.data(), tagEnd), k, attribute);
}

// The named attribute of an element; when there is none, end is where a new one goes.
bool CXmlDocument::findAttribute(int index, std::u16string_view name, SAttribute& found,
                                 std::size_t& end) const {
    std::size_t k = attributesStart(index);
    std::size_t tagEnd = startTagEnd(index);
    end = k;
    while (nextAttribute(k, tagEnd, found)) {
        end = k;
        if (namesEqual(std::u16string_view(m_text.data() + found.nameStart, found.nameLength),
                       name)) {
            return true;
        }
    }
    return false;
}

bool CXmlDocument::setAttribute(std::u16string_view name, std::u16string_view value) {
    if (m_current == 0 || !isValidName(name) || !hasRoomFor(name.size() + value.size() * 6 + 4)) {
        return false;
    }
    SAttribute existing{};
    std::size_t end = 0;
    bool found = false;
    std::u16string_view startTag(m_text.data() + m_elements[m_current].start,
                                 startTagEnd(m_current) - m_elements[m_current].start);
    if (startTag.find(name, 1) == std::u16string_view::npos) {
        // The name appears nowhere in the tag, so it is new: it goes behind the last
        // attribute, found from the tag's end without reading the others.
        end = startTag.size() - ((m_elements[m_current].flags & kEmptyElement) ? 2 : 1);
        while (end > 1 && isXmlSpace(startTag[end - 1])) {
            --end;
        }
        end += static_cast<std::size_t>(m_elements[m_current].start);
    } else {
        found = findAttribute(m_current, name, existing, end);
    }
    std::u16string& inserted = m_scratch; // reused: building a document sets many attributes
    inserted.clear();
    std::size_t offset = end;
    std::size_t removed = 0;
    if (found) {
        offset = existing.replaceStart;
        removed = existing.replaceLength;
        if (!existing.hasEquals) {
            inserted += u'=';
        }
    } else {
        inserted += u' ';
        inserted += name;
        inserted += u'=';
    }
    inserted += u'"';
    talvik::xml::appendEscapedAttribute(inserted, value);
    inserted += u'"';
    int before = static_cast<int>(m_text.size());
    replaceText(offset, removed, inserted, m_current);
    m_elements[m_current].startTagLength += static_cast<int>(m_text.size()) - before;
    return true;
}

bool CXmlDocument::setAttribute(std::u16string_view name, int value) {
    std::u16string digits;
    talvik::xml::appendDecimal(digits, value);
    return setAttribute(name, digits);
}

std::u16string CXmlDocument::getAttribute(std::u16string_view name) const {
    SAttribute attribute{};
    std::size_t end = 0;
    if (m_current == 0 || !findAttribute(m_current, name, attribute, end)) {
        return {};
    }
    return talvik::xml::unescapeText(
        std::u16string_view(m_text.data() + attribute.valueStart, attribute.valueLength));
}

std::vector<std::pair<std::u16string, std::u16string>> CXmlDocument::attributes() const {
    std::vector<std::pair<std::u16string, std::u16string>> all;
    forEachAttribute([&all](std::u16string_view name, std::u16string_view value) {
        all.emplace_back(name, value);
    });
    return all;
}

void CXmlDocument::unescapeInto(std::u16string_view value, std::u16string& out) {
    out.clear();
    talvik::xml::appendUnescaped(out, value);
}

} // namespace talvik::xml
