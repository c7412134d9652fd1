#pragma once

#include <string_view>

namespace talvik::xml {

inline bool isXmlSpace(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

// Names end only at white space and the few characters that delimit markup; everything
// else, parentheses included, belongs to the name, because the profile's root names carry
// the model name in parentheses.
inline bool isNameEnd(char16_t c) {
    switch (c) {
    case u'!':
    case u'"':
    case u'\'':
    case u'/':
    case u';':
    case u'<':
    case u'=':
    case u'>':
    case u'?':
    case u'\\':
        return true;
    default:
        return isXmlSpace(c);
    }
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

} // namespace talvik::xml
