#pragma once

// Drives windows on the test X server with real events (xdotool sends them
// through the server) and reads back what the screen shows.

#include "layout/SkinLayout.h"

#include <QImage>
#include <QPoint>
#include <QStringList>
#include <QWidget>

#include <functional>

namespace talvik::test {

// Runs xdotool; a failure fails the test.
void xdotool(const QStringList& arguments);
void pointAt(QPoint global);
void clickAt(QPoint global);
// The centre of a window rectangle, in screen coordinates.
QPoint screenCentre(QWidget& window, const talvik::layout::SkinRect& r);
// Runs the event loop until `done` holds or `ms` have passed; returns `done()`.
bool waitFor(const std::function<bool()>& done, int ms = 4000);
// What the screen shows of the window.
QImage grabScreen(QWidget& window);

} // namespace talvik::test
