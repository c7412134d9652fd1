// How long each window takes from the click that opens it to its first paint,
// beside a plain QDialog of the same size opened the same way in the same
// process. Every window is built, initialised and shown as its command does
// (shown rather than run modally, so the benchmark keeps the event loop),
// on the simulated keyboard of model 1. The clock stops when the first paint
// has been handed to the display; between two windows the loop runs idle for
// a moment, so neither is timed while the display still works for the other.
//   Dialog/<n>   the window n of the list below, 21 rounds, each the window
//                and then the plain dialog; counters: the window's median, the
//                plain dialog's median, their ratio, and the median of each
//                round's own ratio.

#include "talvik/device/CFirmwareDownload.h"
#include "talvik/device/COrsaDialogBkLightMultiSelect.h"
#include "talvik/device/COrsaDialogBkLightSettings.h"
#include "talvik/device/COrsaDialogFirmwareUpdate.h"
#include "talvik/device/COrsaDialogProgress.h"
#include "talvik/editor/COrsaDialogKeyMapSettings.h"
#include "talvik/editor/OrsaDialogVirtual.h"
#include "talvik/jobs/CDeviceJob.h"
#include "talvik/jobs/CDeviceWorkerSlot.h"
#include "talvik/model/CAppState.h"
#include "talvik/shell/COrsaApp.h"

#include "QtBenchmarkMain.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QWindow>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

using namespace talvik::model;

namespace {

using talvik::device::CFirmwareDownload;
using talvik::device::CMultiSelection;

struct SProgram {
    SProgram() : state(simulated()), app(state) {
        state.modelNumber = state.device.DetectDeviceType();
        QString error;
        loaded =
            app.loadSkin(state.modelNumber, error,
                         QCoreApplication::applicationDirPath() + QStringLiteral("/TalvikRES.rcc"));
        state.buildNameTables();
        state.editKey = 43;
        state.editLevel = 0;
    }
    static CDeviceEnvironment simulated() {
        CDeviceEnvironment environment = CDeviceEnvironment::fromProcess();
        environment.simulatorModel = 1;
        return environment;
    }
    CAppState state;
    talvik::shell::COrsaApp app;
    talvik::jobs::CDeviceWorkerSlot worker;
    bool loaded = false;
};

SProgram& program() {
    static SProgram instance;
    return instance;
}

// Notes the first paint of the window it watches, and the moment that paint
// has been handled: painted and handed to the display. A window's first
// paint runs inside the handling of its first exposure, so the watch handles
// that exposure itself to see it end. Whatever the loop does next (the
// pointer resting over the new window repaints part of it) is not the first
// paint and is not timed.
class CPaintWatch : public QObject {
public:
    explicit CPaintWatch(const QElapsedTimer& clock) : m_clock(clock) {}

    bool painted = false;
    double handledMs = -1;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            painted = true;
        } else if (event->type() == QEvent::Expose && !painted && !m_inExposure) {
            m_inExposure = true;
            watched->event(event);
            m_inExposure = false;
            if (painted) {
                handledMs = static_cast<double>(m_clock.nsecsElapsed()) / 1e6;
            }
            return true;
        }
        return false;
    }

private:
    const QElapsedTimer& m_clock;
    bool m_inExposure = false;
};

// How long the loop runs on after a window closes, before anything else is
// timed.
constexpr qint64 kSettleMs = 30;

// Opens a window and hands it back shown; the caller's clock runs around it.
using Opener = std::function<std::unique_ptr<QWidget>()>;

// Milliseconds from the call of `open` until the window's first paint has
// been handled.
double timeToFirstPaint(const Opener& open) {
    QElapsedTimer clock;
    clock.start();
    std::unique_ptr<QWidget> window = open();
    if (!window) {
        return -1;
    }
    CPaintWatch watch(clock);
    window->installEventFilter(&watch);
    window->windowHandle()->installEventFilter(&watch);
    while (!watch.painted && clock.elapsed() < 5000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    // A paint outside an exposure is timed when the loop comes back.
    const double ms =
        watch.handledMs >= 0 ? watch.handledMs : static_cast<double>(clock.nsecsElapsed()) / 1e6;
    window->windowHandle()->removeEventFilter(&watch);
    window->removeEventFilter(&watch);
    window->close();
    window.reset();
    // What the window set going (the display drawing it, the pointer's
    // repaint, its memory given back) must not fall into the next window's
    // time.
    QElapsedTimer quiet;
    quiet.start();
    while (quiet.elapsed() < kSettleMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return watch.painted ? ms : -1;
}

template <typename Dialog> std::unique_ptr<QWidget> shown(std::unique_ptr<Dialog> dialog) {
    if (!dialog->initialise()) {
        return nullptr;
    }
    dialog->show();
    return dialog;
}

std::vector<Opener> openers() {
    SProgram& p = program();
    static CFirmwareDownload download(p.state, p.worker);
    static talvik::device::LightTable colours{};
    static CMultiSelection selection;
    return {
        [&p] {
            return shown(
                std::make_unique<talvik::editor::COrsaDialogKeyMapSettings>(p.app, p.state));
        },
        [&p] { return shown(std::make_unique<talvik::editor::OrsaDialogVirtual>(p.app, p.state)); },
        [&p] {
            return shown(std::make_unique<talvik::device::COrsaDialogBkLightSettings>(
                p.app, p.state, p.worker));
        },
        [&p] {
            return shown(std::make_unique<talvik::device::COrsaDialogBkLightMultiSelect>(
                p.app, p.state, colours, selection));
        },
        [&p] {
            auto dialog = std::make_unique<talvik::device::COrsaDialogFirmwareUpdate>(
                p.app, p.state, download);
            // Whatever it would tell the user must not stop the benchmark.
            dialog->setPrompts({[](const QString&) {}, [](const QString&, const QString&) {},
                                [](const QString&, const QString&) { return false; },
                                [](QColor) { return std::optional<QColor>(); },
                                [] { return QString(); }});
            return shown(std::move(dialog));
        },
        [&p]() -> std::unique_ptr<QWidget> {
            auto dialog =
                std::make_unique<talvik::device::COrsaDialogProgress>(p.app, p.state, p.worker);
            dialog->m_job = talvik::jobs::EJob::NoTransfer;
            dialog->open();
            return dialog;
        },
    };
}

const char* const kNames[] = {"key settings", "virtual keyboard", "backlight",
                              "multi-key",    "firmware",         "progress"};

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

void Dialog(benchmark::State& state) {
    if (!program().loaded) {
        state.SkipWithError("TalvikRES.rcc is missing");
        return;
    }
    const Opener open = openers()[static_cast<std::size_t>(state.range(0))];
    QSize size;
    std::vector<double> ours;
    std::vector<double> plain;
    std::vector<double> ratios;
    for (auto _ : state) {
        const double ms = timeToFirstPaint([&] {
            std::unique_ptr<QWidget> window = open();
            if (window) {
                size = window->size();
            }
            return window;
        });
        const double floor = timeToFirstPaint([&size] {
            auto dialog = std::make_unique<QDialog>();
            dialog->resize(size);
            dialog->show();
            return dialog;
        });
        if (ms < 0 || floor < 0) {
            state.SkipWithError("a window did not paint");
            return;
        }
        ours.push_back(ms);
        plain.push_back(floor);
        ratios.push_back(ms / floor);
        state.SetIterationTime(ms / 1000.0);
    }
    state.SetLabel(kNames[state.range(0)]);
    state.counters["ms"] = median(ours);
    state.counters["qdialog_ms"] = median(plain);
    state.counters["ratio"] = median(ours) / median(plain);
    state.counters["round_ratio_median"] = median(ratios);
}
BENCHMARK(Dialog)->DenseRange(0, 5)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(21);

} // namespace

int main(int argc, char** argv) {
    return talvik::bench::runQtBenchmarks(argc, argv, true);
}
