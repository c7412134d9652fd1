#include "talvik/shell/FirstPaintProbe.h"

#include "talvik/shell/COrsaDialogWaitKeyboard.h"
#include "talvik/shell/COrsaDlg.h"
#include "talvik/shell/ProcessClock.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

#include <cstdio>
#include <fstream>
#include <string>

namespace talvik::shell {
namespace {

// The most memory the process has held resident so far, in kB (0 where the
// system does not say).
long peakResidentKb() {
    std::ifstream status("/proc/self/status");
    std::string field;
    while (status >> field) {
        if (field == "VmHWM:") {
            long kb = 0;
            status >> kb;
            return kb;
        }
    }
    return 0;
}

void reportPeakResident(const char* what) {
    std::printf("%s %ld\n", what, peakResidentKb());
    std::fflush(stdout);
}

void saveScreenshot(QWidget* window, const QString& path, bool report) {
    QScreen* screen = window->screen();
    const QPixmap shot =
        screen->grabWindow(0, window->x(), window->y(), window->width(), window->height());
    if (!shot.save(path)) {
        std::fprintf(stderr, "cannot write the screenshot %s\n", qPrintable(path));
    }
    if (report) {
        reportPeakResident("screenshot-peak-resident-kb");
    }
    window->close();
}

class CFirstPaintProbe : public QObject {
public:
    CFirstPaintProbe(QObject* parent, bool report, QString screenshot)
        : QObject(parent), m_report(report), m_screenshot(std::move(screenshot)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (m_done || event->type() != QEvent::Paint) {
            return false;
        }
        // The main window normally; a message box when start-up fails, so the
        // screenshot shows why.
        auto* window = qobject_cast<QWidget*>(watched);
        if (window == nullptr || !window->isWindow()) {
            return false;
        }
        // The search window only passes by: what follows it says how start-up went.
        if (dynamic_cast<COrsaDialogWaitKeyboard*>(window) != nullptr) {
            return false;
        }
        m_done = true;
        const bool isMain = dynamic_cast<COrsaDlg*>(window) != nullptr;
        // Runs once the paint has been handled and put on screen.
        QTimer::singleShot(0, this, [this, window, isMain] { afterFirstPaint(window, isMain); });
        return false;
    }

private:
    void afterFirstPaint(QWidget* window, bool isMain) {
        if (m_report && isMain) {
            std::printf("first-paint %.1f\n", msSinceProcessStart());
            reportPeakResident("peak-resident-kb");
        }
        if (m_screenshot.isEmpty()) {
            return;
        }
        // Give the window system a moment to apply the shape and map the window.
        QTimer::singleShot(300, window, [window, path = m_screenshot, report = m_report && isMain] {
            saveScreenshot(window, path, report);
        });
    }

    bool m_report;
    QString m_screenshot;
    bool m_done = false;
};

} // namespace

std::unique_ptr<QObject> installFirstPaintProbe(QApplication& application) {
    const bool report = qEnvironmentVariableIntValue("TALVIK_REPORT_FIRST_PAINT") != 0;
    const QString screenshot = qEnvironmentVariable("TALVIK_SCREENSHOT");
    if (!report && screenshot.isEmpty()) {
        return nullptr;
    }
    auto probe = std::make_unique<CFirstPaintProbe>(nullptr, report, screenshot);
    application.installEventFilter(probe.get());
    return probe;
}

} // namespace talvik::shell
