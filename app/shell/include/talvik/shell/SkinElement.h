#pragma once

// One drawn, clickable or captioned area of a skinned window. Every skinned
// window owns a fixed table of these; painting, hit-testing and click
// dispatch all walk the table.

#include "talvik/layout/SkinLayout.h"
#include "talvik/shell/PaletteColour.h"

#include <QColor>
#include <QString>

#include <map>
#include <string>

using talvik::layout::SkinRect;

struct SkinElement {
    int id = -1; // 0 or less: an empty slot, skipped everywhere
    std::map<std::string, QString> captions{{"en", QStringLiteral("Unused")}};
    std::map<std::string, QString> tips{{"en", QStringLiteral("Unused")}};
    SkinRect rect;
    QColor textColor = talvik::shell::paletteColour(talvik::layout::kCaptionGrey);
    QColor activeTextColor = talvik::shell::paletteColour(talvik::layout::kCaptionGrey);
    int keyIndex = -1;
    int code = -1;
    bool active = false;
    bool isLabel = false;
    bool isListRow = false;
    bool visible = true;
    bool hovered = false;
    unsigned textFormat = talvik::layout::kTextCentre;
    int fontIndex = 13;

    bool isEmpty() const { return id <= 0; }
    // Takes part in hit-testing and pointer-over highlighting.
    bool isHitTestable() const { return id > 0 && !isLabel; }

    // The caption in a language. A tag the element does not know gets an
    // empty caption inserted, so such an element simply draws nothing.
    const QString& caption(const std::string& tag) { return captions[tag]; }
};

// A new element from its layout entry, both captions filled.
SkinElement makeSkinElement(const talvik::layout::ElementSpec& spec);
