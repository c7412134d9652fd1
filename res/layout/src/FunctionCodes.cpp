#include "talvik/layout/FunctionCodes.h"

#include <array>

namespace talvik::layout {
namespace {

// clang-format off
constexpr FunctionButton kMultimedia[] = {
    {401, 115, "播放器", "Media Select", {46, 152, 81, 188}},
    {402, 111, "播放/暂停", "Play/Pause", {96, 152, 131, 188}},
    {403, 110, "停止", "Stop", {146, 152, 181, 188}},
    {404, 108, "下一首", "Next Track", {196, 152, 231, 188}},
    {405, 109, "上一首", "Previous Track", {246, 152, 281, 188}},
    {406, 114, "音量减小", "Volume Down", {296, 152, 331, 188}},
    {407, 113, "音量加大", "Volume Up", {346, 152, 381, 188}},
    {408, 112, "静音", "Mute", {396, 152, 431, 188}},
    {409, 121, "后退", "WWW Back", {46, 235, 81, 272}},
    {410, 122, "前进", "WWW Forward", {96, 235, 131, 272}},
    {411, 123, "停止", "WWW Stop", {146, 235, 181, 272}},
    {412, 124, "刷新", "WWW Refresh", {196, 235, 231, 272}},
    {413, 125, "收藏夹", "WWW Favorites", {246, 235, 281, 272}},
    {414, 119, "搜索", "WWW Search", {296, 235, 331, 272}},
    {415, 116, "邮件", "E-mail", {346, 235, 381, 272}},
    {416, 120, "主页", "WWW Home", {396, 235, 431, 272}},
    {417, 118, "资源管理器", "My Computer", {446, 235, 481, 272}},
    {418, 117, "计算器", "Calculator", {496, 235, 531, 272}},
};

constexpr FunctionButton kMouse[] = {
    {502, 126, "左移", "Move Left", {37, 114, 140, 130}},
    {503, 127, "右移", "Move Right", {37, 131, 140, 147}},
    {504, 128, "上移", "Move Up", {37, 148, 140, 164}},
    {505, 129, "下移", "Move Down", {37, 165, 140, 181}},
    {506, 130, "左键", "Left Click", {37, 182, 140, 198}},
    {507, 131, "右键", "Right Click", {37, 199, 140, 215}},
    {508, 132, "中键", "Middle Click", {37, 216, 140, 232}},
    {509, 133, "滚轮前翻", "Wheel Up", {37, 233, 140, 249}},
    {510, 134, "滚轮后翻", "Wheel Down", {37, 250, 140, 266}},
    {511, 199, "左键双击", "Left Double Click", {37, 267, 140, 283}},
    {512, 158, "单元时间", "Uint Time", {154, 114, 258, 130}},
    {513, 157, "单元像素", "Uint Pixel", {154, 131, 258, 147}},
    {514, 173, "首延迟", "First Delay", {154, 148, 258, 164}},
};

// The function page is a grid: four rows of up to nine 36 x 36 buttons.
constexpr std::array<int, 9> kGridColumns = {36, 89, 142, 195, 248, 301, 354, 407, 460};
constexpr std::array<int, 4> kGridRows = {112, 155, 220, 265};
constexpr int kGridCell = 36;

constexpr SkinRect cell(int row, int column) {
    const int x = kGridColumns[static_cast<std::size_t>(column - 1)];
    const int y = kGridRows[static_cast<std::size_t>(row - 1)];
    return {x, y, x + kGridCell, y + kGridCell};
}

constexpr FunctionButton kFunction[] = {
    {601, 170, "蓝牙设备3", "Bluetooth device3", cell(1, 1)},
    {602, 169, "蓝牙设备2", "Bluetooth device2", cell(1, 2)},
    {603, 168, "蓝牙设备1", "Bluetooth device1", cell(1, 3)},
    {604, 167, "有线/无线切换", "Wire/Wireless Exchange", cell(1, 4)},
    {605, 151, "按键触发行程切换", "Adjust Trigger Point", cell(1, 5)},
    {606, 171, "游戏模式", "Game mode", cell(1, 6)},
    {607, 172, "节能模式", "ECO mode", cell(1, 7)},
    {608, 155, "Win/Mac系统切换", "Win/Mac System Exchange", cell(1, 8)},
    {609, 180, "蓝牙设备4", "Bluetooth device4", cell(1, 9)},
    {610, 153, "锁Win", "Win Lock", cell(2, 1)},
    {611, 154, "锁Fn", "Fn Lock", cell(2, 2)},
    {612, 150, "锁键盘", "Keyboard Lock", cell(2, 3)},
    {613, 174, "按键击打速率", "Key Repeat Rate", cell(2, 4)},
    {614, 175, "按键响应延迟", "Key Response Delay", cell(2, 5)},
    {615, 156, "FN键,按键的2个层须同时设置", "FN key,Key's 2 layer must be set to FN", cell(2, 6)},
    {616, 159, "可编程键盘", "Programmable Keyboard", cell(2, 7)},
    {617, 152, "Caps/Ctrl切换", "Caps/Ctrl Exchange", cell(2, 8)},
    {618, 181, "蓝牙设备5", "Bluetooth device5", cell(2, 9)},
    {620, 148, "背景颜色切换", "Back Color Exchange", cell(3, 1)},
    {621, 138, "灯效颜色切换", "Effect Color Exchange", cell(3, 2)},
    {622, 137, "灯效切换", "Lamp Effect Exchange", cell(3, 3)},
    {623, 144, "背光亮度-", "Backlight Lighteness-", cell(3, 4)},
    {624, 145, "背光亮度+", "Backlight Lighteness+", cell(3, 5)},
    {630, 135, "背光开关", "Backlight switch", cell(4, 1)},
    {631, 139, "灯效退出", "LampEffect Exit", cell(4, 2)},
    {632, 136, "背光自定义", "Backlight Macro", cell(4, 3)},
    {633, 143, "频率+", "Frequence+", cell(4, 4)},
    {634, 142, "频率-", "Frequence-", cell(4, 5)},
    {635, 146, "灯效方向左", "Direction Left", cell(4, 6)},
    {636, 147, "灯效方向右", "Direction Right", cell(4, 7)},
};

constexpr FunctionButton kPower[] = {
    {701, 75, "唤醒", "WakeUp", {162, 160, 242, 190}},
    {702, 76, "睡眠", "Sleep", {251, 160, 331, 190}},
    {703, 77, "电源", "Power", {340, 160, 420, 190}},
};

struct LabelSpec {
    int id;
    const char* zh;
    const char* en;
    SkinRect rect;
    unsigned format;
};

// Section titles of pages 4 and 6.
constexpr LabelSpec kMultimediaLabels[] = {
    {451, "多媒体功能", "Media Function", {46, 127, 167, 150}, kTextLeft},
    {452, "浏览器功能", "Browser Function", {46, 207, 167, 230}, kTextLeft},
};
constexpr LabelSpec kFunctionLabels[] = {
    {651, "按键功能", "Key Function", {36, 92, 167, 150}, kTextLeft},
    {652, "背光功能", "Backlight Function", {36, 200, 167, 230}, kTextLeft},
};
// The power buttons' captions sit in the lower part of each button and are
// shorter than their tooltips.
constexpr LabelSpec kPowerLabels[] = {
    {751, "唤醒", "Wake", {162, 166, 242, 190}, kTextCentre},
    {752, "睡眠", "Sleep", {251, 166, 331, 190}, kTextCentre},
    {753, "电源", "Power", {340, 166, 420, 190}, kTextCentre},
};
// clang-format on

ElementSpec buttonElement(const FunctionButton& b) {
    ElementSpec e = makeElementSpec(0, b.id, "", "", b.rect);
    e.code = b.code;
    e.tipZh = b.zh;
    e.tipEn = b.en;
    return e;
}

std::span<const LabelSpec> pageLabels(int page) {
    switch (page) {
    case 4:
        return kMultimediaLabels;
    case 6:
        return kFunctionLabels;
    case 7:
        return kPowerLabels;
    default:
        return {};
    }
}

} // namespace

int functionPageMode(int page) {
    return page >= kFirstFunctionPage && page <= kLastFunctionPage ? page + 1 : 0;
}

std::span<const FunctionButton> functionButtons(int page) {
    switch (page) {
    case 4:
        return kMultimedia;
    case 5:
        return kMouse;
    case 6:
        return kFunction;
    case 7:
        return kPower;
    default:
        return {};
    }
}

const FunctionButton* functionButtonForCode(int code) {
    for (int page = kFirstFunctionPage; page <= kLastFunctionPage; ++page) {
        for (const FunctionButton& b : functionButtons(page)) {
            if (b.code == code) {
                return &b;
            }
        }
    }
    return nullptr;
}

std::vector<ElementSpec> functionPageElements(int page) {
    std::vector<ElementSpec> out;
    for (const FunctionButton& b : functionButtons(page)) {
        out.push_back(buttonElement(b));
    }
    if (page == 5) {
        // The mouse page shows every caption: one label over each button.
        for (const FunctionButton& b : kMouse) {
            out.push_back(makeLabelSpec(0, b.id + kMouseLabelOffset, b.zh, b.en, b.rect,
                                        kTextCentre, kFunctionLabelFont));
        }
    }
    for (const LabelSpec& l : pageLabels(page)) {
        out.push_back(makeLabelSpec(0, l.id, l.zh, l.en, l.rect, l.format, kFunctionLabelFont));
    }
    for (std::size_t i = 0; i < out.size(); ++i) {
        out[i].slot = static_cast<int>(i);
    }
    return out;
}

} // namespace talvik::layout
