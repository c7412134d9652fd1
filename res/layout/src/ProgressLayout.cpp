#include "talvik/layout/ProgressLayout.h"

namespace talvik::layout {
namespace {

ElementSpec element(int id, const char* zh, const char* en, SkinRect rect, bool isLabel) {
    ElementSpec e;
    e.id = id;
    e.zh = zh;
    e.en = en;
    e.rect = rect;
    e.isLabel = isLabel;
    return e;
}

} // namespace

std::vector<ElementSpec> progressElements() {
    std::vector<ElementSpec> elements = {
        element(progress_id::Cancel, "", "", {332, 9, 355, 45}, false), // the close control
        element(progress_id::Cancel, "取消", "Cancel", {237, 201, 327, 235}, false),
        element(progress_id::WarningLabel, "正在读写键盘，请勿插拔！",
                "Keep the keyboard connected!", {42, 116, 333, 135}, true),
        element(progress_id::TitleLabel, "读写进度", "Progress", {100, 13, 266, 45}, true),
        element(progress_id::CancelLabel, "取消", "Cancel", {237, 209, 327, 235}, true),
    };
    for (std::size_t slot = 0; slot < elements.size(); ++slot) {
        elements[slot].slot = static_cast<int>(slot);
    }
    return elements;
}

int progressBarWidth(int percent) {
    return percent * kProgressBarFullWidth / 100;
}

} // namespace talvik::layout
