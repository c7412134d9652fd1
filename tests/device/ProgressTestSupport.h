#pragma once

// The progress dialog on the generated skin and the simulated keyboard.

#include "JobTestSupport.h"

#include "shell/QtTestApp.h"
#include "talvik/device/COrsaDialogProgress.h"
#include "talvik/shell/COrsaApp.h"

#include "talvik/layout/ProgressLayout.h"

#include <QElapsedTimer>
#include <QMouseEvent>
#include <QTest>

#include <functional>
#include <optional>

namespace talvik::test {

// Model 1's state and skin, and a worker slot of the test's own. The keyboard
// is the process's simulated one, or one of its own set up as given.
struct CProgressFixture {
    CProgressFixture() : CProgressFixture(CDeviceEnvironment::withoutDevices(1)) {}
    explicit CProgressFixture(const CSimulatorSetup& simulator)
        : CProgressFixture(CDeviceEnvironment::withSimulator(1, simulator)) {}

    explicit CProgressFixture(CDeviceEnvironment environment)
        : board(std::move(environment), true), app(board.state) {
        qtApp();
        QString error;
        loaded = app.loadSkin(1, error, builtSkinPath(), 1);
    }

    CKeyboardState board;
    shell::COrsaApp app;
    bool loaded = false;
    jobs::CDeviceWorkerSlot slot; // ends first: waits for a worker still running
};

// Keeps the progress its job posts, and calls `onProgress` after the dialog
// has taken each one.
class CWatchedProgress : public device::COrsaDialogProgress {
public:
    CWatchedProgress(CProgressFixture& fixture, std::optional<jobs::EJob> job)
        : COrsaDialogProgress(fixture.app, fixture.board.state, fixture.slot) {
        m_job = job;
    }

    std::vector<WPARAM> progress;
    std::function<void(WPARAM)> onProgress;

    // The centre of the element in `slot` (0 the close control, 1 Cancel), in
    // window coordinates.
    QPoint centreOf(std::size_t slot) const {
        const SkinRect& r = elements().at(slot).rect;
        return QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
    // What the pointer does, delivered as the window system would.
    void pointAt(QPoint at) { send(QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton); }
    void clickAt(QPoint at) {
        send(QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
    }
    void clickCancel() { clickAt(centreOf(1)); }

protected:
    void onWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        const bool open = isVisible();
        COrsaDialogProgress::onWindowMessage(message, wParam, lParam);
        if (message == WM_TALVIK_PROGRESS && open) {
            progress.push_back(wParam);
            if (onProgress) {
                onProgress(wParam);
            }
        }
    }

private:
    void send(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons) {
        QMouseEvent event(type, QPointF(at), QPointF(mapToGlobal(at)), button, buttons,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(this, &event);
    }
};

} // namespace talvik::test
