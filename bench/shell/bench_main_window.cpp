// How fast the main window comes up and repaints:
//   FirstPaint   process start of Talvik on the simulated keyboard until its
//                main window has been painted (the program reports the moment)
//   Repaint/1|2  one full repaint of the main window at scale 1.0 and 2.0

#include "talvik/model/CAppState.h"
#include "talvik/shell/COrsaApp.h"
#include "talvik/shell/COrsaDlg.h"

#include <QApplication>
#include <QCoreApplication>
#include <QProcess>
#include <benchmark/benchmark.h>

#include <memory>

namespace {

QString programPath() {
    return QCoreApplication::applicationDirPath() + QStringLiteral("/Talvik");
}

void FirstPaint(benchmark::State& state) {
    for (auto _ : state) {
        QProcess talvik;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("TALVIK_SIMULATOR"), QStringLiteral("1"));
        environment.insert(QStringLiteral("TALVIK_REPORT_FIRST_PAINT"), QStringLiteral("1"));
        if (!environment.contains(QStringLiteral("DISPLAY"))) {
            environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        }
        talvik.setProcessEnvironment(environment);
        talvik.start(programPath(), {});
        double ms = -1;
        while (ms < 0 && talvik.waitForReadyRead(5000)) {
            while (talvik.canReadLine()) {
                const QByteArray line = talvik.readLine().trimmed();
                if (line.startsWith("first-paint ")) {
                    ms = line.mid(12).toDouble();
                }
            }
        }
        talvik.kill();
        talvik.waitForFinished();
        if (ms < 0) {
            state.SkipWithError(
                "Talvik did not paint its main window (is the keyboard answering?)");
            return;
        }
        state.SetIterationTime(ms / 1000.0);
    }
}
BENCHMARK(FirstPaint)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

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
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    QApplication::setFont(QFont(QStringLiteral("Noto Sans CJK SC")));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
