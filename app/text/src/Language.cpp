#include "talvik/text/Language.h"

namespace talvik::text {

std::string_view toggledLanguage(std::string_view tag) {
    return tag == kEnglish ? kChinese : kEnglish;
}

std::string_view twoWayText(std::string_view tag, std::string_view chinese,
                            std::string_view english) {
    return tag == kChinese ? chinese : english;
}

std::string_view explicitText(std::string_view tag, std::string_view chinese,
                              std::string_view english) {
    if (tag == kChinese)
        return chinese;
    if (tag == kEnglish)
        return english;
    return {};
}

int languageIndex(std::string_view tag) {
    if (tag == kChinese)
        return 0;
    if (tag == kEnglish)
        return 1;
    return -1;
}

std::string_view entryNameFormat(CollectionKind kind, std::string_view tag) {
    switch (kind) {
    case CollectionKind::Combo:
        return twoWayText(tag, "组合键%d", "New Combo %d");
    case CollectionKind::Macro:
        return twoWayText(tag, "宏定义%d", "New Macro %d");
    case CollectionKind::Emulation:
        return twoWayText(tag, "模拟击键%d", "New Emu %d");
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
