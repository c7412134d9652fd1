#include "talvik/device/MainWindowDevice.h"

#include "talvik/device/CFirmwareDownload.h"
#include "talvik/device/COrsaDialogBkLightSettings.h"
#include "talvik/device/COrsaDialogFirmwareUpdate.h"
#include "talvik/device/COrsaDialogProgress.h"
#include "talvik/shell/COrsaDlg.h"

namespace talvik::device {

void installDeviceCommands(shell::COrsaDlg& window, shell::COrsaApp& app, CAppState& state) {
    using Outcome = shell::COrsaDlg::EJobOutcome;
    shell::COrsaDlg::CDeviceCommands commands;
    commands.runJob = [&window, &app, &state](int job) -> shell::COrsaDlg::CJobResult {
        COrsaDialogProgress dialog(app, state, &window);
        dialog.m_job = job;
        if (dialog.exec() != IDOK) {
            return {Outcome::Cancelled, {}};
        }
        if (dialog.succeeded()) {
            return {Outcome::Succeeded, {}};
        }
        return {Outcome::Failed, dialog.failureText()};
    };
    commands.backlight = [&window, &app, &state] {
        COrsaDialogBkLightSettings dialog(app, state, &window);
        if (dialog.initialise()) {
            dialog.exec();
        }
    };
    // A download outlives the dialog it was started from, so the window keeps
    // the one download object every firmware dialog it opens shows.
    auto* download = new CFirmwareDownload(state, CDeviceWorkerSlot::application(), &window);
    commands.firmware = [&window, &app, &state, download] {
        COrsaDialogFirmwareUpdate dialog(app, state, *download, &window);
        if (dialog.initialise()) {
            dialog.exec();
        }
    };
    window.setDeviceCommands(std::move(commands));
}

} // namespace talvik::device
