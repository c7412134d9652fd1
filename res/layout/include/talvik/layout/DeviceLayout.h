#pragma once

// The layout of the device dialogs: the backlight settings dialog, its
// multi-key selection dialog and the firmware update dialog. Plain data like
// SkinLayout.h; the windows and the skin generator both read it.

#include "talvik/layout/SkinLayout.h"

#include <vector>

namespace talvik::layout {

// Element identifiers of the backlight settings dialog.
namespace backlight_id {
inline constexpr int Close = 88;
inline constexpr int Read = 89;
inline constexpr int Default = 90;
inline constexpr int Write = 91;
inline constexpr int Cancel = 92;
inline constexpr int Ok = 94;
inline constexpr int SetAll = 95;
inline constexpr int MultiKey = 97;
inline constexpr int FirstKey = 100; // light index i has id 99 + i
inline constexpr int Title = 98;     // the title label; never hit-tested
} // namespace backlight_id

// Element identifiers of the multi-key selection dialog.
namespace multiselect_id {
inline constexpr int Close = 88;
inline constexpr int SetColor = 97;
inline constexpr int FirstKey = 100;
inline constexpr int Title = 98;
} // namespace multiselect_id

inline constexpr int kBacklightWidth = 1250;
inline constexpr int kBacklightHeight = 476;
inline constexpr int kMultiSelectWidth = 1250;
inline constexpr int kMultiSelectHeight = 432;
// The coloured frame around each key lies this far outside its rectangle.
inline constexpr int kLightFrameWidth = 2;
// Light index 0 carries no key; 1..87 are the keys.
inline constexpr int kLightRows = kKeyCount + 1;

// The rectangle of the key with light index `index` (1..87), the same in both
// backlight dialogs.
SkinRect backlightKeyRect(int index);

// The element tables, in table order: buttons, keys, then labels.
std::vector<ElementSpec> backlightElements();
std::vector<ElementSpec> multiSelectElements();

// Picture numbers: the backlight dialog has a normal and a pointer-over
// picture, the multi-select dialog a normal and an active one.
struct PicturePair {
    int first = 0;
    int second = 0;
};
PicturePair backlightPictureIds(int model);
PicturePair multiSelectPictureIds(int model);

// Element identifiers of the firmware update dialog.
namespace firmware_id {
inline constexpr int Close = 89;
inline constexpr int GetVersion = 90;
inline constexpr int Open = 91;
inline constexpr int Update = 92;
inline constexpr int Cancel = 93;
inline constexpr int FileCaption = 187;
inline constexpr int Title = 188;
inline constexpr int GetVersionLabel = 190;
inline constexpr int OpenLabel = 191;
inline constexpr int UpdateLabel = 192;
inline constexpr int CancelLabel = 193;
} // namespace firmware_id

inline constexpr int kFirmwareWidth = 370;
inline constexpr int kFirmwareHeight = 250;
inline constexpr SkinRect kFirmwareVersionBox{44, 78, 206, 96};
inline constexpr SkinRect kFirmwareFileBox{112, 116, 255, 135};
// The progress bar: the strip of the active picture at this place, as wide
// as the progress says (290 design pixels at 100).
inline constexpr SkinRect kFirmwareBar{40, 150, 330, 172};
inline constexpr int kFirmwarePictureNormal = 128;
inline constexpr int kFirmwarePictureHover = 129;
inline constexpr int kFirmwarePictureActive = 130;

std::vector<ElementSpec> firmwareElements();

} // namespace talvik::layout
