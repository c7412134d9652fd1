#pragma once

// One drawn, clickable or captioned area of a skinned window. Every skinned
// window owns a fixed table of these; painting, hit-testing and click
// dispatch all walk the table.

#include "talvik/layout/SkinLayout.h"
#include "talvik/shell/PaletteColour.h"
#include "talvik/text/Language.h"

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

    // Captions and tips are keyed by the tags of the element tables.
    static std::string keyOf(talvik::text::Language language) {
        return std::string(talvik::text::tagOf(language));
    }
    // The caption in a language. A language the element has no caption for
    // gets an empty one inserted, so such an element simply draws nothing.
    QString& caption(talvik::text::Language language) { return captions[keyOf(language)]; }
    // The caption in a language, read only; empty when it has none.
    QString captionIn(talvik::text::Language language) const {
        const auto found = captions.find(keyOf(language));
        return found == captions.end() ? QString() : found->second;
    }
    // The tip in a language; empty when the element has none for it.
    QString tip(talvik::text::Language language) const {
        const auto found = tips.find(keyOf(language));
        return found == tips.end() ? QString() : found->second;
    }
};

// A new element from its layout entry, both captions filled.
SkinElement makeSkinElement(const talvik::layout::ElementSpec& spec);
