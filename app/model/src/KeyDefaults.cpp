#include "talvik/model/CAppState.h"

namespace talvik::model {

namespace {

constexpr int kFnKeyNumber = 72;
constexpr int kFnCode = 156;

// The Fn layer of the factory configuration: key number, then the code for
// model 1 (which every unknown model shares), 2, 3 and 4; 0 where a model has
// no function on that key. Keys not listed have none on any model.
struct FnDefault {
    int key;
    std::array<int, 4> codeByModel;
};

constexpr FnDefault kFnDefaults[] = {
    {1, {150, 150, 0, 0}},      {10, {151, 151, 151, 151}}, {11, {135, 0, 0, 135}},
    {14, {136, 0, 0, 136}},     {15, {148, 0, 0, 148}},     {16, {138, 0, 0, 138}},
    {17, {137, 0, 0, 137}},     {18, {139, 0, 0, 139}},     {25, {142, 0, 0, 142}},
    {26, {143, 0, 0, 143}},     {67, {152, 152, 152, 152}}, {68, {153, 153, 153, 153}},
    {69, {155, 155, 155, 155}}, {72, {156, 156, 156, 156}}, {77, {159, 159, 159, 159}},
    {78, {167, 167, 0, 0}},     {81, {168, 168, 0, 0}},     {82, {169, 169, 0, 0}},
    {83, {170, 170, 0, 0}},     {84, {145, 145, 145, 145}}, {85, {146, 0, 0, 146}},
    {86, {144, 144, 144, 144}}, {87, {147, 0, 0, 147}},
};

// On the top layer every key sends itself: keys 1..74 have the hardware code of
// their key number except the Fn key, and the keys after it skip the three
// power codes 75..77.
int defaultTopCode(int key) {
    if (key == kFnKeyNumber)
        return kFnCode;
    if (key >= 1 && key <= 74)
        return key;
    if (key >= 75 && key <= kKeyCount)
        return key + 3;
    return 0;
}

int defaultFnCode(int key, int model) {
    const std::size_t column = model >= 2 && model <= 4 ? static_cast<std::size_t>(model - 1) : 0;
    for (const FnDefault& entry : kFnDefaults)
        if (entry.key == key)
            return entry.codeByModel[column];
    return 0;
}

} // namespace

int CAppState::defaultHWCode(int key, int level) const {
    if (level == 0)
        return defaultTopCode(key);
    if (level == 1)
        return defaultFnCode(key, modelNumber);
    return 0;
}

KeyMode CAppState::modeForHWCode(int code) {
    // The mouse-key settings live among the keyboard functions but belong with
    // the mouse functions.
    if (code == 157 || code == 158 || code == 173)
        return KeyMode::Mouse;
    if (code >= 75 && code <= 77)
        return KeyMode::Power;
    if (code >= 108 && code <= 125)
        return KeyMode::Multimedia;
    if (code >= 126 && code <= 134)
        return KeyMode::Mouse;
    if (code >= 135 && code <= 198)
        return KeyMode::Function;
    return KeyMode::Single;
}

void CAppState::resetToDefaults() {
    auto resetCollection = [](CActionList& collection, int sizeOfView) {
        collection.clear();
        collection.SizeOfView = sizeOfView;
    };
    resetCollection(keyConfig.PredefinedMacro, 9);
    resetCollection(keyConfig.PredefinedCombo, 6);
    resetCollection(keyConfig.PredefinedEmu, 9);
    keyConfig.LightAreas.fill(LightArea{});
    for (int key = 0; key < kKeyRows; ++key) {
        for (int level = 0; level < kLayerCount; ++level) {
            const int code = defaultHWCode(key, level);
            keyConfig.HWCode[key][level] = code;
            keyConfig.ComboKey[key][level].clear();
            keyConfig.Mode[key][level] = code == 0 ? KeyMode::NotSet : modeForHWCode(code);
        }
    }
}

} // namespace talvik::model
