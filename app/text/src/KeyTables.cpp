#include "talvik/text/KeyTables.h"

#include <cctype>
#include <climits>

namespace talvik::text {

namespace {

constexpr int kNameMask = 0x1FF;

bool matchesName(std::string_view text, std::string_view name) {
    if (!text.starts_with(name))
        return false;
    const std::string_view rest = text.substr(name.size());
    return rest.empty() || rest == kUpSuffix || rest == kDownSuffix;
}

} // namespace

int leadingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > INT_MAX)
            return negative ? INT_MIN : INT_MAX;
    }
    return static_cast<int>(negative ? -value : value);
}

void fillModeNames(ModeNameTable& names) {
    names = {{
        {"未设置", "单键", "组合键", "宏键", "模拟击键", "多媒体键", "鼠标键", "操控键", "电源键"},
        {"Not set", "Single", "Combo", "Macro", "Emulation", "Multimedia", "Mouse", "Function",
         "Power"},
    }};
}

void buildHWCodeToVk(const CodeTable& vkToHWCode, CodeTable& hwCodeToVk) {
    hwCodeToVk.fill(0);
    for (int vk = 0; vk < kCodeTableSize; ++vk) {
        const int hw = vkToHWCode[vk];
        if (hw >= 0 && hw < kCodeTableSize)
            hwCodeToVk[hw] = vk;
    }
}

std::string keyEventName(const KeyNameMap& names, int code, bool withDirection) {
    const auto found = names.find(code & kNameMask);
    if (found == names.end())
        return std::string(kNoName);
    std::string name = found->second;
    if (withDirection)
        name += static_cast<unsigned>(code) < static_cast<unsigned>(kKeyReleased) ? kDownSuffix
                                                                                  : kUpSuffix;
    return name;
}

std::string delayText(int milliseconds) {
    return "<" + std::to_string(milliseconds) + " ms>";
}

bool isDelayText(std::string_view item) {
    return item.size() > 4 && item.front() == '<' && item.find('>') == item.size() - 1;
}

int itemToCode(const KeyNameMap& names, const CodeTable& vkToHWCode, std::string_view text) {
    if (text.find("ms>") != std::string_view::npos) {
        // The number sits between the leading "<" and the trailing " ms>".
        const std::string_view number =
            text.size() > 5 ? text.substr(1, text.size() - 5) : std::string_view{};
        return leadingNumber(number);
    }
    // Ascending order matters: a name given to several codes ("Reserved",
    // "Sleep") resolves to the lowest of them.
    for (const auto& [vk, name] : names) {
        if (matchesName(text, name))
            return vk >= 0 && vk < kCodeTableSize ? vkToHWCode[vk] : 0;
    }
    return 0;
}

std::string codeToItem(const KeyNameMap& names, const CodeTable& hwCodeToVk, int code) {
    if (code < 0 || code >= kCodeTableSize)
        return std::string(kNoName);
    const auto found = names.find(hwCodeToVk[code] & kNameMask);
    return found == names.end() ? std::string(kNoName) : found->second;
}

} // namespace talvik::text
