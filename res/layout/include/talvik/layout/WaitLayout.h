#pragma once

// The small window start-up shows while it looks for the keyboard: what it
// says, where its button lies and the keycaps whose light walks along while
// the retries go on. Shared by the skin generator and the window.

#include "talvik/layout/SkinLayout.h"

#include <vector>

namespace talvik::layout {

inline constexpr int kWaitWidth = 460;
inline constexpr int kWaitHeight = 190;
// Its pictures: every element normal, pointed at, and lit.
inline constexpr MainPictureIds kWaitPictureIds{200, 201, 202};

namespace wait_id {
inline constexpr int Quit = 1;
inline constexpr int Attempt = 2;     // the label that counts the attempts
inline constexpr int FirstKeycap = 3; // the keycaps at the left, one lit at a time
} // namespace wait_id
inline constexpr int kWaitKeycapCount = 4;

// The headline in both languages, drawn into the pictures.
inline constexpr const char* kWaitHeadlineZh = "正在查找键盘…";
inline constexpr const char* kWaitHeadlineEn = "Looking for the keyboard…";
inline constexpr SkinRect kWaitHeadlineZhRect{186, 82, 440, 108};
inline constexpr SkinRect kWaitHeadlineEnRect{186, 108, 440, 130};

// The Quit button, the attempt counter and the keycaps, in slot order.
std::vector<ElementSpec> waitElements();

} // namespace talvik::layout
