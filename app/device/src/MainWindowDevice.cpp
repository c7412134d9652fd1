#include "talvik/device/MainWindowDevice.h"

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
    window.setDeviceCommands(std::move(commands));
}

} // namespace talvik::device
