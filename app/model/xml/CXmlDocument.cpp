#include "CXmlDocument.h"

#include "CXmlParser.h"
#include "XmlEntities.h"
#include "XmlSyntax.h"

#include <algorithm>
#include <string>

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
    m_text.assign(text);
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

void CXmlDocument::addResult(
    std::u16string_view word,
    std::initializer_list<std::pair<std::u16string_view, std::u16string>> attrs) {
    if (m_result.size() > kResultLimit) {
        return;
    }
    m_result += u'<';
    m_result += word;
    for (const auto& [name, value] : attrs) {
        m_result += u' ';
        m_result += name;
        m_result += u"=\"";
        m_result += talvik::xml::escapeAttribute(value);
        m_result += u'"';
    }
    m_result += u"/>";
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

std::u16string CXmlDocument::tagName() const {
    return m_current ? std::u16string(nameAt(m_elements[m_current].start + 1)) : std::u16string();
}

bool CXmlDocument::findElement(std::u16string_view name) {
    int candidate = m_current ? m_elements[m_current].nextSibling : m_elements[m_parent].firstChild;
    for (; candidate != 0; candidate = m_elements[candidate].nextSibling) {
        if (namesEqual(nameAt(m_elements[candidate].start + 1), name)) {
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

bool CXmlDocument::enterElement() {
    if (m_current == 0) {
        return false;
    }
    m_parent = m_current;
    m_current = 0;
    return true;
}

bool CXmlDocument::leaveElement() {
    if (m_parent == 0) {
        return false;
    }
    m_current = m_parent;
    m_parent = m_elements[m_parent].parent;
    return true;
}

void CXmlDocument::resetPosition() {
    m_parent = 0;
    m_current = 0;
}

void CXmlDocument::linkChild(int parent, int child, int after) {
    SElement& element = m_elements[child];
    element.parent = parent;
    SElement& owner = m_elements[parent];
    if (owner.firstChild == 0) {
        owner.firstChild = child;
        element.prevSibling = child;
        element.nextSibling = 0;
        return;
    }
    int first = owner.firstChild;
    if (after == 0) {
        after = m_elements[first].prevSibling;
    }
    element.prevSibling = after;
    element.nextSibling = m_elements[after].nextSibling;
    m_elements[after].nextSibling = child;
    if (element.nextSibling != 0) {
        m_elements[element.nextSibling].prevSibling = child;
    } else {
        m_elements[first].prevSibling = child;
    }
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
    auto first = std::lower_bound(m_elements.begin() + 1, m_elements.end(), pos,
                                  [](const SElement& e, int p) { return e.start < p; });
    for (auto it = first; it != m_elements.end(); ++it) {
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
    auto it = std::lower_bound(m_elements.begin() + 1, m_elements.end(), static_cast<int>(offset),
                               [](const SElement& e, int p) { return e.start < p; });
    return static_cast<int>(it - m_elements.begin());
}

bool CXmlDocument::addElement(std::u16string_view name) {
    if (!isValidName(name)) {
        return false;
    }
    std::u16string tag = u"<" + std::u16string(name) + u"/>\r\n";
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

CXmlDocument::SAttributeScan CXmlDocument::scanAttributes(int index) const {
    SAttributeScan scan;
    const SElement& element = m_elements[index];
    std::size_t tagEnd = static_cast<std::size_t>(element.start + element.startTagLength);
    std::size_t k = nameEnd(m_text, static_cast<std::size_t>(element.start) + 1);
    scan.end = k;
    while (k < tagEnd) {
        char16_t c = m_text[k];
        if (isXmlSpace(c)) {
            ++k;
            continue;
        }
        if (c == u'>' || c == u'/') {
            break;
        }
        if (isNameEnd(c)) {
            ++k; // stray punctuation in a damaged tag
            continue;
        }
        SAttribute attribute{k, nameEnd(m_text, k) - k, 0, 0, 0, 0, false};
        k += attribute.nameLength;
        std::size_t afterName = k;
        while (k < tagEnd && isXmlSpace(m_text[k])) {
            ++k;
        }
        if (k < tagEnd && m_text[k] == u'=') {
            ++k;
            while (k < tagEnd && isXmlSpace(m_text[k])) {
                ++k;
            }
            readValue(k, tagEnd, attribute);
        } else {
            k = afterName;
            attribute.valueStart = attribute.replaceStart = afterName;
        }
        scan.end = k;
        scan.attributes.push_back(attribute);
    }
    return scan;
}

// Reads a quoted (or, in a damaged tag, unquoted) value at k and moves k behind it.
void CXmlDocument::readValue(std::size_t& k, std::size_t tagEnd, SAttribute& attribute) const {
    attribute.replaceStart = k;
    if (k < tagEnd && (m_text[k] == u'"' || m_text[k] == u'\'')) {
        std::size_t close = m_text.find(m_text[k], k + 1);
        close = std::min(close, tagEnd - 1);
        attribute.valueStart = k + 1;
        attribute.valueLength = close - k - 1;
        k = close + 1;
    } else {
        attribute.valueStart = k;
        while (k < tagEnd && !isXmlSpace(m_text[k]) && m_text[k] != u'>' &&
               !(m_text[k] == u'/' && k + 1 < tagEnd && m_text[k + 1] == u'>')) {
            ++k;
        }
        attribute.valueLength = k - attribute.valueStart;
    }
    attribute.replaceLength = k - attribute.replaceStart;
    attribute.hasEquals = true;
}

const CXmlDocument::SAttribute* CXmlDocument::findAttribute(const SAttributeScan& scan,
                                                            std::u16string_view name) const {
    for (const SAttribute& attribute : scan.attributes) {
        std::u16string_view candidate(m_text.data() + attribute.nameStart, attribute.nameLength);
        if (namesEqual(candidate, name)) {
            return &attribute;
        }
    }
    return nullptr;
}

bool CXmlDocument::setAttribute(std::u16string_view name, std::u16string_view value) {
    if (m_current == 0 || !isValidName(name)) {
        return false;
    }
    SAttributeScan scan = scanAttributes(m_current);
    std::u16string quoted = u"\"" + talvik::xml::escapeAttribute(value) + u"\"";
    std::size_t offset = scan.end;
    std::size_t removed = 0;
    std::u16string inserted;
    if (const SAttribute* existing = findAttribute(scan, name)) {
        offset = existing->replaceStart;
        removed = existing->replaceLength;
        inserted = existing->hasEquals ? quoted : u"=" + quoted;
    } else {
        inserted = u" " + std::u16string(name) + u"=" + quoted;
    }
    int before = static_cast<int>(m_text.size());
    replaceText(offset, removed, inserted, m_current);
    m_elements[m_current].startTagLength += static_cast<int>(m_text.size()) - before;
    return true;
}

bool CXmlDocument::setAttribute(std::u16string_view name, int value) {
    std::string digits = std::to_string(value);
    return setAttribute(name, std::u16string(digits.begin(), digits.end()));
}

std::u16string CXmlDocument::getAttribute(std::u16string_view name) const {
    if (m_current == 0) {
        return {};
    }
    SAttributeScan scan = scanAttributes(m_current);
    const SAttribute* attribute = findAttribute(scan, name);
    if (attribute == nullptr) {
        return {};
    }
    return talvik::xml::unescapeText(
        std::u16string_view(m_text.data() + attribute->valueStart, attribute->valueLength));
}

std::vector<std::pair<std::u16string, std::u16string>> CXmlDocument::attributes() const {
    std::vector<std::pair<std::u16string, std::u16string>> all;
    if (m_current == 0) {
        return all;
    }
    for (const SAttribute& a : scanAttributes(m_current).attributes) {
        all.emplace_back(m_text.substr(a.nameStart, a.nameLength),
                         talvik::xml::unescapeText(
                             std::u16string_view(m_text.data() + a.valueStart, a.valueLength)));
    }
    return all;
}
