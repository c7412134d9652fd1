#pragma once

#include <array>
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

} // namespace talvik::xml
