#include "talvik/shell/SkinElement.h"

using talvik::shell::paletteColour;

SkinElement makeSkinElement(const talvik::layout::ElementSpec& spec) {
    SkinElement e;
    e.id = spec.id;
    e.captions["zh-CN"] = QString::fromStdString(spec.zh);
    e.captions["en-US"] = QString::fromStdString(spec.en);
    if (!spec.tipZh.empty() || !spec.tipEn.empty()) {
        e.tips["zh-CN"] = QString::fromStdString(spec.tipZh);
        e.tips["en-US"] = QString::fromStdString(spec.tipEn);
    }
    e.rect = spec.rect;
    e.isLabel = spec.isLabel;
    e.keyIndex = spec.keyIndex;
    e.code = spec.code;
    e.textColor = paletteColour(spec.textColor);
    e.activeTextColor = paletteColour(spec.activeTextColor);
    e.textFormat = spec.textFormat;
    e.fontIndex = spec.fontIndex;
    e.isListRow = spec.isListRow;
    e.visible = spec.visible;
    return e;
}
