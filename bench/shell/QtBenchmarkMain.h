#pragma once

// The main of a benchmark that needs a QApplication: offscreen unless a
// display is there and `useDisplay` is set, with the font the program uses.

#include <QApplication>
#include <QFont>
#include <benchmark/benchmark.h>

namespace talvik::bench {

inline int runQtBenchmarks(int argc, char** argv, bool useDisplay) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
        (!useDisplay || qEnvironmentVariableIsEmpty("DISPLAY"))) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    QApplication::setFont(QFont(QStringLiteral("Noto Sans CJK SC")));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace talvik::bench
