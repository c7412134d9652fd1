#include "CtlText.h"

#include <cstdlib>

namespace talvik::ctl {

text::Language languageForLocale(const char* lcAll, const char* lcMessages, const char* lang) {
    for (const char* value : {lcAll, lcMessages, lang}) {
        if (value != nullptr && *value != '\0') {
            return std::string_view(value).starts_with("zh") ? text::Language::Chinese
                                                             : text::Language::English;
        }
    }
    return text::Language::English;
}

text::Language languageOfProcess() {
    return languageForLocale(std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"),
                             std::getenv("LANG"));
}

std::string fill(std::string_view format, std::initializer_list<std::string_view> args) {
    std::string out;
    out.reserve(format.size());
    for (std::size_t i = 0; i < format.size(); ++i) {
        const char next = i + 1 < format.size() ? format[i + 1] : '\0';
        const auto index = static_cast<std::size_t>(next - '1');
        if (format[i] == '%' && next >= '1' && next <= '9' && index < args.size()) {
            out += *(args.begin() + index);
            ++i;
        } else {
            out += format[i];
        }
    }
    return out;
}

std::string_view tr(text::Language language, const SText& text) {
    return text::textIn(language, text.chinese, text.english);
}

} // namespace talvik::ctl
