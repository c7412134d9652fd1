// What the Single/Combo, Macro and Emulate pages show around their elements:
// group panels, list boxes with their headers, the scroll bar tracks and the
// wells the dialog writes into.

#include "talvik/skin/KeyMapPicture.h"

namespace talvik::skin {
namespace {

using namespace layout;

void drawGroup(QPainter& p, const QRect& r) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(toColor(kGroupFrame), 1));
    p.setBrush(toColor(kGroupFill));
    p.drawRoundedRect(QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
    p.restore();
}

void drawWell(QPainter& p, const QRect& r) {
    drawPanel(p, r, 5, toColor(kInfoBackground));
}

// A list box of `rows` rows of `pitch` pixels whose first row starts at
// `firstRowTop`, with its header band above and its scroll bar at the right.
void drawList(QPainter& p, int left, int rowsRight, int barWidth, int firstRowTop, int rows,
              int pitch, int headerHeight) {
    const int top = firstRowTop - headerHeight - 2;
    const int bottom = firstRowTop + rows * pitch + 2;
    const int right = rowsRight + 2 + barWidth + (barWidth > 0 ? 2 : 0);
    drawListBox(p, QRect(left - 2, top, right - left + 2, bottom - top), headerHeight);
    if (barWidth > 0) {
        p.fillRect(QRect(rowsRight + 3, firstRowTop, barWidth, rows * pitch),
                   toColor(kScrollPlaceholder));
    }
}

void drawSeparator(QPainter& p, int left, int right, int y) {
    p.save();
    p.setPen(toColor(kTitleRule));
    p.drawLine(left, y, right, y);
    p.restore();
}

// Page 2 and 3 share their two lists and the New/Remove pair below the first.
void drawLibraryAndEntryLists(QPainter& p) {
    drawList(p, 37, 178, 15, 114, layout::kMacroRows, 14, 18);
    drawList(p, 213, 355, 15, 114, layout::kMacroRows, 14, 18);
}

} // namespace

void drawSingleComboPage(QPainter& p) {
    drawGroup(p, QRect(33, 92, 143, 192));
    drawGroup(p, QRect(202, 92, 344, 192));
    // The name of the captured key.
    drawWell(p, QRect(43, 161, 122, 31));
    // The combo library with its scroll bar, and the box that shows the chosen combo.
    drawList(p, 214, 355, 15, 136, layout::kComboRows, 16, 16);
    drawListBox(p, QRect(376, 118, 148, 76), 17);
}

void drawMacroPage(QPainter& p) {
    drawLibraryAndEntryLists(p);
    drawGroup(p, QRect(381, 104, 182, 148));
    drawSeparator(p, 390, 554, 172);
    // The tip sits on a quieter band of its own.
    drawGroup(p, QRect(224, 252, 322, 56));
}

void drawEmulatePage(QPainter& p) {
    drawLibraryAndEntryLists(p);
    drawGroup(p, QRect(376, 102, 170, 84));
}

} // namespace talvik::skin
