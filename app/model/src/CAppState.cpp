#include "talvik/model/CAppState.h"

#include "talvik/text/Language.h"
#include "talvik/text/Summary.h"

#include <utility>

namespace talvik::model {

namespace {

std::array<int, kKeyRows> unreadPressCounts() {
    std::array<int, kKeyRows> counts;
    counts.fill(kUnreadPressCount);
    return counts;
}

bool validSlot(int key, int level) {
    return key >= 0 && key < kKeyRows && level >= 0 && level < kLayerCount;
}

} // namespace

CAppState::CAppState() : pressCount(unreadPressCounts()) {}

CAppState::CAppState(CDeviceEnvironment environment)
    : pressCount(unreadPressCounts()), device(std::move(environment)) {}

void CAppState::forgetKeyboard() {
    keyboard.forget();
    pressCount = unreadPressCounts();
    mostPressedKey = -1;
    leastPressedKey = -1;
    firmwarePath.clear();
}

void CAppState::buildNameTables() {
    talvik::text::fillKeyNames(keyNames);
    talvik::text::fillVkToHWCode(vkToHWCode);
    talvik::text::buildHWCodeToVk(vkToHWCode, hwCodeToVk);
    talvik::text::fillModeNames(modeNames);
    language = talvik::text::Language::Chinese;
}

std::string CAppState::keyEventName(int code, bool withDirection) const {
    return talvik::text::keyEventName(keyNames, code, withDirection);
}

int CAppState::itemToCode(std::string_view text) const {
    return talvik::text::itemToCode(keyNames, vkToHWCode, text);
}

std::string CAppState::codeToItem(int code) const {
    return talvik::text::codeToItem(keyNames, hwCodeToVk, code);
}

std::string CAppState::assignmentSummary(int key, int level) const {
    if (!validSlot(key, level))
        return {};
    const auto& items = keyConfig.ComboKey[key][level].items();
    switch (keyConfig.Mode[key][level]) {
    case KeyMode::Combo:
    case KeyMode::Emulation:
        return talvik::text::joinedSummary(items);
    case KeyMode::Macro:
        return talvik::text::macroSummary(items);
    case KeyMode::Single:
    case KeyMode::Multimedia:
    case KeyMode::Mouse:
    case KeyMode::Function:
    case KeyMode::Power:
        return codeToItem(keyConfig.HWCode[key][level]);
    case KeyMode::NotSet:
        break;
    }
    return {};
}

void CAppState::lightAreasToArray(std::span<int, kLightArrayInts> out) const {
    for (int area = 1; area <= kKeyCount; ++area) {
        const LightArea& light = keyConfig.LightAreas[area];
        const auto at = static_cast<std::size_t>(3 * (area - 1));
        out[at] = light.Red;
        out[at + 1] = light.Green;
        out[at + 2] = light.Blue;
    }
}

void CAppState::lightAreasFromArray(std::span<const int, kLightArrayInts> in) {
    for (int area = 1; area <= kKeyCount; ++area) {
        LightArea& light = keyConfig.LightAreas[area];
        const auto at = static_cast<std::size_t>(3 * (area - 1));
        light = {in[at], in[at + 1], in[at + 2]};
    }
}

} // namespace talvik::model
