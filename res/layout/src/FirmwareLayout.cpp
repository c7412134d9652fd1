#include "talvik/layout/DeviceLayout.h"

namespace talvik::layout {

std::vector<ElementSpec> firmwareElements() {
    namespace id = firmware_id;
    return {
        makeElementSpec(0, id::Close, "", "", {332, 9, 355, 45}),
        makeElementSpec(1, id::GetVersion, "", "", {220, 70, 333, 100}),
        makeElementSpec(2, id::Open, "", "", {270, 108, 333, 140}),
        makeElementSpec(3, id::Update, "", "", {47, 201, 129, 235}),
        makeElementSpec(4, id::Cancel, "", "", {237, 201, 327, 235}),
        makeLabelSpec(5, id::GetVersionLabel, "获取固件版本", "Get Version", {220, 76, 333, 100}),
        makeLabelSpec(6, id::OpenLabel, "打开", "Open", {270, 116, 333, 138}),
        makeLabelSpec(7, id::UpdateLabel, "更新", "Update", {47, 209, 129, 235}),
        makeLabelSpec(8, id::CancelLabel, "取消", "Cancel", {237, 209, 327, 235}),
        makeLabelSpec(9, id::FileCaption, "载入文件：", "File", {42, 116, 119, 135}, kTextLeft),
        // The title is written larger than the captions.
        makeLabelSpec(10, id::Title, "键盘固件升级", "Firmware Update", {100, 13, 266, 45},
                      kTextCentre, 17),
    };
}

} // namespace talvik::layout
