#include "talvik/skin/KeyMapPicture.h"

#include "talvik/skin/FunctionPictograms.h"

#include <QLinearGradient>

#include <set>

namespace talvik::skin {
namespace {

namespace id = layout::keymap_id;
using namespace layout;

const QColor kAccent = toColor(kAccentOrange);
// The page under the tabs; the chosen tab opens into it.
const QColor kPanelFill = toColor(kSidePanel);

// The title bar: the brand tile, room for the title the dialog writes, and
// a rule under both.
void drawTitleBar(QPainter& p) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    drawBrandTile(p, QPointF(16, 11), 22);
    p.setPen(toColor(kTitleRule));
    p.drawLine(14, 40, 566, 40);
    p.restore();
}

const std::set<int>& radioIds() {
    static const std::set<int> ids = {id::SingleRadio,     id::ComboRadio,      id::TimesPlayRadio,
                                      id::HeldPlayRadio,   id::TogglePlayRadio, id::AutoDelayRadio,
                                      id::RecordDelayRadio};
    return ids;
}

const std::set<int>& recordIds() {
    static const std::set<int> ids = {id::RecordSingle, id::RecordCombo, id::RecordMacro,
                                      id::RecordEmu};
    return ids;
}

// The OK button is the one the dialog is for: it wears the accent at rest.
void drawOkButton(QPainter& p, const QRect& r, Look look) {
    drawButton(p, r, look);
    if (look != Look::Normal) {
        return;
    }
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(kAccent, 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(r).adjusted(1.5, 1.5, -1.5, -1.5), 6, 6);
    p.restore();
}

// The frame of the emulation delay: a field the user reads, not a button.
void drawFieldFrame(QPainter& p, const QRect& r, Look look) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(toColor(look == Look::Normal ? kRecessRim : kAccentOrange), 1.2));
    p.setBrush(toColor(kFieldFill));
    p.drawRoundedRect(QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
    p.restore();
}

void drawElement(QPainter& p, const ElementSpec& e, int page, Look look) {
    const QRect r = toRect(e.rect);
    if (e.id >= id::FirstTab && e.id < id::FirstTab + layout::kKeyMapPageCount) {
        drawTab(p, r, look, e.id - id::FirstTab + 1 == page);
    } else if (e.id == id::Close) {
        drawWindowButton(p, QRectF(r).adjusted(0.5, 2.5, -0.5, -2.5), WindowGlyph::Close, look);
    } else if (e.id == id::Ok) {
        drawOkButton(p, r, look);
    } else if (radioIds().count(e.id) != 0) {
        drawRadio(p, r, look);
    } else if (recordIds().count(e.id) != 0) {
        drawRecordButton(p, r, look);
    } else if (e.isListRow) {
        // The combo text box covers the record rows: they never light up.
        const bool covered = e.id >= id::FirstRecordRow && e.id < id::FirstRecordRow + 3;
        drawListRow(p, r, covered ? Look::Normal : look);
    } else if (e.id == id::DelayFrame) {
        drawFieldFrame(p, r, look);
    } else {
        drawButton(p, r, look);
    }
}

void drawPageContent(QPainter& p, int page) {
    switch (page) {
    case 1:
        drawSingleComboPage(p);
        break;
    case 2:
        drawMacroPage(p);
        break;
    case 3:
        drawEmulatePage(p);
        break;
    default:
        break;
    }
}

// Functions the model's keyboard lacks stay choosable, but the page at rest
// shows them faded.
void fadeMissingFunctions(QPainter& p, int model) {
    for (const layout::FunctionButton& b : layout::functionButtons(6)) {
        if (!layout::modelHasFunction(model, b.code)) {
            p.fillRect(toRect(b.rect), toColor(kSidePanel, kMissingFunctionAlpha));
        }
    }
}

} // namespace

void drawTab(QPainter& p, const QRect& r, Look look, bool chosen) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    const QRectF tab = QRectF(r).adjusted(1, 0.5, -1, 4);
    QColor fill = chosen ? kPanelFill : toColor(kTabFill);
    if (look != Look::Normal) {
        fill = toColor(chosen ? kPointedChosenTabFill : kPointedTabFill);
    }
    p.setPen(QPen(toColor(chosen ? kRecessRim : kTabBorder), 1));
    p.setBrush(fill);
    p.drawRoundedRect(tab, 6, 6);
    if (chosen || look != Look::Normal) {
        p.setPen(Qt::NoPen);
        p.setBrush(chosen ? kAccent : toColor(kAccentOrange, kPointedTabAlpha));
        p.drawRoundedRect(QRectF(tab.left() + 8, tab.top() + 1, tab.width() - 16, 3), 1.5, 1.5);
    }
    p.restore();
    if (chosen) {
        // The chosen tab opens into the page below it.
        p.fillRect(QRect(r.left() + 2, r.bottom() - 1, r.width() - 4, 4), fill);
    }
}

void drawRadio(QPainter& p, const QRect& hot, Look look) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    if (look == Look::Hover && hot.width() > hot.height() + 10) {
        p.setPen(Qt::NoPen);
        p.setBrush(toColor(kLitInk, kPointedRadioAlpha));
        p.drawRoundedRect(QRectF(hot), 5, 5);
    }
    const qreal d = std::min(hot.height(), 15) - 1.5;
    const QRectF circle(hot.left() + 1, hot.center().y() + 0.5 - d / 2, d, d);
    p.setPen(QPen(toColor(look == Look::Normal ? kQuietInk : kAccentOrange), 1.4));
    p.setBrush(toColor(kRadioFill));
    p.drawEllipse(circle);
    if (look == Look::Active) {
        p.setPen(Qt::NoPen);
        p.setBrush(kAccent);
        p.drawEllipse(circle.center(), d / 2 - 3.2, d / 2 - 3.2);
    }
    p.restore();
}

void drawListBox(QPainter& p, const QRect& box, int headerHeight) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(toColor(kPanelRule), 1));
    p.setBrush(toColor(kInfoBackground));
    p.drawRoundedRect(QRectF(box).adjusted(0.5, 0.5, -0.5, -0.5), 5, 5);
    p.setRenderHint(QPainter::Antialiasing, false);
    const QRect header(box.left() + 1, box.top() + 1, box.width() - 2, headerHeight - 1);
    QLinearGradient band(0, header.top(), 0, header.bottom());
    band.setColorAt(0, toColor(kListHeaderTop));
    band.setColorAt(1, toColor(kListHeaderBottom));
    p.fillRect(header.adjusted(2, 0, -2, 0), band);
    p.fillRect(header.adjusted(0, 2, 0, 0), band);
    p.setPen(toColor(kAccentOrange, kListHeaderRuleAlpha));
    p.drawLine(header.left(), header.bottom() + 1, header.right(), header.bottom() + 1);
    p.restore();
}

void drawListRow(QPainter& p, const QRect& row, Look look) {
    if (look == Look::Normal) {
        return;
    }
    p.save();
    // The row's text starts at its left edge: the highlight carries no marks there.
    if (look == Look::Hover) {
        p.fillRect(row, toColor(kPointedListRow));
    } else {
        p.fillRect(row, toColor(kChosenListRow));
        p.fillRect(QRect(row.left(), row.bottom(), row.width(), 1), kAccent);
    }
    p.restore();
}

void drawRecordButton(QPainter& p, const QRect& r, Look look) {
    drawButton(p, r, look);
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    const qreal d = std::min(10, r.height() / 3);
    const QPointF centre(r.left() + 8 + d / 2, r.center().y() + 1);
    p.setPen(Qt::NoPen);
    // Recording: a white dot on the lit button; otherwise a red one.
    p.setBrush(toColor(look == Look::Active ? kLitInk : kRecordDot));
    p.drawEllipse(centre, d / 2, d / 2);
    p.restore();
}

QImage drawKeyMapFace(int model, int page, Look look, int resolution) {
    QImage image = makeBody(layout::kKeyMapWidth, layout::kKeyMapHeight,
                            QRect(2, 2, layout::kKeyMapWidth - 5, layout::kKeyMapHeight - 5), 16,
                            resolution, layout::kKeyMapColourKey);
    QPainter p(&image);
    drawTitleBar(p);
    drawPanel(p, QRect(12, 80, 556, 231), 10, kPanelFill);
    drawPageContent(p, page);
    for (const ElementSpec& e : layout::keyMapElements()) {
        const int owner = layout::pageOfElement(e.id);
        // Function buttons are drawn with their pictograms below.
        if (!e.isLabel && e.code < 0 && (owner == 0 || owner == page)) {
            drawElement(p, e, page, look);
        }
    }
    drawFunctionButtons(p, page, look);
    if (page == 6 && look == Look::Normal) {
        fadeMissingFunctions(p, model);
    }
    return image;
}

void addKeyMapPictures(PictureSet& pictures) {
    for (int model = 1; model <= 4; ++model) {
        const auto ids = layout::keyMapPictureIds(model);
        for (int page = 1; page <= layout::kKeyMapPageCount; ++page) {
            for (const Look look : {Look::Normal, Look::Hover, Look::Active}) {
                const int index = 3 * (page - 1) + static_cast<int>(look);
                pictures[ids[static_cast<std::size_t>(index)]] = [model, page,
                                                                  look](int resolution) {
                    return drawKeyMapFace(model, page, look, resolution);
                };
            }
        }
    }
}

} // namespace talvik::skin
