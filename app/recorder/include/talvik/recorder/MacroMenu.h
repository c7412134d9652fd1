#pragma once

// The pop-up menu of the macro's event rows: mouse actions inserted before the
// row that was right-clicked, and Delete.

#include "talvik/model/CActionList.h"
#include "talvik/text/KeyTables.h"
#include "talvik/text/Language.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace talvik::recorder {

inline constexpr int kFirstMouseCommand = 1135;
inline constexpr int kLastMouseCommand = 1145;
inline constexpr int kDeleteItemCommand = 1147;

// One line of the menu: a command, or (command 0) a submenu.
struct MenuLine {
    std::string text;
    int command = 0;
    std::vector<MenuLine> submenu;
};

// The menu in a language: four submenus of mouse actions and Delete.
std::vector<MenuLine> eventRowMenu(text::Language language);

// A mouse action of the menu: the keyboard's code of the button or wheel, and
// how many events it inserts (a click is a press and a release).
struct MouseAction {
    int hwCode = 0;
    int events = 0;
};
std::optional<MouseAction> mouseActionOf(int command);

// Carries out a command of the menu on the item at `row` (counted from the
// view's start) and cuts the macro back to its item limit. The action's item
// text is `actionName`. Returns false for a command that is not the menu's,
// which leaves the macro untouched.
bool applyEventRowCommand(model::CActionList& macro, int row, int command,
                          std::string_view actionName);

// The item text of a mouse action: the name of the key code behind its
// hardware code ("-- --" when it has none).
std::string mouseActionName(const talvik::text::KeyNameMap& names,
                            const talvik::text::CodeTable& hwCodeToVk, int hwCode);

} // namespace talvik::recorder
