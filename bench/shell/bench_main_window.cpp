// How fast the main window comes up and repaints:
//   FirstPaint   process start of Talvik on the simulated keyboard until its
//                main window has been painted (the program reports the moment),
//                against a bare Qt program's first paint, 15 rounds started
//                alternately; the counters give both medians, their ratio, and
//                the median of each round's own ratio (a round's two programs
//                see the same machine, which steadies it on a shared one)
//   Resident/1|2 the most memory Talvik holds resident until its first screenshot,
//                on a 1920x1080 and a 3840x2160 screen (the counters: median of
//                5 starts, and the target)
//   Repaint/1|2  one full repaint of the main window at scale 1.0 and 2.0

#include "talvik/model/CAppState.h"
#include "talvik/shell/COrsaApp.h"
#include "talvik/shell/COrsaDlg.h"

#include "QtBenchmarkMain.h"

#include <QApplication>
#include <QCoreApplication>
#include <QProcess>
#include <QSize>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <vector>

using namespace talvik::model;

namespace {

QString programPath(const char* name) {
    return QCoreApplication::applicationDirPath() + QLatin1Char('/') + QLatin1String(name);
}

// What a program started for a benchmark reports of its first paint.
struct SFirstPaint {
    double ms = -1;             // since its process started; negative when it reports none
    double residentMb = -1;     // the most memory it held resident until then
    double shotResidentMb = -1; // ... until its first screenshot, when one was asked for
};

// Starts `program` and reads what it reports of its first paint. With a
// `screen` size it runs on an offscreen screen of that size, else on the
// display when there is one (the benchmark itself paints offscreen).
SFirstPaint firstPaintOf(const QString& program, QSize screen = {}) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TALVIK_SIMULATOR"), QStringLiteral("1"));
    environment.insert(QStringLiteral("TALVIK_REPORT_FIRST_PAINT"), QStringLiteral("1"));
    QTemporaryDir shots;
    if (screen.isValid()) {
        // The memory is counted up to the first screenshot, as a user's first look.
        environment.insert(QStringLiteral("TALVIK_SCREENSHOT"), shots.filePath("first.png"));
    }
    QTemporaryFile screens;
    if (screen.isValid() && screens.open()) {
        screens.write(QStringLiteral(R"({"screens": [{"name": "bench", "x": 0, "y": 0,
            "width": %1, "height": %2, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})")
                          .arg(screen.width())
                          .arg(screen.height())
                          .toUtf8());
        screens.flush();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"),
                           QStringLiteral("offscreen:configfile=") + screens.fileName());
    } else if (environment.contains(QStringLiteral("DISPLAY"))) {
        environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    } else {
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    }
    process.setProcessEnvironment(environment);
    process.start(program, {});
    SFirstPaint report;
    const bool wantsResident = screen.isValid();
    while ((report.ms < 0 || (wantsResident && report.shotResidentMb < 0)) &&
           process.waitForReadyRead(5000)) {
        while (process.canReadLine()) {
            const QByteArray line = process.readLine().trimmed();
            if (line.startsWith("first-paint ")) {
                report.ms = line.mid(12).toDouble();
            } else if (line.startsWith("peak-resident-kb ")) {
                report.residentMb = line.mid(17).toDouble() / 1024.0;
            } else if (line.startsWith("screenshot-peak-resident-kb ")) {
                report.shotResidentMb = line.mid(28).toDouble() / 1024.0;
            }
        }
    }
    process.kill();
    process.waitForFinished();
    return report;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n == 0 ? 0 : (n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2);
}

// Talvik against the bare Qt program, started alternately so that both see
// the same machine; the time per iteration is Talvik's.
void FirstPaint(benchmark::State& state) {
    std::vector<double> talvik;
    std::vector<double> reference;
    std::vector<double> ratios;
    for (auto _ : state) {
        const double floor = firstPaintOf(programPath("talvik_reference_first_paint")).ms;
        const double ms = firstPaintOf(programPath("Talvik")).ms;
        if (ms < 0 || floor < 0) {
            state.SkipWithError("a program did not paint (is the keyboard answering?)");
            return;
        }
        reference.push_back(floor);
        talvik.push_back(ms);
        ratios.push_back(ms / floor);
        state.SetIterationTime(ms / 1000.0);
    }
    state.counters["talvik_median_ms"] = median(talvik);
    state.counters["qt_median_ms"] = median(reference);
    state.counters["ratio"] = median(talvik) / median(reference);
    state.counters["round_ratio_median"] = median(ratios);
}
BENCHMARK(FirstPaint)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(15);

// The most memory Talvik holds resident from its start to its first screenshot, on
// a 1920x1080 screen (scale 1) and on a 3840x2160 one (pictures of resolution
// 2), against the targets of 60 and 120 MB; the median of 5 starts.
void Resident(benchmark::State& state) {
    const bool large = state.range(0) == 2;
    const QSize screen = large ? QSize(3840, 2160) : QSize(1920, 1080);
    std::vector<double> atPaint;
    std::vector<double> atShot;
    for (auto _ : state) {
        const SFirstPaint report = firstPaintOf(programPath("Talvik"), screen);
        if (report.ms < 0 || report.shotResidentMb < 0) {
            state.SkipWithError("Talvik did not paint (is the keyboard answering?)");
            return;
        }
        atPaint.push_back(report.residentMb);
        atShot.push_back(report.shotResidentMb);
        state.SetIterationTime(report.ms / 1000.0);
    }
    state.counters["resident_mb"] = median(atShot);
    state.counters["at_first_paint_mb"] = median(atPaint);
    state.counters["target_mb"] = large ? 120 : 60;
}
BENCHMARK(Resident)->Arg(1)->Arg(2)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

// Loading the skin for the main window of model 1 at 1x: opening the resource
// file and decoding the three main pictures.
void SkinLoad(benchmark::State& state) {
    CAppState appState(CDeviceEnvironment::withoutDevices());
    talvik::shell::COrsaApp app(appState);
    const QString rcc = QCoreApplication::applicationDirPath() + QStringLiteral("/TalvikRES.rcc");
    for (auto _ : state) {
        QString error;
        if (!app.loadSkin(1, error, rcc, 1)) {
            state.SkipWithError("TalvikRES.rcc is missing");
            return;
        }
        app.releaseSkin();
    }
}
BENCHMARK(SkinLoad)->Unit(benchmark::kMillisecond)->UseRealTime();

void Repaint(benchmark::State& state) {
    const int factor = static_cast<int>(state.range(0));
    CAppState appState(CDeviceEnvironment::withoutDevices());
    appState.modelNumber = 1;
    talvik::shell::COrsaApp app(appState);
    QString error;
    if (!app.loadSkin(1, error,
                      QCoreApplication::applicationDirPath() + QStringLiteral("/TalvikRES.rcc"))) {
        state.SkipWithError("TalvikRES.rcc is missing");
        return;
    }
    appState.buildNameTables();
    talvik::shell::COrsaDlg window(app, appState);
    window.setKeyboardLink({[] { return true; }, [] { return true; }, [] { return true; }});
    window.initialise(QSize(1920 * factor, 1080 * factor));
    window.show();
    QCoreApplication::processEvents();
    for (auto _ : state) {
        window.repaint();
    }
}
BENCHMARK(Repaint)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return talvik::bench::runQtBenchmarks(argc, argv, false);
}
