// How fast the main window comes up and repaints:
//   FirstPaint   process start of Talvik on the simulated keyboard until its
//                main window has been painted (the program reports the moment),
//                against a bare Qt program's first paint, 15 rounds started
//                alternately; the counters give both medians, their ratio, and
//                the median of each round's own ratio (a round's two programs
//                see the same machine, which steadies it on a shared one)
//   Repaint/1|2  one full repaint of the main window at scale 1.0 and 2.0

#include "talvik/model/CAppState.h"
#include "talvik/shell/COrsaApp.h"
#include "talvik/shell/COrsaDlg.h"

#include "QtBenchmarkMain.h"

#include <QApplication>
#include <QCoreApplication>
#include <QProcess>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <vector>

using namespace talvik::model;

namespace {

QString programPath(const char* name) {
    return QCoreApplication::applicationDirPath() + QLatin1Char('/') + QLatin1String(name);
}

// Starts `program` and returns the first-paint time it reports, in ms since
// its process started; negative when it reports none.
double firstPaintOf(const QString& program) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TALVIK_SIMULATOR"), QStringLiteral("1"));
    environment.insert(QStringLiteral("TALVIK_REPORT_FIRST_PAINT"), QStringLiteral("1"));
    // On a display when there is one (the benchmark itself paints offscreen).
    if (environment.contains(QStringLiteral("DISPLAY"))) {
        environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    } else {
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    }
    process.setProcessEnvironment(environment);
    process.start(program, {});
    double ms = -1;
    while (ms < 0 && process.waitForReadyRead(5000)) {
        while (process.canReadLine()) {
            const QByteArray line = process.readLine().trimmed();
            if (line.startsWith("first-paint ")) {
                ms = line.mid(12).toDouble();
            }
        }
    }
    process.kill();
    process.waitForFinished();
    return ms;
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
        const double floor = firstPaintOf(programPath("talvik_reference_first_paint"));
        const double ms = firstPaintOf(programPath("Talvik"));
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
