#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace talvik::xml {

inline bool isXmlSpace(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

// Names end only at white space and the few characters that delimit markup; everything
// else, parentheses included, belongs to the name, because the profile's root names carry
// the model name in parentheses.
inline bool isNameEnd(char16_t c) {
    static constexpr auto kEnds = [] {
        std::array<bool, 128> ends{};
        for (char e : std::string_view("!\"'/;<=>?\\ \t\r\n")) {
            ends[static_cast<unsigned char>(e)] = true;
        }
        return ends;
    }();
    return c < 128 && kEnds[c];
}

inline std::size_t nameEnd(std::u16string_view text, std::size_t offset) {
    while (offset < text.size() && !isNameEnd(text[offset])) {
        ++offset;
    }
    return offset;
}

inline bool isValidName(std::u16string_view name) {
    return !name.empty() && nameEnd(name, 0) == name.size();
}

// One attribute of a start tag, as offsets into the text that holds the tag.
struct SAttributeSpan {
    std::size_t nameStart = 0, nameLength = 0;
    std::size_t valueStart = 0, valueLength = 0;     // the value as written, without quotes
    std::size_t replaceStart = 0, replaceLength = 0; // the value with its quotes
    bool hasEquals = false;
    bool hasReference = false; // an "&" in the value: it needs unescaping
    bool isExpected = false;   // the name is the one the reader said it expected
};

// Reads a quoted (or, in a damaged tag, unquoted) value at k and moves k behind it. The
// text ends where the start tag ends, so a missing closing quote stops before the ">".
inline void scanValue(std::u16string_view text, std::size_t& k, SAttributeSpan& attribute) {
    const std::size_t end = text.size();
    attribute.replaceStart = k;
    attribute.hasReference = false;
    if (k < end && (text[k] == u'"' || text[k] == u'\'')) {
        const char16_t quote = text[k];
        std::size_t close = k + 1;
        bool reference = false;
        for (; close + 1 < end && text[close] != quote; ++close) {
            reference |= text[close] == u'&';
        }
        attribute.valueStart = k + 1;
        attribute.valueLength = close - k - 1;
        attribute.hasReference = reference;
        k = close + 1;
    } else {
        attribute.valueStart = k;
        while (k < end && !isXmlSpace(text[k]) && text[k] != u'>' &&
               !(text[k] == u'/' && k + 1 < end && text[k + 1] == u'>')) {
            attribute.hasReference |= text[k] == u'&';
            ++k;
        }
        attribute.valueLength = k - attribute.valueStart;
    }
    attribute.replaceLength = k - attribute.replaceStart;
    attribute.hasEquals = true;
}

// Whether the text at k holds `name` followed by "=": then the name scan would end exactly
// there, provided the name is valid, and the scan can be skipped.
inline bool hasNameAt(std::u16string_view text, std::size_t k, std::u16string_view name) {
    if (name.empty() || text.size() - k <= name.size() || text[k + name.size()] != u'=') {
        return false;
    }
    // Compared here rather than by memcmp: the names are a few characters long.
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (text[k + i] != name[i]) {
            return false;
        }
    }
    return true;
}

// Reads the attribute at or after k of the start tag that ends where the text ends; false at
// the end of the tag. Inline because a profile load reads over a million attributes; a
// reader that knows which (valid) name most likely comes next passes it as expected.
inline bool scanAttribute(std::u16string_view text, std::size_t& k, SAttributeSpan& attribute,
                          std::u16string_view expected = {}) {
    const std::size_t end = text.size();
    while (k < end) {
        char16_t c = text[k];
        if (c == u'>' || c == u'/') {
            return false;
        }
        if (isNameEnd(c)) {
            ++k; // white space, or stray punctuation in a damaged tag
            continue;
        }
        attribute.nameStart = k;
        attribute.isExpected = hasNameAt(text, k, expected);
        k = attribute.isExpected ? k + expected.size() : nameEnd(text, k);
        attribute.nameLength = k - attribute.nameStart;
        std::size_t afterName = k;
        while (k < end && isXmlSpace(text[k])) {
            ++k;
        }
        if (k < end && text[k] == u'=') {
            ++k;
            while (k < end && isXmlSpace(text[k])) {
                ++k;
            }
            scanValue(text, k, attribute);
        } else {
            k = afterName;
            attribute.valueStart = attribute.replaceStart = afterName;
            attribute.valueLength = attribute.replaceLength = 0;
            attribute.hasEquals = attribute.hasReference = false;
        }
        return true;
    }
    return false;
}

} // namespace talvik::xml
