#include "talvik/shell/SkinElement.h"

using talvik::shell::paletteColour;
using talvik::text::Language;

SkinElement makeSkinElement(const talvik::layout::ElementSpec& spec) {
    SkinElement e;
    e.id = spec.id;
    e.caption(Language::Chinese) = QString::fromStdString(spec.zh);
    e.caption(Language::English) = QString::fromStdString(spec.en);
    if (!spec.tipZh.empty() || !spec.tipEn.empty()) {
        e.tips[SkinElement::keyOf(Language::Chinese)] = QString::fromStdString(spec.tipZh);
        e.tips[SkinElement::keyOf(Language::English)] = QString::fromStdString(spec.tipEn);
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
