#pragma once

// A device dialog's surroundings: the application state on the simulated
// keyboard of one model (or on none), the generated skin and the name
// tables, and prompts that answer for the user and note what was shown.

#include "QtTestApp.h"

#include "talvik/device/CDevicePrompts.h"
#include "talvik/jobs/CDeviceWorkerSlot.h"
#include "talvik/model/CAppState.h"
#include "talvik/shell/COrsaApp.h"

#include <QMouseEvent>
#include <QStringList>
#include <QWidget>

#include <deque>
#include <filesystem>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace talvik::test {

using talvik::text::Language;

struct CDeviceFixture {
    // `simulated`: the keyboard of `model` is the process's simulated one and
    // is connected; otherwise there is no keyboard at all.
    explicit CDeviceFixture(int model, bool simulated = false,
                            Language language = Language::Chinese)
        : CDeviceFixture(model, CDeviceEnvironment::withoutDevices(simulated ? model : 0),
                         language) {}
    // The keyboard of `model` is a simulated one of its own, set up as given,
    // and is connected.
    CDeviceFixture(int model, const CSimulatorSetup& simulator,
                   Language language = Language::Chinese)
        : CDeviceFixture(model, CDeviceEnvironment::withSimulator(model, simulator), language) {}

    // Connects when the environment has a simulated keyboard.
    CDeviceFixture(int model, CDeviceEnvironment environment, Language language)
        : state(environment), app(state) {
        const bool simulated = environment.simulatorModel != 0;
        qtApp();
        state.modelNumber = model;
        QString error;
        loaded = app.loadSkin(model, error, builtSkinPath(), 1);
        state.buildNameTables();
        state.language = language;
        if (simulated) {
            connected = state.device.__createDev();
        }
    }

    // Prompts that record every message and answer colour and file
    // questions from the queues (an empty queue cancels).
    device::CDevicePrompts prompts() {
        device::CDevicePrompts p;
        p.message = [this](const QString& text) { messages << text; };
        p.warning = [this](const QString& caption, const QString& text) {
            warnings << caption + QStringLiteral(" | ") + text;
        };
        p.pickColor = [this](QColor initial) -> std::optional<QColor> {
            colourAsked << initial;
            if (colours.empty()) {
                return std::nullopt;
            }
            const QColor next = colours.front();
            colours.pop_front();
            return next;
        };
        p.openFirmware = [this]() {
            if (files.empty()) {
                return QString();
            }
            const QString next = files.front();
            files.pop_front();
            return next;
        };
        return p;
    }

    model::CAppState state;
    shell::COrsaApp app;
    bool loaded = false;
    bool connected = false;
    QStringList messages;
    QStringList warnings;
    QList<QColor> colourAsked;
    std::deque<QColor> colours;
    std::deque<QString> files;
    jobs::CDeviceWorkerSlot slot; // ends first: waits for a worker still running
};

// Writes `binary` as an Intel HEX image at `hex` with objcopy, which ends its
// lines with CR LF as firmware images have them. posix_spawn rather than
// QProcess: ThreadSanitizer cannot follow QProcess's way of starting children.
inline bool objcopyToIntelHex(const std::filesystem::path& binary,
                              const std::filesystem::path& hex) {
    std::vector<std::string> args = {"objcopy",       "-I",        "binary", "-O", "ihex",
                                     binary.string(), hex.string()};
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    pid_t child = 0;
    if (posix_spawnp(&child, "objcopy", nullptr, nullptr, argv.data(), environ) != 0) {
        return false;
    }
    int status = 0;
    return waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// A left-button press and release at `at` (window coordinates).
inline void sendClick(QWidget& w, QPoint at) {
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, QPointF(at), QPointF(w.mapToGlobal(at)), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(&w, &event);
    }
}

} // namespace talvik::test
