#include "talvik/layout/KeySettingsLayout.h"

#include "talvik/layout/FunctionCodes.h"

#include <algorithm>

namespace talvik::layout {
namespace {

namespace id = keymap_id;

// A clickable area whose picture is in the faces.
struct HotSpec {
    int id;
    SkinRect rect;
};

// A caption drawn by the dialog.
struct LabelSpec {
    int id;
    const char* zh;
    const char* en;
    SkinRect rect;
    unsigned format;
};

// clang-format off
const HotSpec kCommonHot[] = {
    {id::Default, {33, 320, 117, 353}},
    {id::Clear, {130, 320, 212, 353}},
    {id::Ok, {365, 320, 449, 353}},
    {id::Cancel, {462, 320, 544, 353}},
};
const LabelSpec kCommonLabels[] = {
    {id::Title, "按键设置面板", "Key Settings", {1, 12, 573, 33}, kTextCentre},
    {id::DefaultLabel, "恢复默认", "Default", {37, 328, 117, 353}, kTextCentre},
    {id::ClearLabel, "清空配置", "Clear", {130, 328, 212, 353}, kTextCentre},
    {id::OkLabel, "确定", "OK", {365, 328, 449, 353}, kTextCentre},
    {id::CancelLabel, "取消", "Cancel", {462, 328, 544, 353}, kTextCentre},
};
const char* const kTabCaptions[kKeyMapPageCount][2] = {
    {"单/组合键", "Single/Com"}, {"宏定义", "Macro"},   {"模拟击键", "Emulate"},
    {"多媒体", "Multimedia"},   {"鼠标", "Mouse"},     {"操控键", "Function"},
    {"电源键", "Power"},
};

const HotSpec kSingleComboHot[] = {
    {id::SingleRadio, {50, 100, 110, 125}},    {id::ComboRadio, {210, 100, 275, 125}},
    {id::RecordSingle, {43, 204, 165, 238}},   {id::VirtualSingle, {43, 242, 165, 278}},
    {id::NewCombo, {220, 242, 280, 278}},      {id::DeleteCombo, {290, 242, 350, 278}},
    {id::RecordCombo, {375, 204, 525, 238}},   {id::VirtualCombo, {375, 242, 525, 278}},
};
const LabelSpec kSingleComboLabels[] = {
    {id::SingleLabel, "单键", "Single", {70, 104, 130, 125}, kTextCentre},
    {id::ComboLabel, "组合键", "Combo", {230, 104, 275, 125}, kTextCentre},
    {id::PressKeyLabel, "请输入一个单键：", "Press a key:", {45, 135, 160, 155}, kTextCentre},
    {id::SingleKeyName, "", "", {48, 166, 160, 188}, kTextCentre},
    {id::RecordSingleLabel, "开始录制", "Record", {43, 212, 165, 238}, kTextCentre},
    {id::StopSingleLabel, "停止录制", "Stop Rec", {43, 212, 165, 238}, kTextCentre},
    {id::VirtualSingleLabel, "虚拟键盘输入", "Virtual Key Input", {43, 250, 165, 278}, kTextCentre},
    {id::ComboListHeader, "组合键列表", "Combo List", {214, 118, 355, 134}, kTextLeft},
    {id::RecordListHeader, "录制框", "Record List", {378, 118, 522, 134}, kTextLeft},
    {id::NewLabel, "新建", "New", {220, 250, 280, 278}, kTextCentre},
    {id::DeleteLabel, "删除", "Delete", {290, 250, 350, 278}, kTextCentre},
    {id::RecordComboLabel, "开始录制", "Record", {375, 212, 525, 238}, kTextCentre},
    {id::StopComboLabel, "停止录制", "Stop Rec", {375, 212, 525, 238}, kTextCentre},
    {id::VirtualComboLabel, "虚拟键盘输入", "Virtual Key Input", {375, 250, 525, 278}, kTextCentre},
};

const HotSpec kMacroHot[] = {
    {id::TimesPlayRadio, {390, 115, 405, 130}}, {id::HeldPlayRadio, {390, 135, 405, 150}},
    {id::TogglePlayRadio, {390, 155, 405, 170}}, {id::AutoDelayRadio, {390, 175, 405, 190}},
    {id::RecordDelayRadio, {390, 195, 405, 210}}, {id::RecordMacro, {385, 215, 539, 248}},
    {id::NewMacro, {45, 258, 105, 288}},         {id::RemoveMacro, {114, 258, 174, 288}},
};
const LabelSpec kMacroLabels[] = {
    {270, "宏列表", "Macro List", {37, 95, 178, 111}, kTextLeft},
    {271, "录制框", "Record List", {213, 95, 355, 111}, kTextLeft},
    {261, "次数播放", "Times Play", {407, 111, 475, 129}, kTextLeft},
    {275, "次", "times", {522, 111, 580, 129}, kTextLeft},
    {272, "按下播放，释放停止", "Press play, release stop", {407, 132, 570, 150}, kTextLeft},
    {273, "按键开/关播放", "Press to play/stop", {407, 153, 520, 171}, kTextLeft},
    {262, "自动延时", "Auto delay", {407, 174, 475, 192}, kTextLeft},
    {262, "毫秒", "ms", {522, 174, 580, 192}, kTextLeft},
    {274, "记录延时", "Record delay", {407, 195, 510, 213}, kTextLeft},
    {id::RecordMacroLabel, "开始录制", "Record", {385, 224, 539, 248}, kTextCentre},
    {id::StopMacroLabel, "停止录制", "Stop Rec", {385, 224, 539, 248}, kTextCentre},
    {265, "新建", "New", {45, 264, 105, 288}, kTextCentre},
    {266, "删除", "Remove", {114, 264, 174, 288}, kTextCentre},
    {id::MacroTip,
     "温馨提示：录制框中单击鼠标右键可插入鼠标功能\n录制框中选中延时参数并双击鼠标左键可对其编辑",
     "Tip:Right of mouse click to insert mouse actions in\nrecord list. Select delay parameter "
     "and double click\nleft of mouse to edit in record list.",
     {230, 254, 539, 308}, kTextLeft | kTextVCentre},
    {id::MacroNotice, "", "", {230, 254, 539, 308}, kTextLeft | kTextVCentre},
};

const HotSpec kEmulateHot[] = {
    {id::DelayFrame, {383, 110, 467, 140}},
    {id::RecordEmu, {383, 150, 538, 176}},
    {id::NewEmu, {45, 258, 105, 288}},
    {id::RemoveEmu, {114, 258, 174, 288}},
};
const LabelSpec kEmulateLabels[] = {
    {357, "模拟击键列表", "Emu List", {37, 95, 178, 111}, kTextLeft},
    {358, "录制框", "Record List", {213, 95, 355, 111}, kTextLeft},
    {351, "延时", "Delay", {387, 112, 447, 130}, kTextCentre},
    {351, "毫秒", "ms", {510, 112, 550, 130}, kTextCentre},
    {id::RecordEmuLabel, "开始录制", "Record", {383, 154, 538, 176}, kTextCentre},
    {id::StopEmuLabel, "停止录制", "Stop Rec", {383, 154, 538, 176}, kTextCentre},
    {355, "新建", "New", {45, 264, 105, 288}, kTextCentre},
    {356, "删除", "Remove", {114, 264, 174, 288}, kTextCentre},
    {id::EmuNotice, "", "", {230, 254, 539, 308}, kTextLeft | kTextVCentre},
};
// clang-format on

class CTableBuilder {
public:
    void hot(const HotSpec& h) {
        ElementSpec e = next(h.id);
        e.rect = h.rect;
        m_out.push_back(e);
    }
    void label(const LabelSpec& l) {
        ElementSpec e = next(l.id);
        e.zh = l.zh;
        e.en = l.en;
        e.rect = l.rect;
        e.isLabel = true;
        e.textFormat = l.format;
        m_out.push_back(e);
    }
    // `count` list rows of `height` pixels, one below the other from `first`.
    void rows(int firstId, int count, SkinRect first, int pitch) {
        for (int k = 0; k < count; ++k) {
            ElementSpec e = next(firstId + k);
            e.rect = {first.left, first.top + pitch * k, first.right, first.bottom + pitch * k};
            e.isListRow = true;
            e.textFormat = kTextLeft;
            e.fontIndex = 11;
            m_out.push_back(e);
        }
    }
    template <typename Table> void all(const Table& table) {
        for (const auto& spec : table) {
            add(spec);
        }
    }
    ElementSpec& byId(int elementId) {
        for (ElementSpec& e : m_out) {
            if (e.id == elementId) {
                return e;
            }
        }
        return m_out.front();
    }
    std::vector<ElementSpec> take() { return std::move(m_out); }

private:
    void add(const HotSpec& h) { hot(h); }
    void add(const LabelSpec& l) { label(l); }
    ElementSpec next(int elementId) {
        ElementSpec e;
        e.slot = static_cast<int>(m_out.size());
        e.id = elementId;
        return e;
    }
    std::vector<ElementSpec> m_out;
};

void addCommon(CTableBuilder& t) {
    t.all(kCommonHot);
    for (int k = 0; k < kKeyMapPageCount; ++k) {
        t.hot({id::FirstTab + k, {18 + 78 * k, 48, 95 + 78 * k, 80}});
    }
    t.hot({id::Close, {545, 10, 565, 30}});
    t.all(kCommonLabels);
    for (int k = 0; k < kKeyMapPageCount; ++k) {
        t.label({id::FirstTabLabel + k,
                 kTabCaptions[k][0],
                 kTabCaptions[k][1],
                 {18 + 78 * k, 56, 95 + 78 * k, 80},
                 kTextCentre});
    }
    t.label({id::CaptureNotice, "", "", {24, 286, 556, 310}, kTextCentre | kTextVCentre});
    ElementSpec& notice = t.byId(id::CaptureNotice);
    notice.visible = false;
    notice.fontIndex = 12;
    notice.textColor = kNoticeAmber;
    notice.activeTextColor = kNoticeAmber;
}

// A notice in the amber of warnings, shown only when there is something to say.
void noticeLabel(CTableBuilder& t, int labelId) {
    ElementSpec& e = t.byId(labelId);
    e.visible = false;
    e.fontIndex = 12;
    e.textColor = kNoticeAmber;
    e.activeTextColor = kNoticeAmber;
}

void stopLabel(CTableBuilder& t, int labelId) {
    ElementSpec& e = t.byId(labelId);
    e.textColor = kStopRecordGreen;
    e.visible = false;
}

void addSingleCombo(CTableBuilder& t) {
    t.all(kSingleComboHot);
    t.rows(id::FirstComboRow, kComboRows, {214, 136, 355, 151}, 16);
    t.rows(id::FirstRecordRow, 3, {378, 136, 522, 151}, 16);
    t.all(kSingleComboLabels);
    t.byId(id::SingleLabel).activeTextColor = kStopRecordGreen;
    t.byId(id::ComboLabel).activeTextColor = kStopRecordGreen;
    stopLabel(t, id::StopSingleLabel);
    stopLabel(t, id::StopComboLabel);
}

void addMacro(CTableBuilder& t) {
    t.all(kMacroHot);
    t.rows(id::FirstMacroRow, kMacroRows, {37, 114, 178, 127}, 14);
    t.rows(id::FirstEventRow, kMacroRows, {213, 114, 355, 127}, 14);
    t.all(kMacroLabels);
    stopLabel(t, id::StopMacroLabel);
    noticeLabel(t, id::MacroNotice);
}

void addEmulate(CTableBuilder& t) {
    t.all(kEmulateHot);
    t.rows(id::FirstEmuRow, kMacroRows, {37, 114, 178, 127}, 14);
    t.rows(id::FirstEmuKeyRow, kMacroRows, {213, 114, 355, 127}, 14);
    t.all(kEmulateLabels);
    stopLabel(t, id::StopEmuLabel);
    noticeLabel(t, id::EmuNotice);
}

} // namespace

std::vector<ElementSpec> keyMapElements() {
    CTableBuilder table;
    addCommon(table);
    addSingleCombo(table);
    addMacro(table);
    addEmulate(table);
    std::vector<ElementSpec> out = table.take();
    for (int page = kFirstFunctionPage; page <= kLastFunctionPage; ++page) {
        for (ElementSpec& e : functionPageElements(page)) {
            e.slot = static_cast<int>(out.size());
            out.push_back(std::move(e));
        }
    }
    return out;
}

bool modelHasFunction(int model, int code) {
    // Bluetooth slots, the wired/wireless switch and the battery saver need the radio.
    static constexpr int kWireless[] = {167, 168, 169, 170, 172, 180, 181};
    // Colours and light effects need the RGB backlight; brightness and the
    // switch work on a single-colour one too.
    static constexpr int kColour[] = {136, 137, 138, 139, 142, 143, 146, 147, 148};
    const bool wireless = model != 3 && model != 4;
    const bool colour = model != 2 && model != 3;
    const auto among = [code](const auto& codes) {
        return std::find(std::begin(codes), std::end(codes), code) != std::end(codes);
    };
    return (wireless || !among(kWireless)) && (colour || !among(kColour));
}

std::array<int, kKeyMapPictureCount> keyMapPictureIds(int model) {
    std::array<int, kKeyMapPictureCount> ids{};
    for (int i = 0; i < kKeyMapPictureCount; ++i) {
        ids[static_cast<std::size_t>(i)] = 107 + i;
    }
    // The Function page shows only what the model's keyboard can do.
    switch (model) {
    case 2:
        ids[15] = 151;
        break;
    case 3:
        ids[15] = 150;
        break;
    case 4:
        ids[15] = 152;
        break;
    default:
        break;
    }
    return ids;
}

ControlPlace countEditPlace(bool english) {
    return {english ? 485 : 470, 112, 36, 18};
}

ControlPlace intervalEditPlace(bool english) {
    return {english ? 480 : 470, 176, 36, 18};
}

} // namespace talvik::layout
