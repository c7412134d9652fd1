#include "XDriver.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

namespace talvik::test {

void xdotool(const QStringList& arguments) {
    EXPECT_EQ(QProcess::execute(QStringLiteral("xdotool"), arguments), 0)
        << "xdotool " << arguments.join(QLatin1Char(' ')).toStdString();
}

void pointAt(QPoint p) {
    xdotool({QStringLiteral("mousemove"), QStringLiteral("--sync"), QString::number(p.x()),
             QString::number(p.y())});
}

void clickAt(QPoint p) {
    pointAt(p);
    xdotool({QStringLiteral("click"), QStringLiteral("1")});
}

QPoint screenCentre(QWidget& window, const talvik::layout::SkinRect& r) {
    return window.mapToGlobal(QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2));
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
    QTest::qWait(150); // let the server apply the last repaint
    return window.screen()
        ->grabWindow(0, window.x(), window.y(), window.width(), window.height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

} // namespace talvik::test
