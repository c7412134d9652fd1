#pragma once

// The fixed functions of the key settings dialog's selection pages:
// Multimedia (page 4), Mouse (5), Function (6) and Power (7). Each function
// is a selection button whose code is the hardware code the dialog stores as
// the key's HWCode, with the page's key mode. The dialog builds its elements
// from these tables and the skin generator draws the buttons' pictures from
// the same tables, so a picture always sits under its button.
//
// Rectangles are design pixels of the page face (left, top, right, bottom).
// On pages 4, 6 and 7 the text a user reads is the button's tooltip; on
// page 5 every button has a label element with the same rectangle and the
// same text, so its caption shows without hovering.

#include "talvik/layout/SkinLayout.h"

#include <span>
#include <vector>

namespace talvik::layout {

inline constexpr int kFirstFunctionPage = 4;
inline constexpr int kLastFunctionPage = 7;

// On the mouse page each button's label has the button's id plus this.
inline constexpr int kMouseLabelOffset = 50;
// Label font of the mouse and power pages.
inline constexpr int kFunctionLabelFont = 13;

// One selection button.
struct FunctionButton {
    int id;
    int code;       // hardware code stored on OK
    const char* zh; // tooltip (pages 4, 6, 7) or caption (page 5), Chinese
    const char* en; // ... English
    SkinRect rect;
};

// The key mode a page's choice is stored with: 5, 6, 7, 8 for pages 4 to 7;
// 0 for any other page.
int functionPageMode(int page);

// The page's buttons in table order; empty for any other page.
std::span<const FunctionButton> functionButtons(int page);

// The button of any page that chooses `code`, or nullptr.
const FunctionButton* functionButtonForCode(int code);

// The page's elements as the dialog's table holds them: every button (a hot
// area carrying its code and both tooltips), then the page's labels (the
// section titles of pages 4 and 6, the captions of pages 5 and 7). Each
// entry's `slot` is its position in this list; the dialog places them in its
// own table. Empty for any other page.
std::vector<ElementSpec> functionPageElements(int page);

} // namespace talvik::layout
