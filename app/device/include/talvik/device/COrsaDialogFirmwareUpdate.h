#pragma once

// The firmware update dialog: shows the keyboard's firmware version, takes a
// firmware image file whose name belongs to the connected model, and
// downloads it with a progress bar.
//
// Before a download it checks the image, then saves a backup of the keys and
// the backlight in the backup folder (none when it is empty), reading from the
// keyboard what the program does not know it holds; the bar shows that read
// under a label of its own. A backup that cannot be read or saved stops the
// download before anything is sent, and the user is asked once whether to
// download without one. Closing the dialog during the backup cancels the
// download with it; a download once started goes on without the dialog.

#include "talvik/backup/CBackupJob.h"
#include "talvik/device/CDeviceDialog.h"
#include "talvik/device/CDevicePrompts.h"
#include "talvik/jobs/CJobControl.h"

#include "talvik/layout/DeviceLayout.h"

#include <QLineEdit>

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace talvik::device {

class CFirmwareDownload;

class COrsaDialogFirmwareUpdate : public CDeviceDialog {
public:
    COrsaDialogFirmwareUpdate(shell::CSkinSource& skin, model::CAppState& state,
                              CFirmwareDownload& download, QWidget* parent = nullptr);
    ~COrsaDialogFirmwareUpdate() override;

    void setPrompts(CDevicePrompts prompts) { m_prompts = std::move(prompts); }
    // How the version is read; empty when the keyboard did not answer.
    void setVersionReader(std::function<std::optional<QString>()> read) {
        m_readVersion = std::move(read);
    }

    // Where the backup before a download goes; empty: no backup.
    void setBackupFolder(std::string folder) { m_backupFolder = std::move(folder); }
    // Replaces the backup's wait between its two reads (tests; it is real otherwise).
    void setSleep(jobs::CJobControl::Sleep sleep) { m_sleep = std::move(sleep); }
    // The backup before the last download; Cancelled when none was made.
    const backup::SBackupResult& backupResult() const { return m_backupResult; }
    // True from Update until the backup is saved or given up.
    bool backingUp() const { return m_backupRun != nullptr || m_downloadPending; }

    // Skin, table, scale, the two text boxes and the first version query;
    // false when the skin lacks a picture.
    bool initialise(QSize screen = {});

    // The file-name prefix that marks an image of `model`.
    static QString requiredPrefix(int model);

    const QLineEdit& versionBox() const { return m_versionBox; }
    const QLineEdit& fileBox() const { return m_fileBox; }
    const QString& fileName() const { return m_fileName; }
    const QString& filePath() const { return m_filePath; }
    int percent() const { return m_percent; }
    // What the bar says: the backup while it is made, the download's percent after.
    QString barText() const;
    bool ready() const { return m_ready; }

    // Runs the command of element `id` as a click would.
    void runCommand(int id);

    // The download's bar, named by the title, as a screen reader reads it.
    std::optional<shell::SMeterAccess> meterAccess() const override;

protected:
    int closeControlId() const override { return layout::firmware_id::Close; }
    void paintBehindElements(QPainter& p) override;
    void onElementClicked(int index) override;
    void onWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void reject() override;

private:
    void setUpBox(QLineEdit& box, const layout::SkinRect& design);
    void queryVersion();
    void openFile();
    void startDownload();
    void startBackup();
    void finishBackup();
    void beginDownload();
    void cancelBackup();
    void showResult(int result);
    // False, after saying so, when the keyboard is not connected.
    bool keyboardThere();
    QString busyText() const;
    void repaintBar();

    CFirmwareDownload& m_download;
    CDevicePrompts m_prompts;
    std::function<std::optional<QString>()> m_readVersion;
    QLineEdit m_versionBox;
    QLineEdit m_fileBox;
    QString m_fileName;
    QString m_filePath;
    int m_percent = 0;
    bool m_ready = true;
    std::string m_backupFolder;
    jobs::CJobControl::Sleep m_sleep;
    // Shared with the worker, which may outlive this dialog.
    std::shared_ptr<backup::CBackupJob> m_backupRun;
    std::shared_ptr<jobs::CJobControl> m_backupControl;
    backup::SBackupResult m_backupResult;
    bool m_downloadPending = false; // backed up: the download starts once the worker is free
};

} // namespace talvik::device
