#include "talvik/program/ProgramDialogs.h"

#include "talvik/backup/Backups.h"
#include "talvik/device/CFirmwareDownload.h"
#include "talvik/device/COrsaDialogBkLightSettings.h"
#include "talvik/device/COrsaDialogFirmwareUpdate.h"
#include "talvik/device/COrsaDialogProgress.h"
#include "talvik/editor/COrsaDialogKeyMapSettings.h"
#include "talvik/shell/COrsaApp.h"
#include "talvik/shell/COrsaDlg.h"

namespace talvik::program {

void installDialogs(shell::COrsaDlg& window, shell::COrsaApp& app, model::CAppState& state,
                    jobs::CDeviceWorkerSlot& worker) {
    shell::CMainWindowDialogs dialogs;
    dialogs.keySettings = [&window, &app, &state] {
        editor::COrsaDialogKeyMapSettings dialog(app, state, &window);
        return dialog.initialise() && dialog.exec() == QDialog::Accepted;
    };
    dialogs.runJob = [&window, &app, &state, &worker](jobs::EJob job) {
        device::COrsaDialogProgress dialog(app, state, worker, &window);
        dialog.m_job = job;
        dialog.m_backupFolder = backup::backupsFolder();
        dialog.exec();
        return dialog.report();
    };
    dialogs.backlight = [&window, &app, &state, &worker] {
        device::COrsaDialogBkLightSettings dialog(app, state, worker, &window);
        dialog.setBackupFolder(backup::backupsFolder());
        if (dialog.initialise()) {
            dialog.exec();
        }
    };
    // A download outlives the dialog it was started from, so the window keeps
    // the one download object every firmware dialog it opens shows.
    auto* download = new device::CFirmwareDownload(state, worker, &window);
    dialogs.firmware = [&window, &app, &state, download] {
        device::COrsaDialogFirmwareUpdate dialog(app, state, *download, &window);
        dialog.setBackupFolder(backup::backupsFolder());
        if (dialog.initialise()) {
            dialog.exec();
        }
    };
    window.setDialogs(std::move(dialogs));
    // Reconnecting after the keyboard came back waits for a job still running on
    // the old connection.
    window.setKeyboardLink(shell::CKeyboardLink::of(state.device, worker));
}

} // namespace talvik::program
