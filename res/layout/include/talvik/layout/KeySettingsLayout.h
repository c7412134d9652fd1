#pragma once

// The key settings dialog: seven pages, one per function category, drawn from
// three faces per page and a table of 221 elements. Elements with an id below
// 100 belong to every page; any other belongs to page id / 100.

#include "talvik/layout/SkinLayout.h"

#include <array>
#include <vector>

namespace talvik::layout {

namespace keymap_id {
// Every page.
inline constexpr int Clear = 86;
inline constexpr int Default = 87;
inline constexpr int Ok = 88;
inline constexpr int Cancel = 89;
inline constexpr int FirstTab = 90; // 90..96 show pages 1..7
inline constexpr int Close = 97;
inline constexpr int FirstTabLabel = 30;
inline constexpr int DefaultLabel = 37;
inline constexpr int OkLabel = 38;
inline constexpr int CancelLabel = 39;
inline constexpr int Title = 40;
inline constexpr int ClearLabel = 41;
// Says how keys are captured when the desktop keyboard cannot be taken.
inline constexpr int CaptureNotice = 42;

// Page 1, Single/Combo.
inline constexpr int SingleRadio = 101;
inline constexpr int ComboRadio = 102;
inline constexpr int RecordSingle = 104;
inline constexpr int NewCombo = 105;
inline constexpr int DeleteCombo = 106;
inline constexpr int RecordCombo = 107;
inline constexpr int VirtualSingle = 108;
inline constexpr int VirtualCombo = 109;
inline constexpr int FirstComboRow = 121;  // 121..126
inline constexpr int FirstRecordRow = 141; // 141..143, under the combo text box
inline constexpr int SingleLabel = 151;
inline constexpr int ComboLabel = 152;
inline constexpr int PressKeyLabel = 153;
inline constexpr int RecordSingleLabel = 154;
inline constexpr int StopSingleLabel = 155;
inline constexpr int NewLabel = 156;
inline constexpr int DeleteLabel = 157;
inline constexpr int SingleKeyName = 158;
inline constexpr int RecordComboLabel = 159;
inline constexpr int StopComboLabel = 160;
inline constexpr int ComboListHeader = 161;
inline constexpr int RecordListHeader = 162;
inline constexpr int VirtualSingleLabel = 163;
inline constexpr int VirtualComboLabel = 164;

// Page 2, Macro.
inline constexpr int TimesPlayRadio = 201;
inline constexpr int AutoDelayRadio = 203;
inline constexpr int NewMacro = 205;
inline constexpr int RemoveMacro = 206;
inline constexpr int RecordMacro = 207;
inline constexpr int HeldPlayRadio = 208;
inline constexpr int TogglePlayRadio = 209;
inline constexpr int RecordDelayRadio = 210;
inline constexpr int FirstMacroRow = 221; // 221..229
inline constexpr int FirstEventRow = 241; // 241..249
inline constexpr int RecordMacroLabel = 267;
inline constexpr int StopMacroLabel = 268;
inline constexpr int MacroTip = 269;
// Stands in for the tip when the macro is longer than the keyboard holds.
inline constexpr int MacroNotice = 276;

// Page 3, Emulate.
inline constexpr int DelayFrame = 301;
inline constexpr int RecordEmu = 302;
inline constexpr int NewEmu = 305;
inline constexpr int RemoveEmu = 306;
inline constexpr int FirstEmuRow = 321;    // 321..329
inline constexpr int FirstEmuKeyRow = 341; // 341..349
inline constexpr int RecordEmuLabel = 352;
inline constexpr int StopEmuLabel = 353;
// Says that the sequence is longer than the keyboard holds.
inline constexpr int EmuNotice = 359;
} // namespace keymap_id

inline constexpr int kKeyMapPageCount = 7;
inline constexpr int kKeyMapElementCount = 221;
inline constexpr int kKeyMapWidth = 580;
inline constexpr int kKeyMapHeight = 372;

// Rows a page's lists show at once.
inline constexpr int kComboRows = 6;
inline constexpr int kMacroRows = 9;

// The page an element belongs to: 0 for every page, 1..7 otherwise.
inline constexpr int pageOfElement(int id) {
    return id < 100 ? 0 : id / 100;
}

// The filled slots of the dialog's element table, in slot order.
std::vector<ElementSpec> keyMapElements();

// Whether the keyboard of `model` has keyboard function `code`: the Function
// page's normal face shows the others dimmed.
bool modelHasFunction(int model, int code);

// The three faces of every page in page order: normal, pointer-over, active.
// The Function page's normal face shows the functions of the model.
inline constexpr int kKeyMapPictureCount = 3 * kKeyMapPageCount;
std::array<int, kKeyMapPictureCount> keyMapPictureIds(int model);

// Where the child controls sit, in design pixels (left, top, width, height).
struct ControlPlace {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};
namespace keymap_control {
inline constexpr int Count = 1001;    // times played or emulation delay
inline constexpr int Interval = 1002; // macro auto delay
inline constexpr int Rename = 1003;   // the in-place editor
inline constexpr int ComboText = 1005;
inline constexpr int LibraryBar = 1006;
inline constexpr int EntryBar = 1007;
} // namespace keymap_control
// Edits 1001 and 1002 stand after captions whose length depends on the language.
ControlPlace countEditPlace(bool english);
ControlPlace intervalEditPlace(bool english);
inline constexpr ControlPlace kComboTextPlace{380, 138, 141, 52};
inline constexpr ControlPlace kComboBarPlace{358, 137, 50, 96};
inline constexpr ControlPlace kMacroLibraryBarPlace{181, 115, 15, 126};
inline constexpr ControlPlace kMacroEntryBarPlace{357, 115, 15, 126};
inline constexpr ControlPlace kEmuLibraryBarPlace{181, 115, 50, 126};
inline constexpr ControlPlace kEmuEntryBarPlace{357, 115, 50, 126};
inline constexpr int kEditFontSize = 13;
inline constexpr int kComboTextFontSize = 11;

} // namespace talvik::layout
