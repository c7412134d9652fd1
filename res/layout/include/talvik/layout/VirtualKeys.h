#pragma once

// The virtual keyboard: a full keyboard with navigation block and numeric
// keypad (104 keys), an OK and a Cancel button and a one-line text box with
// the current choice. Each key element carries the hardware code it stands
// for in keyIndex.

#include "talvik/layout/SkinLayout.h"

#include <vector>

namespace talvik::layout {

namespace virtual_id {
inline constexpr int Title = 88; // also the unused slot 0; clicking it cancels
inline constexpr int Ok = 89;
inline constexpr int Cancel = 90;
inline constexpr int FirstKey = 100; // keys are 100..203 in slot order
inline constexpr int LastKey = 207;  // the highest id a key may have
} // namespace virtual_id

inline constexpr int kVirtualElementCount = 110;
inline constexpr int kVirtualKeyCount = 104;
inline constexpr int kVirtualFirstKeySlot = 6;
inline constexpr int kVirtualWidth = 934;
inline constexpr int kVirtualHeight = 356;
// The choice text box, in picture pixels, and its font size.
inline constexpr SkinRect kVirtualInfoRect{20, 305, 520, 337};
inline constexpr int kVirtualInfoFont = 15;
inline constexpr int kVirtualTitleFont = 17;

struct VirtualPictureIds {
    int normal = 167;
    int hover = 168;
    int active = 166;
};
inline constexpr VirtualPictureIds kVirtualPictures{};

// The filled slots of the element table in slot order: slot 0 without an
// area, the OK and Cancel buttons, the title and the button labels, then the
// keys (main block, navigation block, keypad).
std::vector<ElementSpec> virtualKeyboardElements();

} // namespace talvik::layout
