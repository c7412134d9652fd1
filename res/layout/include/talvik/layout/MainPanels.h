#pragma once

// The side panels of the main window that stand for state: the layer column
// right of the keyboard and the connection box beside the information box.
// The pictures draw the panels and both layer plates (unlit in the normal
// picture, lit in the active one); the window lights the plate of the layer
// it shows and writes the texts in the current language, so what the panels
// say always matches the switch and the connection.

#include "talvik/layout/SkinLayout.h"

#include <array>

namespace talvik::layout {

// A text the window writes over a panel.
struct PanelText {
    SkinRect rect;
    const char* zh;
    const char* en;
    int pixelSize;
    bool bold;
    unsigned format; // kTextLeft / kTextCentre, vertically centred; wraps when tall
};

inline constexpr SkinRect kLayerPanel{1086, 150, 1220, 476};
// One plate per layer, the top layer first.
inline constexpr std::array<SkinRect, 2> kLayerPlates{
    {{1104, 196, 1202, 254}, {1104, 276, 1202, 334}}};
inline constexpr PanelText kLayerHeading{
    {1086, 166, 1220, 186}, "按键层", "LAYERS", 12, true, kTextCentre};
// Per layer: the plate's title and, under it, how the layer is reached.
inline constexpr std::array<PanelText, 2> kLayerTitles{
    {{{1104, 202, 1202, 228}, "顶层", "Top layer", 15, true, kTextCentre},
     {{1104, 282, 1202, 308}, "Fn组合层", "Fn layer", 15, true, kTextCentre}}};
inline constexpr std::array<PanelText, 2> kLayerHints{
    {{{1104, 228, 1202, 248}, "直接按键", "key alone", 11, false, kTextCentre},
     {{1104, 308, 1202, 328}, "按住 Fn 再按键", "hold Fn + key", 11, false, kTextCentre}}};
inline constexpr PanelText kLayerFooter{{1092, 346, 1214, 396},
                                        "上方开关切换显示的层",
                                        "The switch above picks the layer shown",
                                        11,
                                        false,
                                        kTextCentre};

// The heatmap's scale, over the row of the assignment legend while the heatmap
// is shown: what it counts on the left, the colour run with its numbers on the right.
inline constexpr SkinRect kHeatLegendPanel{204, 480, 1074, 499};
inline constexpr SkinRect kHeatLegendTitle{216, 480, 600, 499};
inline constexpr SkinRect kHeatLegendBar{604, 482, 1068, 497};
inline constexpr int kHeatLegendTicks = 5;

inline constexpr SkinRect kStatusPanel{980, 501, 1220, 655};
// The connection light and what it means.
inline constexpr SkinRect kStatusLight{1002, 527, 1014, 539};
inline constexpr PanelText kConnected{
    {1024, 520, 1204, 546}, "已连接", "Connected", 15, true, kTextLeft};
inline constexpr PanelText kDisconnected{
    {1024, 520, 1204, 546}, "未连接", "Not connected", 15, true, kTextLeft};
// Where kNotReadYet stands, while the keyboard is away.
inline constexpr PanelText kReconnectsByItself{{1002, 638, 1212, 654},
                                               "键盘插回后自动重新连接",
                                               "connects again when plugged back in",
                                               11,
                                               false,
                                               kTextLeft};
// Under the hints while the program does not know what the keyboard holds.
inline constexpr PanelText kNotReadYet{{1002, 638, 1212, 654},
                                       "键盘中的设置尚未读取",
                                       "keyboard's settings not read yet",
                                       11,
                                       false,
                                       kTextLeft};
inline constexpr std::array<PanelText, 2> kStatusHints{
    {{{1002, 598, 1202, 618}, "点击按键进行设置", "Click a key to set it", 12, false, kTextLeft},
     {{1002, 618, 1202, 638}, "点击 ? 打开帮助", "Click ? for help", 12, false, kTextLeft}}};

// A keycap's outer edge (its skirt) lies this far inside the key's rectangle;
// the pointer-over picture outlines it in the accent, and so does the window
// for a key drawn from the active picture.
inline constexpr int kKeycapInset = 2;
inline constexpr int kKeycapRadius = 5;
inline constexpr double kKeyOutlineWidth = 2.0;

// The marks of the most and least pressed keys after the counters were read:
// a small triangle in the key's top right corner, pointing up or down.
inline constexpr int kPressMarkSize = 10;

// The mark of a key whose assignment on the layer shown is not on the keyboard yet: a dot
// in the key's bottom left corner, where neither the press marks nor the mode bar are.
inline constexpr int kUnwrittenMarkSize = 7;

} // namespace talvik::layout
