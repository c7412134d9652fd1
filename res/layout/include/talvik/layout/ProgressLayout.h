#pragma once

// The progress dialog: its pictures, its elements and the bar, shared by the
// dialog and the skin generator.

#include "talvik/layout/SkinLayout.h"

#include <vector>

namespace talvik::layout {

// Element identifiers. The close control and the Cancel button both cancel,
// so both carry the dialog's cancel result as their id.
namespace progress_id {
inline constexpr int Cancel = 2; // the dialog result IDCANCEL
inline constexpr int WarningLabel = 1001;
inline constexpr int TitleLabel = 1002;
inline constexpr int CancelLabel = 1003;
} // namespace progress_id

inline constexpr int kProgressWidth = 370;
inline constexpr int kProgressHeight = 250;
inline constexpr int kProgressNormalId = 139;
inline constexpr int kProgressHoverId = 140;
inline constexpr int kProgressActiveId = 141;

// The bar: copied from the active picture starting at its left end, 22 high,
// `percent` x 290 / 100 wide; full at 100 percent, wider beyond.
inline constexpr SkinRect kProgressBarRect{40, 150, 330, 172};
inline constexpr int kProgressBarFullWidth = 290;

// Every element's tip.
inline constexpr const char* kProgressTip = "tip";
// The warning label's captions while the dialog waits for an earlier transfer
// to end before it starts its own.
inline constexpr const char* kProgressWaitingZh = "正在等待上一次读写结束…";
inline constexpr const char* kProgressWaitingEn = "Waiting for the last transfer to end...";

// The five elements in slot order: close control, Cancel button, warning,
// title, Cancel text.
std::vector<ElementSpec> progressElements();

// The bar's width in design pixels for `percent`.
int progressBarWidth(int percent);

} // namespace talvik::layout
