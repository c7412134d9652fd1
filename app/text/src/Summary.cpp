#include "talvik/text/Summary.h"

#include "talvik/text/KeyTables.h"

namespace talvik::text {

std::string joinedSummary(std::span<const std::string> items) {
    std::string text;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0)
            text += " | ";
        text += items[i];
    }
    return text;
}

std::string shortenedMacroItem(std::string_view item) {
    if (isDelayText(item))
        return std::string(item.substr(1, item.size() - 5));
    if (item.size() > 5 && item.ends_with(kDownSuffix))
        return std::string(item.substr(0, item.size() - kDownSuffix.size()));
    if (item.size() > 3 && item.ends_with(kUpSuffix))
        return std::string(item.substr(0, item.size() - kUpSuffix.size()));
    return std::string(item);
}

std::string macroSummary(std::span<const std::string> items) {
    std::string text;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0)
            text += ',';
        text += shortenedMacroItem(items[i]);
        if (text.size() > kMacroSummaryLimit) {
            text += " ... ...";
            break;
        }
    }
    return text;
}

} // namespace talvik::text
