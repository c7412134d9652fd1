#pragma once

#include <QByteArray>
#include <QImage>

namespace talvik::skin {

// The program's icon: the orange "T" tile of the brand, `size` pixels square.
QImage drawProgramIcon(int size);

// The same icon as SVG, for desktops that scale it themselves: the tile and
// the outline of the letter as the pixel icons draw it.
QByteArray programIconSvg();

// Sizes of the pixel icons installed for the desktop.
inline constexpr int kDesktopIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256, 512};

} // namespace talvik::skin
