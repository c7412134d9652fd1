#pragma once

#include "talvik/layout/KeySettingsLayout.h"

#include <cstddef>
#include <optional>

namespace talvik::keymap {

// The pages of the key settings dialog, numbered as the element table numbers
// them (an element id's hundreds) and as the faces are ordered.
enum class KeyMapPage {
    SingleCombo = 1,
    Macro = 2,
    Emulation = 3,
    Multimedia = 4,
    Mouse = 5,
    Function = 6,
    Power = 7,
};

inline constexpr int kKeyMapPageCount = layout::kKeyMapPageCount;
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

// The page element `id` belongs to; none for the elements of every page.
constexpr std::optional<KeyMapPage> pageOwning(int id) {
    return pageNumbered(layout::pageOfElement(id));
}

} // namespace talvik::keymap
