#pragma once

// Driving windows on the test X server through real X events (xdotool), and
// what the screen shows of them.

#include "layout/SkinLayout.h"

#include <QImage>
#include <QPoint>
#include <QStringList>
#include <QWidget>

#include <functional>

namespace talvik::test {

// Runs xdotool with `arguments`; a failure fails the test.
void xdotool(const QStringList& arguments);

// The centre of `r` (window coordinates of `window`) on the screen.
QPoint screenCentre(QWidget& window, const layout::SkinRect& r);
void pointAt(QPoint p);
void clickAt(QPoint p);

// Runs the event loop until `done` holds or `ms` milliseconds have passed.
bool waitFor(const std::function<bool()>& done, int ms = 4000);

// What the screen shows of `window`, once the server has had a moment to
// apply its last repaint.
QImage grabScreen(QWidget& window);

// Saves `image` as `name` in TALVIK_SCREENSHOT_DIR, when that is set.
void saveShot(const QImage& image, const QString& name);

} // namespace talvik::test
