#pragma once

// The skin's colours, named for what they paint. The generator draws every
// picture in them, and the windows paint over the pictures and style their
// widgets in the same values, so a widget sits in its picture without a seam.
// No Qt here: the generator and the program both take it.

#include <array>

namespace talvik::layout {

struct Rgb {
    int red = 0;
    int green = 0;
    int blue = 0;
    bool operator==(const Rgb&) const = default;
};

// The accent: the brand tile, the title bars, every lit mark and pressed
// control. The information box writes in it too.
inline constexpr Rgb kAccentOrange{255, 111, 0};
// The lit rim of a pressed control, of a lit keycap and of a pressed scroll thumb.
inline constexpr Rgb kAccentBright{255, 150, 60};
// The progress fill runs from glow through the accent to deep; a pressed
// control's face from deep to shadow.
inline constexpr Rgb kAccentGlow{255, 160, 70};
inline constexpr Rgb kAccentDeep{196, 84, 0};
inline constexpr Rgb kAccentShadow{150, 62, 0};
// Dark ink on the accent and on bright marks: the brand tile's letter, a
// selected key's tick, the outline of the press marks.
inline constexpr Rgb kInkOnAccent{20, 20, 20};
// Opacity (0..255) of the accent laid over the dark: the line along a keyboard
// case's top edge, the bar of a tab under the pointer, the rule under a list
// box's header.
inline constexpr int kCaseRimAlpha = 150;
inline constexpr int kPointedTabAlpha = 140;
inline constexpr int kListHeaderRuleAlpha = 120;

// The body every window's picture stands on, top to bottom, and its outline.
inline constexpr Rgb kBodyTop{40, 41, 45};
inline constexpr Rgb kBodyMiddle{30, 31, 34};
inline constexpr Rgb kBodyBottom{22, 22, 24};
inline constexpr Rgb kBodyOutline{64, 65, 70};
// The rule under a title row and between a page's groups.
inline constexpr Rgb kTitleRule{52, 53, 58};
// The short rules inside the side panels, and the frame of a list box.
inline constexpr Rgb kPanelRule{60, 61, 66};

// Recessed panels: the keyboard cases, the columns beside them, the wells the
// windows write into. Every recess has a dark outer edge and a lit inner one.
inline constexpr Rgb kRecessShadow{12, 12, 13};
inline constexpr Rgb kRecessRim{70, 72, 78};
// Keyboard cases, the progress track and the waiting dialog's keycap well.
inline constexpr Rgb kKeyboardCase{17, 17, 19};
// The columns beside the keyboards, the key map dialog's page, and the veil
// over the functions a model lacks (at kMissingFunctionAlpha).
inline constexpr Rgb kSidePanel{26, 26, 29};
inline constexpr int kMissingFunctionAlpha = 165;
// Behind text the windows write: the information box, the text boxes, lists.
inline constexpr Rgb kInfoBackground{20, 20, 20};
// The lit inner edge of a progress track.
inline constexpr Rgb kTrackRim{58, 60, 66};

// Text and ink on the dark body, brightest first.
inline constexpr Rgb kLitInk{255, 255, 255}; // on a lit or pointed-at control
inline constexpr Rgb kTitleText{236, 236, 240};
inline constexpr Rgb kBodyText{200, 202, 208}; // the backlight dialogs' columns
// The waiting dialog's English headline, a flat button's pictogram at rest,
// the layer switch's knob at rest.
inline constexpr Rgb kPaleInk{190, 192, 198};
// Brand names in small print, a scroll arrow's chevron at rest.
inline constexpr Rgb kMutedInk{150, 152, 160};
// The version, the facts under the brand, the connection box's line, the
// backlight dialogs' hints.
inline constexpr Rgb kHintInk{130, 132, 140};
// The connection box's hints (drawn by the main window), a radio's ring at rest.
inline constexpr Rgb kQuietInk{120, 122, 130};
// Footers and the virtual keyboard's hint.
inline constexpr Rgb kFaintInk{110, 112, 120};

// Keycaps in each look: the skirt, the face's gradient, the legend and the
// outer edge. A pictogram on a function keycap at rest is brighter than a
// letter: it says less at a glance.
struct KeycapShades {
    Rgb skirt;
    Rgb faceTop;
    Rgb faceBottom;
    Rgb ink;
    Rgb edge;
};
inline constexpr Rgb kKeycapEdge{24, 24, 26};
inline constexpr KeycapShades kKeycapNormal{
    {36, 37, 41}, {58, 59, 65}, {48, 49, 54}, {128, 131, 138}, kKeycapEdge};
inline constexpr KeycapShades kKeycapHover{
    {70, 52, 36}, {96, 98, 106}, {80, 82, 90}, kLitInk, kAccentOrange};
inline constexpr KeycapShades kKeycapActive{
    {44, 40, 37}, {66, 63, 60}, {54, 51, 48}, {255, 138, 40}, kKeycapEdge};
inline constexpr Rgb kPictogramInk{176, 179, 186};

// A raised control at rest: the foot of a flat button, the layer switch's
// track, the layer plates, small keycaps, scroll arrows; and its border.
inline constexpr Rgb kControlFill{44, 45, 50};
inline constexpr Rgb kControlBorder{86, 88, 96};
// A raised control's face under the pointer.
inline constexpr Rgb kPointedFace{70, 72, 80};

// Flat command buttons in each look: the face's gradient and border, and for
// a pictogram on the button its ink and the face its marks are cut free in.
struct ButtonShades {
    Rgb fillTop;
    Rgb fillBottom;
    Rgb border;
    Rgb face;
    Rgb ink;
};
inline constexpr ButtonShades kButtonNormal{
    {58, 59, 65}, kControlFill, {78, 80, 87}, {50, 51, 57}, kPaleInk};
inline constexpr ButtonShades kButtonHover{
    {80, 82, 90}, {62, 63, 70}, kAccentOrange, kPointedFace, kLitInk};
inline constexpr ButtonShades kButtonActive{
    kAccentDeep, kAccentShadow, kAccentBright, {172, 73, 0}, kLitInk};

// The glyph buttons of a title row: the glyph at rest, and the square behind
// it under the pointer (red for close).
inline constexpr Rgb kWindowGlyph{170, 172, 180};
inline constexpr Rgb kWindowGlyphBack{74, 76, 84};
inline constexpr Rgb kCloseBack{210, 56, 40};

// The main window: the layer switch when on, a lit layer plate, and the small
// keycaps under the brand and in the waiting dialog (lit: in the accent).
inline constexpr Rgb kSwitchOn{200, 86, 0};
inline constexpr Rgb kLitPlate{60, 36, 18};
inline constexpr Rgb kSmallKeycapFace{70, 72, 78};
inline constexpr Rgb kLitSmallKeycap{70, 44, 24};

// The key map dialog's controls: tabs, radios, list boxes and their rows,
// the groups of a page, the delay field, the record buttons' dot.
inline constexpr Rgb kTabFill{36, 37, 41};
inline constexpr Rgb kPointedTabFill{58, 60, 66};
inline constexpr Rgb kPointedChosenTabFill{40, 41, 46};
inline constexpr Rgb kTabBorder{50, 51, 56};
inline constexpr Rgb kRadioFill{30, 31, 34};
// White at this opacity marks a radio's row under the pointer.
inline constexpr int kPointedRadioAlpha = 16;
inline constexpr Rgb kListHeaderTop{52, 53, 59};
inline constexpr Rgb kListHeaderBottom{42, 43, 48};
inline constexpr Rgb kPointedListRow{48, 50, 56};
inline constexpr Rgb kChosenListRow{112, 50, 6};
inline constexpr Rgb kGroupFill{31, 32, 36};
inline constexpr Rgb kGroupFrame{46, 47, 52};
// Where a skinned scroll bar sits before the dialog places it.
inline constexpr Rgb kScrollPlaceholder{30, 30, 33};
inline constexpr Rgb kFieldFill{32, 33, 37};
inline constexpr Rgb kRecordDot{228, 52, 44};

// The skinned scroll bar: its trough with the groove and the trough's shaded
// and lit sides, and per look its arrows and thumb.
inline constexpr Rgb kScrollTrough{24, 24, 26};
inline constexpr Rgb kScrollGroove{36, 37, 41};
inline constexpr Rgb kScrollTroughShade{16, 16, 17};
inline constexpr Rgb kScrollTroughLight{40, 41, 45};
struct ScrollBarShades {
    Rgb arrowFill;
    Rgb arrowBorder;
    Rgb chevron;
    Rgb thumbEdge;
    Rgb thumbMiddle;
};
inline constexpr ScrollBarShades kScrollBarNormal{
    kControlFill, {64, 66, 72}, kMutedInk, {96, 98, 106}, {78, 80, 88}};
inline constexpr ScrollBarShades kScrollBarHover{
    kPointedFace, kAccentOrange, kLitInk, {140, 142, 150}, {112, 114, 122}};
inline constexpr ScrollBarShades kScrollBarActive{kAccentDeep, kAccentBright, kLitInk,
                                                  kAccentBright, kAccentOrange};

// The progress dialog's picture of a keyboard and its cable, and the light
// stripes across a progress fill (white at kProgressStripeAlpha).
inline constexpr Rgb kCable{86, 88, 96};
inline constexpr Rgb kPlugBody{130, 132, 140};
inline constexpr Rgb kPlugTip{70, 72, 78};
inline constexpr int kProgressStripeAlpha = 46;

// The backlight dialogs' ring of every hue, and the ring of colours on the
// light effect pictograms, both around the circle from the top.
inline constexpr std::array<Rgb, 7> kHueRing{{{255, 0, 0},
                                              {255, 0, 255},
                                              {0, 0, 255},
                                              {0, 255, 255},
                                              {0, 255, 0},
                                              {255, 255, 0},
                                              {255, 0, 0}}};
inline constexpr std::array<Rgb, 6> kPictogramSpectrum{
    {{255, 70, 60}, {255, 200, 40}, {70, 210, 90}, {40, 200, 230}, {70, 100, 255}, {220, 70, 230}}};

// Colour keys: every pixel of a window's key colour is outside its outline,
// so no picture of a window may take its key colour inside the body: the
// shape would have a hole there.
inline constexpr Rgb kColourKey{0, 0, 255}; // the main, waiting and virtual keyboard windows
// The backlight and multi-select dialogs: just off the pure blue of their hue ring.
inline constexpr Rgb kBacklightColourKey{1, 3, 255};
inline constexpr Rgb kFirmwareColourKey{255, 0, 0};
inline constexpr Rgb kProgressColourKey{255, 0, 0};
inline constexpr Rgb kKeyMapColourKey{255, 0, 0};

// What the windows write and mark over their pictures: captions, the names
// of the lit layer, the key map dialog's notices and recording, the main
// window's panels, its connection light and the press counter marks.
inline constexpr Rgb kCaptionGrey{200, 200, 200};
inline constexpr Rgb kLayerActiveGreen{0, 255, 0};
inline constexpr Rgb kStopRecordGreen{0, 255, 0};
inline constexpr Rgb kNoticeAmber{255, 176, 64};
inline constexpr Rgb kPanelTitle{220, 222, 228};
inline constexpr Rgb kPanelTitleLit{255, 170, 100};
inline constexpr Rgb kPanelHint{140, 142, 150};
inline constexpr Rgb kConnectedGreen{0, 200, 90};
inline constexpr Rgb kDisconnectedRed{220, 50, 40};
inline constexpr Rgb kMostPressedMark{255, 200, 0};
inline constexpr Rgb kLeastPressedMark{110, 170, 255};
inline constexpr Rgb kUnwrittenMark{255, 244, 214};
// The assignment marker under a key, by key mode 0..8, and the main window's
// legend samples of modes 2..8. Mode 6 is just off the main window's key.
inline constexpr std::array<Rgb, 9> kModeMarkers{{{0, 0, 0},
                                                  {0, 128, 192},
                                                  {255, 255, 0},
                                                  {0, 255, 0},
                                                  {128, 128, 0},
                                                  {255, 0, 255},
                                                  {10, 10, 255},
                                                  {0, 255, 255},
                                                  {255, 0, 0}}};
// The information box's scroll handle; under the pointer it takes the accent.
inline constexpr Rgb kInfoScrollHandle{90, 60, 30};

// The style sheets of the editor's widgets: the tooltip window, the macro
// page's menu and the key map dialog's line edits. Their other colours are
// the accent, kInfoBackground, kRecessRim and kInkOnAccent.
inline constexpr Rgb kTipText{0, 0, 255};
inline constexpr Rgb kTipBackground{255, 255, 0};
inline constexpr Rgb kTipBorder{60, 60, 60};
inline constexpr Rgb kMenuBackground{30, 30, 33};
inline constexpr Rgb kMenuText{220, 220, 220};
inline constexpr Rgb kDisabledFieldText{130, 80, 40};
inline constexpr Rgb kDisabledFieldBorder{48, 49, 54};

} // namespace talvik::layout
