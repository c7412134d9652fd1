#include "CXmlParser.h"

#include "talvik/xml/XmlSyntax.h"

#include <algorithm>
#include <bit>
#include <optional>
#include <string_view>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace talvik::xml {

using talvik::xml::isNameEnd;
using talvik::xml::isXmlSpace;
using talvik::xml::nameEnd;

namespace {

std::u16string number(std::size_t value) {
    std::u16string digits;
    do {
        digits.insert(digits.begin(), static_cast<char16_t>(u'0' + value % 10));
        value /= 10;
    } while (value != 0);
    return digits;
}

// The first offset at or after from where text holds one of the characters Cs, or the
// text's size. Markup is mostly long runs of characters none of which matters, so they are
// looked at eight at a time where the processor can.
template <char16_t... Cs>
std::size_t findFirstOf(std::u16string_view text, std::size_t from) {
    std::size_t k = from;
#ifdef __SSE2__
    for (; k + 8 <= text.size(); k += 8) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + k));
        __m128i hits = _mm_setzero_si128();
        ((hits = _mm_or_si128(hits, _mm_cmpeq_epi16(chunk, _mm_set1_epi16(static_cast<short>(Cs))))),
         ...);
        if (const int mask = _mm_movemask_epi8(hits)) {
            return k + static_cast<std::size_t>(std::countr_zero(static_cast<unsigned>(mask))) / 2;
        }
    }
#endif
    for (; k < text.size(); ++k) {
        const char16_t c = text[k];
        if (((c == Cs) || ...)) {
            return k;
        }
    }
    return text.size();
}

#ifdef __SSE2__
// Bit i set where the unit at block + i is one of Cs, for the 16 units from block on.
template <char16_t... Cs> unsigned matches16(const char16_t* block) {
    const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block));
    const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + 8));
    __m128i lowHits = _mm_setzero_si128();
    __m128i highHits = _mm_setzero_si128();
    ((lowHits = _mm_or_si128(lowHits, _mm_cmpeq_epi16(low, _mm_set1_epi16(static_cast<short>(Cs)))),
      highHits = _mm_or_si128(highHits, _mm_cmpeq_epi16(high, _mm_set1_epi16(static_cast<short>(Cs))))),
     ...);
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_packs_epi16(lowHits, highHits)));
}

// The bits above bit.
unsigned above(unsigned mask, unsigned bit) {
    return mask & ~((2u << bit) - 1);
}
#endif

} // namespace

CXmlParser::CXmlParser(CXmlDocument& document)
    : m_doc(document), m_text(document.m_text), m_elements(document.m_elements),
      m_openNames(16, SNameHash{(document.m_flags & CXmlDocument::kFlagIgnoreCase) != 0},
                  SNameEqual{(document.m_flags & CXmlDocument::kFlagIgnoreCase) != 0}) {}

void CXmlParser::run() {
    m_elements.clear();
    m_elements.reserve(m_text.size() / 64 + 8);
    SElement document;
    document.length = static_cast<int>(m_text.size());
    m_elements.push_back(document);

    const std::u16string_view text(m_text);
    for (std::size_t pos = findFirstOf<u'<'>(text, 0); pos < text.size();
         pos = findFirstOf<u'<'>(text, markup(pos))) {
    }
    unendAbove(0, m_text.size());
    checkDocumentLevel();
}

// Handles the markup starting at the "<" at pos; returns where scanning goes on.
std::size_t CXmlParser::markup(std::size_t pos) {
    if (pos + 1 >= m_text.size()) {
        syntaxError(u"unterminated_tag_syntax", pos, u"tag");
        return pos + 1;
    }
    char16_t next = m_text[pos + 1];
    if (next == u'/') {
        return endTag(pos);
    }
    if (next == u'!') {
        return exclamation(pos);
    }
    if (next == u'?') {
        return skipTo(pos, u"?>", pos + 2, u"processing_instruction");
    }
    if (isNameEnd(next)) {
        syntaxError(u"first_tag_syntax", pos);
        return pos + 1;
    }
    return startTag(pos);
}

// Where the quote at open closes, or npos. find takes over once a terminator is known to be
// missing, and records one that is, which keeps a damaged file from being rescanned to its
// end for every later quote.
std::size_t CXmlParser::closingQuote(std::size_t open) {
    const std::u16string_view text(m_text);
    if (m_missing.empty()) {
        const std::size_t k = text[open] == u'"' ? findFirstOf<u'"'>(text, open + 1)
                                                 : findFirstOf<u'\''>(text, open + 1);
        if (k < text.size()) {
            return k;
        }
    }
    return find(text.substr(open, 1), open + 1);
}

// Scans a start tag from k, behind its name, for the ">" that closes it (k is left there;
// on "/>" at the ">" with empty set), for a "<" or the text's end that interrupts it (k at
// either), or for a quote that never closes. Quoted values may hold any of these.
CXmlParser::ETagScan CXmlParser::scanStartTag(std::size_t& k, bool& empty) {
    const std::u16string_view text(m_text);
#ifdef __SSE2__
    // What the "<", ">" or "/" at `at`, outside any value, does: it ends the scan, except a
    // "/" that does not begin "/>".
    const auto endsAt = [&](std::size_t at) -> std::optional<ETagScan> {
        if (text[at] == u'/' && !(at + 1 < text.size() && text[at + 1] == u'>')) {
            return std::nullopt;
        }
        empty = text[at] == u'/';
        k = empty ? at + 1 : at;
        return text[at] == u'<' ? ETagScan::Interrupted : ETagScan::Closed;
    };
    // A tag is mostly names and short quoted values: sixteen units are classified at once,
    // and the quotes, ends and slashes among them are taken in order from the bit masks.
    while (k + 16 <= text.size()) {
        const char16_t* block = text.data() + k;
        const unsigned doubleQuotes = matches16<u'"'>(block);
        const unsigned singleQuotes = matches16<u'\''>(block);
        const unsigned ends = matches16<u'<', u'>', u'/'>(block);
        std::size_t resume = k + 16;
        if (singleQuotes == 0) {
            // With one kind of quote, the units inside values are those behind an odd number
            // of quotes; the ends outside them are taken in order.
            unsigned inside = doubleQuotes;
            inside ^= inside << 1;
            inside ^= inside << 2;
            inside ^= inside << 4;
            inside ^= inside << 8;
            for (unsigned marks = ends & ~inside; marks != 0; marks &= marks - 1) {
                if (auto scan = endsAt(k + static_cast<unsigned>(std::countr_zero(marks)))) {
                    return *scan;
                }
            }
            if (inside & 0x8000) { // the last value runs on past the block
                const std::size_t close =
                    closingQuote(k + 31 - static_cast<unsigned>(std::countl_zero(doubleQuotes)));
                if (close == std::u16string::npos) {
                    return ETagScan::OpenQuote;
                }
                resume = close + 1;
            }
            k = resume;
            continue;
        }
        unsigned marks = doubleQuotes | singleQuotes | ends;
        while (marks != 0) {
            const auto bit = static_cast<unsigned>(std::countr_zero(marks));
            const std::size_t at = k + bit;
            const char16_t c = text[at];
            if (c == u'"' || c == u'\'') {
                const unsigned closing = above(c == u'"' ? doubleQuotes : singleQuotes, bit);
                if (closing != 0) {
                    marks = above(marks, static_cast<unsigned>(std::countr_zero(closing)));
                    continue;
                }
                const std::size_t close = closingQuote(at);
                if (close == std::u16string::npos) {
                    return ETagScan::OpenQuote;
                }
                resume = close + 1;
                break;
            }
            if (auto scan = endsAt(at)) {
                return *scan;
            }
            marks &= marks - 1;
        }
        k = resume;
    }
#endif
    while (true) {
        k = findFirstOf<u'<', u'>', u'/', u'"', u'\''>(text, k);
        if (k >= text.size() || text[k] == u'<') {
            return ETagScan::Interrupted;
        }
        const char16_t c = text[k];
        if (c == u'>') {
            return ETagScan::Closed;
        }
        if (c == u'/' && k + 1 < text.size() && text[k + 1] == u'>') {
            empty = true;
            ++k;
            return ETagScan::Closed;
        }
        if (c == u'"' || c == u'\'') {
            const std::size_t close = closingQuote(k);
            if (close == std::u16string::npos) {
                return ETagScan::OpenQuote;
            }
            k = close;
        }
        ++k;
    }
}

std::size_t CXmlParser::startTag(std::size_t pos) {
    std::size_t k = nameEnd(m_text, pos + 1);
    bool empty = false;
    switch (scanStartTag(k, empty)) {
    case ETagScan::Closed:
        break;
    case ETagScan::Interrupted:
        syntaxError(u"unterminated_tag_syntax", pos, u"start_tag");
        return k;
    case ETagScan::OpenQuote:
        syntaxError(u"unterminated_tag_syntax", pos, u"start_tag");
        return pos + 1;
    }
    SElement element;
    element.start = static_cast<int>(pos);
    element.startTagLength = static_cast<int>(k + 1 - pos);
    element.length = element.startTagLength;
    element.flags = empty ? CXmlDocument::kEmptyElement : 0;
    int index = static_cast<int>(m_elements.size());
    m_elements.push_back(element);
    m_doc.appendChild(m_open.empty() ? 0 : m_open.back(), index);
    if (!empty) {
        m_open.push_back(index);
        if (m_counting) {
            ++openCount(m_doc.nameAt(pos + 1));
        }
    }
    return k + 1;
}

std::size_t CXmlParser::endTag(std::size_t pos) {
    std::size_t end = nameEnd(m_text, pos + 2);
    if (end == pos + 2) {
        syntaxError(u"first_tag_syntax", pos);
        return pos + 1;
    }
    std::size_t close = findFirstOf<u'>', u'<'>(m_text, end);
    if (close >= m_text.size() || m_text[close] == u'<') {
        syntaxError(u"unterminated_tag_syntax", pos, u"end_tag");
        return close;
    }
    std::u16string_view name(m_text.data() + pos + 2, end - pos - 2);
    std::size_t depth = openDepthOf(name);
    while (depth > 0 && !isNamed(m_open[depth - 1], name)) {
        --depth;
    }
    if (depth == 0) {
        m_doc.addResult(u"lone_end_tag",
                        {{u"tagname", std::u16string(name)}, {u"offset", number(pos)}});
        m_elements[0].flags |= CXmlDocument::kNotWellFormed;
        return close + 1;
    }
    unendAbove(depth, pos);
    SElement& element = m_elements[m_open.back()];
    if (m_counting) {
        --openCount(name);
    }
    m_open.pop_back();
    element.length = static_cast<int>(close + 1) - element.start;
    element.endTagLength = static_cast<int>(close + 1 - pos);
    return close + 1;
}

// Elements that never got their end tag end with their start tag; their children follow
// them as siblings, which keeps every element's range inside its parent's. All open
// elements above depth are closed at once, so that every child is moved only once even
// when thousands of nested elements are left open.
void CXmlParser::unendAbove(std::size_t depth, std::size_t closedAt) {
    if (m_open.size() <= depth) {
        return;
    }
    int target = depth == 0 ? 0 : m_open[depth - 1];
    for (std::size_t k = m_open.size(); k > depth; --k) {
        SElement& element = m_elements[m_open[k - 1]];
        if (m_counting) {
            --openCount(m_doc.nameAt(element.start + 1));
        }
        m_doc.addResult(u"unended_start_tag",
                        {{u"tagname", std::u16string(m_doc.nameAt(element.start + 1))},
                         {u"offset", number(element.start)},
                         {u"offset2", number(closedAt)}});
    }
    m_elements[0].flags |= CXmlDocument::kNotWellFormed;
    int last = m_open.back();
    for (std::size_t k = depth; k < m_open.size(); ++k) {
        int index = m_open[k];
        SElement& element = m_elements[index];
        element.flags |= CXmlDocument::kUnended;
        element.length = element.startTagLength;
        element.parent = target;
        int first = element.firstChild;
        if (first == 0) {
            continue;
        }
        if (k + 1 == m_open.size()) {
            last = m_elements[first].prevSibling;
        }
        // The children chain on behind the element; the last child of every element but
        // the innermost is the next open element, so the chains join up by themselves.
        element.firstChild = 0;
        element.nextSibling = first;
        m_elements[first].prevSibling = index;
        for (int child = first; child != 0 && child != (k + 1 < m_open.size() ? m_open[k + 1] : 0);
             child = m_elements[child].nextSibling) {
            m_elements[child].parent = target;
        }
    }
    m_elements[m_elements[target].firstChild].prevSibling = last;
    m_open.resize(depth);
}

std::size_t CXmlParser::exclamation(std::size_t pos) {
    std::u16string_view rest(m_text.data() + pos, m_text.size() - pos);
    if (rest.starts_with(u"<!--")) {
        return skipTo(pos, u"-->", pos + 4, u"comment");
    }
    if (rest.starts_with(u"<!-")) {
        syntaxError(u"comment_tag_syntax", pos);
        return pos + 1;
    }
    if (rest.starts_with(u"<![CDATA[")) {
        return skipTo(pos, u"]]>", pos + 9, u"cdata_section");
    }
    if (rest.starts_with(u"<![")) {
        syntaxError(u"cdata_section_syntax", pos);
        return pos + 1;
    }
    if (rest.starts_with(u"<!DOCTYPE")) {
        return doctype(pos);
    }
    syntaxError(u"exclamation_tag_syntax", pos);
    return pos + 1;
}

std::size_t CXmlParser::skipTo(std::size_t pos, std::u16string_view terminator, std::size_t from,
                               std::u16string_view type) {
    std::size_t end = find(terminator, from);
    if (end == std::u16string::npos) {
        syntaxError(u"unterminated_tag_syntax", pos, type);
        return from;
    }
    return end + terminator.size();
}

// The declaration may carry an internal subset in brackets, whose markup declarations
// contain ">" of their own, and quoted literals that may contain anything.
std::size_t CXmlParser::doctype(std::size_t pos) {
    std::size_t k = pos + 9;
    if (!m_open.empty() || m_elements[0].firstChild != 0 || k >= m_text.size() ||
        !isXmlSpace(m_text[k])) {
        syntaxError(u"doctype_tag_syntax", pos);
    }
    if (m_doctypeUnterminated) {
        syntaxError(u"unterminated_tag_syntax", pos, u"document_type");
        return pos + 9;
    }
    int depth = 0;
    for (; k < m_text.size(); ++k) {
        char16_t c = m_text[k];
        if (c == u'"' || c == u'\'') {
            std::size_t close = find(std::u16string_view(&m_text[k], 1), k + 1);
            if (close == std::u16string::npos) {
                break;
            }
            k = close;
        } else if (c == u'[') {
            ++depth;
        } else if (c == u']' && depth > 0) {
            --depth;
        } else if (c == u'>' && depth == 0) {
            return k + 1;
        }
    }
    m_doctypeUnterminated = true;
    syntaxError(u"unterminated_tag_syntax", pos, u"document_type");
    return pos + 9;
}

// A terminator that is missing from some offset on is missing from every later offset too;
// remembering that keeps a file full of unclosed comments or quotes from being rescanned
// to its end once per "<".
std::size_t CXmlParser::find(std::u16string_view terminator, std::size_t from) {
    for (const auto& [what, missingFrom] : m_missing) {
        if (what == terminator && from >= missingFrom) {
            return std::u16string::npos;
        }
    }
    std::size_t found =
        terminator.size() == 1 ? m_text.find(terminator[0], from) : m_text.find(terminator, from);
    if (found == std::u16string::npos) {
        m_missing.emplace_back(terminator, from);
    }
    return found;
}

void CXmlParser::syntaxError(std::u16string_view word, std::size_t offset,
                             std::u16string_view type) {
    if (type.empty()) {
        m_doc.addResult(word, {{u"offset", number(offset)}});
    } else {
        m_doc.addResult(word, {{u"type", std::u16string(type)}, {u"offset", number(offset)}});
    }
    m_elements[0].flags |= CXmlDocument::kNotWellFormed;
}

namespace {

char16_t folded(char16_t c, bool fold) {
    return fold && c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

} // namespace

std::size_t CXmlParser::SNameHash::operator()(std::u16string_view name) const {
    std::size_t hash = 14695981039346656037ull;
    for (char16_t c : name) {
        hash = (hash ^ folded(c, ignoreCase)) * 1099511628211ull;
    }
    return hash;
}

bool CXmlParser::SNameEqual::operator()(std::u16string_view a, std::u16string_view b) const {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [this](char16_t x, char16_t y) {
        return folded(x, ignoreCase) == folded(y, ignoreCase);
    });
}

int& CXmlParser::openCount(std::u16string_view name) {
    return m_openNames[name];
}

// The depth of the stack of open elements down to the nearest one with this name, or 0 when
// none is open. An end tag almost always closes the innermost element; for the others, a
// count of open elements by name tells a lone end tag without walking the whole stack, which
// deeply nested damaged files would make quadratic. The count is kept only from the first
// deep mismatch on, so that well-formed documents never pay for it.
std::size_t CXmlParser::openDepthOf(std::u16string_view name) {
    if (m_open.empty()) {
        return 0;
    }
    if (isNamed(m_open.back(), name)) {
        return m_open.size();
    }
    constexpr std::size_t kShallow = 32;
    if (!m_counting && m_open.size() > kShallow) {
        m_counting = true;
        for (int open : m_open) {
            ++openCount(m_doc.nameAt(m_elements[open].start + 1));
        }
    }
    if (m_counting) {
        auto counted = m_openNames.find(name);
        if (counted == m_openNames.end() || counted->second == 0) {
            return 0;
        }
    }
    return m_open.size();
}

// Whether the element at index has this name: compared in place where case counts, without
// finding where the element's name ends first.
bool CXmlParser::isNamed(int index, std::u16string_view name) const {
    const auto at = static_cast<std::size_t>(m_elements[index].start) + 1;
    if (m_doc.m_flags & CXmlDocument::kFlagIgnoreCase) {
        return m_doc.namesEqual(m_doc.nameAt(at), name);
    }
    const std::size_t end = at + name.size();
    return end <= m_text.size() && (end == m_text.size() || isNameEnd(m_text[end])) &&
           std::u16string_view(m_text).substr(at, name.size()) == name;
}

void CXmlParser::checkDocumentLevel() {
    int root = m_elements[0].firstChild;
    if (root == 0) {
        m_doc.addResult(u"no_root_element", {});
        m_elements[0].flags |= CXmlDocument::kNotWellFormed;
    } else if (m_elements[root].nextSibling != 0) {
        m_doc.addResult(u"root_has_sibling",
                        {{u"tagname", std::u16string(m_doc.nameAt(
                                          m_elements[m_elements[root].nextSibling].start + 1))}});
        m_elements[0].flags |= CXmlDocument::kNotWellFormed;
    }
}

} // namespace talvik::xml
