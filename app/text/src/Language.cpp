#include "talvik/text/Language.h"

namespace talvik::text {

namespace {
constexpr std::string_view kChineseTag = "zh-CN";
constexpr std::string_view kEnglishTag = "en-US";
} // namespace

std::string_view tagOf(Language language) {
    return language == Language::Chinese ? kChineseTag : kEnglishTag;
}

std::optional<Language> languageFromTag(std::string_view tag) {
    if (tag == kChineseTag)
        return Language::Chinese;
    if (tag == kEnglishTag)
        return Language::English;
    return std::nullopt;
}

Language toggledLanguage(Language language) {
    return language == Language::Chinese ? Language::English : Language::Chinese;
}

std::string_view textIn(Language language, std::string_view chinese, std::string_view english) {
    return language == Language::Chinese ? chinese : english;
}

std::string_view entryNameFormat(CollectionKind kind, Language language) {
    switch (kind) {
    case CollectionKind::Combo:
        return textIn(language, "组合键%d", "New Combo %d");
    case CollectionKind::Macro:
        return textIn(language, "宏定义%d", "New Macro %d");
    case CollectionKind::Emulation:
        return textIn(language, "模拟击键%d", "New Emu %d");
    }
    return {};
}

std::string formatNumbered(std::string_view format, int number) {
    std::string text(format);
    const auto at = text.find("%d");
    if (at != std::string::npos)
        text.replace(at, 2, std::to_string(number));
    return text;
}

std::string_view modelName(int model) {
    switch (model) {
    case 2:
        return "Talvik(S)BLe";
    case 3:
        return "Talvik(S)";
    case 4:
        return "Talvik(RGB)";
    default:
        return "Talvik(RGB)BLe";
    }
}

std::string firmwareFilePrefix(int model) {
    return std::string(modelName(model)) + '_';
}

bool isFirmwareFileOfModel(std::string_view fileName, int model) {
    return fileName.starts_with(firmwareFilePrefix(model));
}

} // namespace talvik::text
