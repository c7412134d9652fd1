#pragma once

#include "talvik/layout/KeySettingsLayout.h"
#include "talvik/model/CKeyConfig.h"

#include <cstddef>
#include <optional>

namespace talvik::keymap {

// The pages of the key settings dialog, numbered as the element table numbers
// them (an element id's hundreds) and as the faces are ordered.
enum class KeyMapPage { SingleCombo = 1, Macro, Emulation, Multimedia, Mouse, Function, Power };

inline constexpr int kKeyMapPageCount = layout::kKeyMapPageCount;
static_assert(static_cast<int>(KeyMapPage::Multimedia) == 4);
static_assert(static_cast<int>(KeyMapPage::Power) == kKeyMapPageCount);

// The page's place in anything kept in page order (0..6).
constexpr std::size_t pageIndex(KeyMapPage page) {
    return static_cast<std::size_t>(page) - 1;
}

// The page numbered `number` as the element table numbers pages; none for any
// other number (0 stands for the elements of every page).
constexpr std::optional<KeyMapPage> pageNumbered(int number) {
    if (number < 1 || number > kKeyMapPageCount) {
        return std::nullopt;
    }
    return static_cast<KeyMapPage>(number);
}

// The kind of assignment OK gives a key on every page but the first (whose
// choice is a single key or a combo): the pages follow the kinds' order from
// Macro on.
constexpr model::KeyMode modeOfPage(KeyMapPage page) {
    return static_cast<model::KeyMode>(static_cast<int>(page) + 1);
}
static_assert(modeOfPage(KeyMapPage::Macro) == model::KeyMode::Macro);
static_assert(modeOfPage(KeyMapPage::Power) == model::KeyMode::Power);

// The page element `id` belongs to; none for the elements of every page.
constexpr std::optional<KeyMapPage> pageOwning(int id) {
    return pageNumbered(layout::pageOfElement(id));
}

} // namespace talvik::keymap
