#pragma once

#include <QApplication>
#include <QFont>

namespace talvik::test {

// The one QApplication of a test program, created on first use with the font
// the program itself uses, and ended when the tests are over.
QApplication& qtApp();

// Where the build puts the generated skin.
inline QString builtSkinPath() {
    return QStringLiteral(TALVIK_BINARY_DIR "/bin/TalvikRES.rcc");
}

} // namespace talvik::test
