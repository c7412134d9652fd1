#include "XDriver.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

namespace talvik::test {

void xdotool(const QStringList& arguments) {
    ASSERT_EQ(QProcess::execute(QStringLiteral("xdotool"), arguments), 0) << "xdotool failed";
}

QPoint screenCentre(QWidget& window, const layout::SkinRect& r) {
    return window.mapToGlobal(QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2));
}

void pointAt(QPoint p) {
    xdotool({QStringLiteral("mousemove"), QStringLiteral("--sync"), QString::number(p.x()),
             QString::number(p.y())});
}

void clickAt(QPoint p) {
    pointAt(p);
    xdotool({QStringLiteral("click"), QStringLiteral("1")});
}

bool waitFor(const std::function<bool()>& done, int ms) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < ms) {
        QTest::qWait(20);
    }
    return done();
}

QImage grabScreen(QWidget& window) {
    QTest::qWait(150);
    return window.screen()
        ->grabWindow(0, window.x(), window.y(), window.width(), window.height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

void saveShot(const QImage& image, const QString& name) {
    const QString dir = qEnvironmentVariable("TALVIK_SCREENSHOT_DIR");
    if (!dir.isEmpty()) {
        QDir().mkpath(dir);
        image.save(dir + QLatin1Char('/') + name);
    }
}

} // namespace talvik::test
