#include "talvik/layout/DeviceLayout.h"
#include "talvik/layout/MainKeys.h"

#include <array>

namespace talvik::layout {
namespace {

// Light index, left, right, top, bottom. The block left of the navigation
// keys sits 11 pixels higher than the main window's keys, so these are a
// table of their own rather than a shift of the main window's.
struct LightKey {
    int index;
    int left;
    int right;
    int top;
    int bottom;
};

// clang-format off
constexpr LightKey kLightKeys[kKeyCount] = {
    {1, 211, 255, 105, 150}, {2, 303, 345, 105, 150}, {3, 349, 391, 105, 150},
    {4, 395, 437, 105, 150}, {5, 441, 483, 105, 150}, {6, 509, 551, 105, 150},
    {7, 555, 597, 105, 150}, {8, 601, 643, 105, 150}, {9, 647, 689, 105, 150},
    {10, 715, 757, 105, 150}, {11, 761, 803, 105, 150}, {12, 807, 849, 105, 150},
    {13, 853, 895, 105, 150},
    {14, 211, 253, 161, 204}, {15, 257, 299, 161, 204}, {16, 303, 345, 161, 204},
    {17, 349, 391, 161, 204}, {18, 395, 437, 161, 204}, {19, 441, 483, 161, 204},
    {20, 487, 529, 161, 204}, {21, 533, 574, 161, 204}, {22, 578, 619, 161, 204},
    {23, 623, 665, 161, 204}, {24, 669, 711, 161, 204}, {25, 715, 757, 161, 204},
    {26, 761, 803, 161, 204}, {27, 807, 895, 161, 204},
    {28, 211, 278, 208, 251}, {29, 282, 324, 208, 251}, {30, 328, 370, 208, 251},
    {31, 374, 416, 208, 251}, {32, 420, 462, 208, 251}, {33, 466, 508, 208, 251},
    {34, 512, 554, 208, 251}, {35, 558, 600, 208, 251}, {36, 604, 646, 208, 251},
    {37, 650, 692, 208, 251}, {38, 696, 738, 208, 251}, {39, 742, 784, 208, 251},
    {40, 788, 830, 208, 251}, {41, 834, 895, 208, 251},
    {42, 211, 294, 255, 298}, {43, 298, 340, 255, 298}, {44, 344, 386, 255, 298},
    {45, 390, 432, 255, 298}, {46, 436, 478, 255, 298}, {47, 482, 524, 255, 298},
    {48, 528, 570, 255, 298}, {49, 574, 616, 255, 298}, {50, 620, 662, 255, 298},
    {51, 666, 708, 255, 298}, {52, 712, 754, 255, 298}, {53, 758, 800, 255, 298},
    {54, 804, 895, 255, 298},
    {55, 211, 320, 302, 345}, {56, 324, 366, 302, 345}, {57, 370, 412, 302, 345},
    {58, 416, 458, 302, 345}, {59, 462, 504, 302, 345}, {60, 508, 550, 302, 345},
    {61, 554, 596, 302, 345}, {62, 600, 642, 302, 345}, {63, 646, 688, 302, 345},
    {64, 692, 734, 302, 345}, {65, 738, 780, 302, 345}, {66, 784, 895, 302, 345},
    {67, 211, 264, 349, 395}, {68, 268, 321, 349, 395}, {69, 325, 378, 349, 395},
    {70, 382, 671, 349, 395}, {71, 675, 727, 349, 395}, {72, 731, 783, 349, 395},
    {73, 787, 839, 349, 395}, {74, 843, 895, 349, 395},
    {75, 908, 951, 105, 150}, {76, 955, 998, 105, 150}, {77, 1002, 1045, 105, 150},
    {78, 908, 951, 161, 204}, {79, 955, 998, 161, 204}, {80, 1002, 1045, 161, 204},
    {81, 908, 951, 208, 251}, {82, 955, 998, 208, 251}, {83, 1002, 1045, 208, 251},
    {84, 955, 998, 302, 345},
    {85, 908, 951, 349, 394}, {86, 955, 998, 349, 394}, {87, 1002, 1045, 349, 394},
};
// clang-format on

struct Button {
    int id;
    const char* zh;
    const char* en;
    SkinRect rect;
};

const Button kBacklightButtons[] = {
    {backlight_id::Default, "恢复默认", "Default", {223, 420, 308, 454}},
    {backlight_id::SetAll, "全域设置", "Set All", {321, 420, 406, 454}},
    {backlight_id::MultiKey, "多键设置", "MultiKey", {419, 420, 504, 454}},
    {backlight_id::Read, "读取背光", "Read", {516, 420, 601, 454}},
    {backlight_id::Write, "写入背光", "Write", {614, 420, 699, 454}},
    {backlight_id::Ok, "确定", "OK", {712, 420, 797, 454}},
    {backlight_id::Cancel, "取消", "Cancel", {809, 420, 894, 454}},
};

// The title is a label; these dialogs write it larger than button captions.
constexpr int kTitleFont = 17;

// Slots are numbered once the table is complete.
ElementSpec button(int id, const char* zh, const char* en, SkinRect rect) {
    return makeElementSpec(0, id, zh, en, rect);
}

ElementSpec label(int id, const char* zh, const char* en, SkinRect rect, int font = 13) {
    return makeLabelSpec(0, id, zh, en, rect, kTextCentre, font);
}

// A button's caption lies 5 pixels right of and 8 below its left and top
// edge, and 2 pixels past its right edge.
SkinRect buttonLabelRect(const SkinRect& r) {
    return {r.left + 5, r.top + 8, r.right + 2, r.bottom};
}

void appendKeys(std::vector<ElementSpec>& out) {
    for (int index = 1; index <= kKeyCount; ++index) {
        const char* name = keySpec(index).name;
        ElementSpec e =
            button(backlight_id::FirstKey - 1 + index, name, name, backlightKeyRect(index));
        e.keyIndex = index;
        e.legend = name;
        e.activeTextColor = kAccentOrange; // a selected key's name
        out.push_back(e);
    }
}

void numberSlots(std::vector<ElementSpec>& table) {
    for (std::size_t i = 0; i < table.size(); ++i) {
        table[i].slot = static_cast<int>(i);
    }
}

} // namespace

SkinRect backlightKeyRect(int index) {
    const LightKey& k = kLightKeys[index - 1];
    return {k.left, k.top, k.right, k.bottom};
}

std::vector<ElementSpec> backlightElements() {
    std::vector<ElementSpec> out;
    out.push_back(button(backlight_id::Close, "", "", {1218, 12, 1238, 37}));
    for (const Button& b : kBacklightButtons) {
        out.push_back(button(b.id, b.zh, b.en, b.rect));
    }
    appendKeys(out);
    for (const Button& b : kBacklightButtons) {
        out.push_back(label(b.id, b.zh, b.en, buttonLabelRect(b.rect)));
    }
    out.push_back(label(backlight_id::Title, "背光设置面板", "BackLight Settings",
                        {550, 13, 702, 45}, kTitleFont));
    numberSlots(out);
    return out;
}

std::vector<ElementSpec> multiSelectElements() {
    std::vector<ElementSpec> out;
    out.push_back(button(multiselect_id::Close, "", "", {1205, 9, 1238, 45}));
    out.push_back(button(multiselect_id::SetColor, "设置", "Set Color", {570, 46, 682, 80}));
    appendKeys(out);
    out.push_back(label(multiselect_id::SetColor, "设置", "Set Color", {570, 53, 682, 80}));
    out.push_back(label(multiselect_id::Title, "多键设置面板", "Set Multi Key", {550, 13, 702, 45},
                        kTitleFont));
    numberSlots(out);
    return out;
}

PicturePair backlightPictureIds(int model) {
    return model == 4 ? PicturePair{161, 162} : PicturePair{131, 132};
}

PicturePair multiSelectPictureIds(int model) {
    return model == 4 ? PicturePair{164, 165} : PicturePair{142, 143};
}

} // namespace talvik::layout
