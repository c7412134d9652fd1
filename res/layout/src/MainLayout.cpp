#include "talvik/layout/MainKeys.h"
#include "talvik/layout/SkinLayout.h"

#include <utility>

namespace talvik::layout {
namespace {

struct ButtonSpec {
    int id;
    const char* zh;
    const char* en;
    SkinRect wide;   // models with the backlight button
    SkinRect narrow; // models without it; left == -1: no such button
};

// Command buttons, slots 0..12. Their captions are never drawn (the labels
// below carry the visible texts) but other windows may look them up.
constexpr SkinRect kSame{-2, -2, -2, -2};
constexpr SkinRect kAbsent{-1, -1, -1, -1};
const ButtonSpec kButtons[] = {
    {85, "English", "简体中文", {855, 92, 950, 128}, {750, 92, 845, 128}},
    {86, "读取计数", "ReadCounter", {750, 92, 845, 128}, {645, 92, 737, 128}},
    {87, "帮助", "Help", {1167, 20, 1192, 50}, kSame},
    {88, "最小化", "Minimise", {1140, 20, 1165, 50}, kSame},
    {89, "退出", "Exit", {1194, 20, 1219, 50}, kSame},
    {90, "保存配置", "Save", {15, 92, 110, 128}, kSame},
    {91, "打开配置", "Open", {120, 92, 215, 128}, kSame},
    {92, "恢复默认", "Default", {225, 92, 325, 128}, kSame},
    {93, "写入按键", "Write key settings", {330, 92, 430, 128}, kSame},
    {94, "设置背光", "LightSet", {435, 92, 535, 128}, kAbsent},
    {95, "读取配置", "ReadAll", {540, 92, 635, 128}, {435, 92, 535, 128}},
    {96, "固件升级", "Update", {645, 92, 737, 128}, {540, 92, 635, 128}},
    {97, "上档键", "Level 1", {1113, 80, 1163, 135}, kSame},
};

struct LabelSpec {
    int id;
    const char* zh;
    const char* en;
    SkinRect wide;
    SkinRect narrow;
    unsigned format;
    Rgb activeColor;
};

// clang-format off
const LabelSpec kLabels[] = {
    {65, "English", "简体中文", {855, 101, 950, 130}, {750, 101, 845, 130}, kTextCentre, kCaptionGrey},
    {67, "读取计数", "ReadCounter", {750, 101, 845, 130}, {650, 101, 735, 130}, kTextCentre, kCaptionGrey},
    {70, "保存配置", "Save", {18, 101, 110, 130}, kSame, kTextCentre, kCaptionGrey},
    {71, "打开配置", "Open", {124, 101, 215, 130}, kSame, kTextCentre, kCaptionGrey},
    {72, "恢复默认", "Default", {225, 101, 325, 130}, kSame, kTextCentre, kCaptionGrey},
    {73, "写入按键", "WriteKeys", {330, 101, 430, 130}, kSame, kTextCentre, kCaptionGrey},
    {74, "设置背光", "LightSet", {435, 101, 535, 130}, kAbsent, kTextCentre, kCaptionGrey},
    {75, "读取配置", "ReadAll", {540, 101, 635, 130}, {435, 101, 535, 130}, kTextCentre, kCaptionGrey},
    {76, "固件升级", "Update", {645, 101, 735, 130}, {540, 101, 635, 130}, kTextCentre, kCaptionGrey},
    {77, "顶层", "TopLayer", {1050, 100, 1110, 125}, kSame, kTextRight, kLayerActiveGreen},
    {78, "Fn组合层", "FnLayer", {1165, 100, 1225, 125}, kSame, kTextLeft, kLayerActiveGreen},
    {55, "组合键", "Combo", {336, 483, 406, 503}, kSame, kTextLeft, kCaptionGrey},
    {56, "宏定义键", "Macro", {431, 483, 501, 503}, kSame, kTextLeft, kCaptionGrey},
    {57, "模拟击键", "Emulation", {526, 483, 596, 503}, kSame, kTextLeft, kCaptionGrey},
    {58, "多媒体键", "Multimedia", {624, 483, 694, 503}, kSame, kTextLeft, kCaptionGrey},
    {59, "鼠标键", "Mouse", {716, 483, 786, 503}, kSame, kTextLeft, kCaptionGrey},
    {60, "操控键", "Function", {813, 483, 883, 503}, kSame, kTextLeft, kCaptionGrey},
    {61, "电源键", "Power", {914, 483, 984, 503}, kSame, kTextLeft, kCaptionGrey},
};
// clang-format on

SkinRect pick(const SkinRect& wide, const SkinRect& narrow, bool withBacklight) {
    if (withBacklight || narrow == kSame) {
        return wide;
    }
    return narrow;
}

} // namespace

ElementSpec makeElementSpec(int slot, int id, std::string zh, std::string en, SkinRect rect) {
    ElementSpec e;
    e.slot = slot;
    e.id = id;
    e.zh = std::move(zh);
    e.en = std::move(en);
    e.rect = rect;
    return e;
}

ElementSpec makeLabelSpec(int slot, int id, std::string zh, std::string en, SkinRect rect,
                          unsigned format, int font) {
    ElementSpec e = makeElementSpec(slot, id, std::move(zh), std::move(en), rect);
    e.isLabel = true;
    e.textFormat = format;
    e.fontIndex = font;
    return e;
}

bool hasBacklightButton(int model) {
    return model != 2 && model != 3;
}

std::vector<ElementSpec> mainElements(int model) {
    const bool wide = hasBacklightButton(model);
    std::vector<ElementSpec> out;
    int slot = 0;
    for (const ButtonSpec& b : kButtons) {
        const SkinRect rect = pick(b.wide, b.narrow, wide);
        if (rect.left >= 0) {
            ElementSpec e;
            e.slot = slot;
            e.id = b.id;
            e.zh = b.zh;
            e.en = b.en;
            e.rect = rect;
            out.push_back(e);
        }
        ++slot; // an absent button leaves its slot empty
    }
    for (int key = 1; key <= kKeyCount; ++key) {
        const KeySpec& k = keySpec(key);
        ElementSpec e;
        e.slot = 12 + key;
        e.id = 99 + key;
        e.zh = k.name;
        e.en = k.name;
        e.rect = {k.left, k.top, k.right, k.bottom};
        e.keyIndex = key;
        e.legend = k.legend;
        out.push_back(e);
    }
    slot = 100;
    for (const LabelSpec& l : kLabels) {
        const SkinRect rect = pick(l.wide, l.narrow, wide);
        if (rect.left < 0) {
            continue; // absent labels close up: later ones move up a slot
        }
        ElementSpec e;
        e.slot = slot++;
        e.id = l.id;
        e.zh = l.zh;
        e.en = l.en;
        e.rect = rect;
        e.isLabel = true;
        e.activeTextColor = l.activeColor;
        e.textFormat = l.format;
        out.push_back(e);
    }
    return out;
}

const std::array<Rgb, 9>& modeColors() {
    return kModeMarkers;
}

MainPictureIds mainPictureIds(int model) {
    switch (model) {
    case 2:
        return {146, 148, 147};
    case 3:
        return {154, 155, 153};
    case 4:
        return {157, 158, 156};
    default:
        return {101, 102, 103};
    }
}

int pictureResolution(double needed) {
    for (const int resolution : kPictureResolutions) {
        if (needed <= resolution) {
            return resolution;
        }
    }
    return kPictureResolutions.back();
}

std::string pictureFolder(int resolution) {
    return resolution == 1 ? "skin" : "skin@" + std::to_string(resolution) + "x";
}

std::string picturePath(int id, int resolution) {
    return ":/" + pictureFolder(resolution) + "/" + std::to_string(id) + ".pix";
}

std::string iconPath(int id) {
    return ":/icon/" + std::to_string(id) + ".pix";
}

} // namespace talvik::layout
