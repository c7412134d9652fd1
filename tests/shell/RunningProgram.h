#pragma once

// The program as start-up builds it, on the simulated keyboard of `model`,
// with the real dialogs its commands open.

#include "XDriver.h"
#include "model/ModelTestSupport.h"

#include "talvik/jobs/CDeviceWorkerSlot.h"
#include "talvik/model/CAppState.h"
#include "talvik/program/ProgramDialogs.h"
#include "talvik/shell/COrsaApp.h"
#include "talvik/shell/COrsaDlg.h"

#include <QTest>

#include <memory>

namespace talvik::test {

class CRunningProgram {
public:
    explicit CRunningProgram(int model)
        : state(processSimulator(model)), app(state), window(nullptr) {}

    // Builds the main window; `show` false leaves it hidden.
    bool start(bool show = true) {
        state.modelNumber = state.device.DetectDeviceType();
        QString error;
        if (!app.loadSkin(state.modelNumber, error, builtSkinPath())) {
            return false;
        }
        state.buildNameTables();
        window = std::make_unique<shell::COrsaDlg>(app, state);
        program::installDialogs(*window, app, state, worker);
        if (!window->initialise()) {
            return false;
        }
        if (!show) {
            return true;
        }
        window->show();
        return QTest::qWaitForWindowExposed(window.get());
    }

    // A click on element `slot` through the X server.
    void click(int slot) {
        clickAt(centreOf(*window, window->elements()[static_cast<std::size_t>(slot)].rect));
    }

    model::CAppState state;
    shell::COrsaApp app;
    jobs::CDeviceWorkerSlot worker;
    std::unique_ptr<shell::COrsaDlg> window;
};

} // namespace talvik::test
