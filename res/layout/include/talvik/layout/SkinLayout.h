#pragma once

// The layout of the skinned windows as plain data. The skin generator draws
// every picture from these tables and the windows hit-test and caption from
// the same tables, so a picture and its window can never disagree.
// No Qt here: the tables are shared by the generator and the program.

#include "talvik/layout/SkinPalette.h"

#include <array>
#include <string>
#include <vector>

namespace talvik::layout {

// A rectangle as left, top, right, bottom; right and bottom are outside it.
struct SkinRect {
    int left = -1;
    int top = -1;
    int right = -1;
    int bottom = -1;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    bool operator==(const SkinRect&) const = default;
};

// Caption layout flags, in the numbering the element records carry.
inline constexpr unsigned kTextLeft = 0;
inline constexpr unsigned kTextCentre = 1;
inline constexpr unsigned kTextRight = 2;
// Added to one of the above: centred between top and bottom.
inline constexpr unsigned kTextVCentre = 4;

// One entry of a window's element table as the layout defines it.
struct ElementSpec {
    int slot = 0;
    int id = -1;
    std::string zh; // caption under "zh-CN"
    std::string en; // caption under "en-US"
    SkinRect rect;  // picture pixels, before any scaling
    bool isLabel = false;
    int keyIndex = -1; // key number 1..87 for key elements
    int code = -1;     // function code of a selection button
    Rgb textColor = kCaptionGrey;
    Rgb activeTextColor = kCaptionGrey;
    unsigned textFormat = kTextCentre;
    int fontIndex = 13;
    std::string legend; // what the picture prints on a key ("\n" splits shifted/base)
    std::string tipZh;  // tooltip under "zh-CN"
    std::string tipEn;  // tooltip under "en-US"
    bool isListRow = false;
    bool visible = true;
};

// A hot area of a window's table, and a caption-only element.
ElementSpec makeElementSpec(int slot, int id, std::string zh, std::string en, SkinRect rect);
ElementSpec makeLabelSpec(int slot, int id, std::string zh, std::string en, SkinRect rect,
                          unsigned format = kTextCentre, int font = 13);

// Element identifiers of the main window.
namespace main_id {
inline constexpr int Language = 85;
inline constexpr int ReadCounters = 86;
inline constexpr int Help = 87;
inline constexpr int Minimise = 88;
inline constexpr int Exit = 89;
inline constexpr int SaveProfile = 90;
inline constexpr int OpenProfile = 91;
inline constexpr int ClearConfig = 92;
inline constexpr int WriteKeys = 93;
inline constexpr int Backlight = 94;
inline constexpr int ReadAll = 95;
inline constexpr int Firmware = 96;
inline constexpr int Layer = 97;
inline constexpr int FirstKey = 100; // key n has id 99 + n
inline constexpr int LanguageLabel = 65;
inline constexpr int TopLayerLabel = 77;
inline constexpr int FnLayerLabel = 78;
inline constexpr int FirstLegendLabel = 55; // 55..61 name modes 2..8
} // namespace main_id

inline constexpr int kMainElementCount = 124;
inline constexpr int kKeyCount = 87;
inline constexpr int kMainWidth = 1240;
inline constexpr int kMainHeight = 670;
// Where the information text box sits, in picture pixels.
inline constexpr SkinRect kMainInfoRect{27, 506, 960, 650};
// The assignment marker bar drawn along the bottom of a key.
inline constexpr int kMarkerWidth = 14;
inline constexpr int kMarkerHeight = 4;

// Models 2 and 3 have no backlight; model 0 (nothing detected) looks like model 1.
bool hasBacklightButton(int model);

// The filled slots of the main window's element table, in slot order.
std::vector<ElementSpec> mainElements(int model);

// Marker colour per key mode 0..8.
const std::array<Rgb, 9>& modeColors();

// Picture numbers of the main window for a model.
struct MainPictureIds {
    int normal = 0;
    int hover = 0;
    int active = 0;
};
MainPictureIds mainPictureIds(int model);

// The skinned scroll bar draws itself from one picture of square cells, nine
// columns by three rows. Columns 0 to 3 serve a vertical bar (first arrow,
// last arrow, thumb, track), 4 to 7 a horizontal one in the same order;
// rows are the looks: normal, pointed at, pressed. The cell is also the
// bar's thickness and the length of its arrows.
inline constexpr int kScrollBarPictureId = 138;
inline constexpr int kScrollBarCell = 15;
inline constexpr int kScrollBarColumns = 9;
inline constexpr int kScrollBarRows = 3;
// The thumb's ends, kept whole however long the thumb: the rest of its
// cell is repeated between them.
inline constexpr int kScrollThumbEnd = 3;

// Every picture of the skin is drawn at each of these resolutions, in
// multiples of its design size: a window shown larger than its design takes
// the set drawn for that size instead of stretching the smallest.
inline constexpr std::array<int, 2> kPictureResolutions = {1, 2};
// The smallest resolution at or above `needed` (UI scale times the screen's
// device pixel ratio), or the largest there is.
int pictureResolution(double needed);
// The resource folder of one resolution's pictures: "skin", "skin@2x".
std::string pictureFolder(int resolution);
// Path of picture `id` at `resolution` inside the registered TalvikRES resource,
// in the stored form `readSkinPicture` reads.
std::string picturePath(int id, int resolution = 1);

// The program icon travels in the same resource file under its own prefix,
// since its number collides with a skin picture's.
inline constexpr int kProgramIconId = 128;
std::string iconPath(int id);

} // namespace talvik::layout
