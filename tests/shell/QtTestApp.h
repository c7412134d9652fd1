#pragma once

#include "support/TestSupport.h"

#include <QApplication>
#include <QEvent>
#include <QFont>
#include <QObject>

#include <chrono>
#include <functional>

namespace talvik::test {

// Runs the event loop until done() holds or atMost has passed; true when it
// held. The way a widget test waits for a timer, a worker or the X server.
bool waitFor(const std::function<bool()>& done, std::chrono::milliseconds atMost = kPatience);

// The one QApplication of a test program, created on first use with the font
// the program itself uses, and ended when the tests are over.
QApplication& qtApp();

// Counts the paint events of the widget it is installed on.
struct CPaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        paints += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

// Where the build puts the generated skin.
inline QString builtSkinPath() {
    return QStringLiteral(TALVIK_BINARY_DIR "/bin/TalvikRES.rcc");
}

} // namespace talvik::test
