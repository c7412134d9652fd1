#include "DeviceLayout.h"

namespace talvik::layout {
namespace {

ElementSpec element(int id, const char* zh, const char* en, SkinRect rect, bool isLabel,
                    unsigned format = kTextCentre) {
    ElementSpec e = dialogElement(id, zh, en, rect, isLabel);
    e.textFormat = format;
    return e;
}

} // namespace

std::vector<ElementSpec> firmwareElements() {
    namespace id = firmware_id;
    std::vector<ElementSpec> out = {
        element(id::Close, "", "", {332, 9, 355, 45}, false),
        element(id::GetVersion, "", "", {220, 70, 333, 100}, false),
        element(id::Open, "", "", {270, 108, 333, 140}, false),
        element(id::Update, "", "", {47, 201, 129, 235}, false),
        element(id::Cancel, "", "", {237, 201, 327, 235}, false),
        element(id::GetVersionLabel, "获取固件版本", "Get Version", {220, 76, 333, 100}, true),
        element(id::OpenLabel, "打开", "Open", {270, 116, 333, 138}, true),
        element(id::UpdateLabel, "更新", "Update", {47, 209, 129, 235}, true),
        element(id::CancelLabel, "取消", "Cancel", {237, 209, 327, 235}, true),
        element(id::FileCaption, "载入文件：", "File", {42, 116, 119, 135}, true, kTextLeft),
        element(id::Title, "键盘固件升级", "Firmware Update", {100, 13, 266, 45}, true),
    };
    out[static_cast<std::size_t>(out.size() - 1)].fontIndex = 17;
    for (std::size_t i = 0; i < out.size(); ++i) {
        out[i].slot = static_cast<int>(i);
    }
    return out;
}

} // namespace talvik::layout
