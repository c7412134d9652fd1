#pragma once

// The progress dialog: every configuration transfer with the keyboard runs as
// a device job behind it. The caller sets m_job and runs it modally:
//
//     COrsaDialogProgress dialog(skin, state, worker, this);
//     dialog.m_job = talvik::jobs::EJob::WriteKeys;
//     if (dialog.exec() == IDOK && dialog.succeeded()) { ... "OK!!" ... }
//     else if (dialog.result() == IDOK) { ... show dialog.failureText() ... }
//
// IDOK says the job ran to its end, IDCANCEL that the user cancelled (Cancel,
// the close control, Escape). Whether the keyboard took or delivered
// everything is succeeded(); a job that read from the keyboard changes the
// model only with what arrived whole, and a cancelled one not at all.
//
// Before a key or light write, the dialog saves a backup in m_backupFolder
// (none when it is empty): the keyboard is read first where the program does
// not know what it holds. The bar then runs twice, for the read and for the
// write, and the warning label says which. A backup that cannot be read or
// saved stops the write before anything is sent, and the user is asked once
// whether to write without one; No ends the dialog as cancelled.
//
// If an earlier worker still runs (a job cancelled a moment ago), the dialog
// says so, stays responsive and starts its job when that worker has ended.

#include "talvik/backup/CBackupJob.h"
#include "talvik/device/CDevicePrompts.h"
#include "talvik/jobs/CDeviceJob.h"
#include "talvik/jobs/CDeviceWorkerSlot.h"
#include "talvik/model/Forward.h"
#include "talvik/shell/CSkinWindow.h"

#include "talvik/layout/ProgressLayout.h"

#include <QString>

#include <string>

#include <memory>
#include <optional>

namespace talvik::shell {
class CSkinSource;
}

namespace talvik::device {

// The dialog results.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;

class COrsaDialogProgress : public shell::CSkinWindow {
public:
    // The job runs in `worker`, the one slot every device worker of the program starts in.
    COrsaDialogProgress(shell::CSkinSource& skin, model::CAppState& state,
                        jobs::CDeviceWorkerSlot& worker, QWidget* parent = nullptr);
    ~COrsaDialogProgress() override;

    // The job, set before the dialog runs; with none the dialog starts nothing.
    std::optional<jobs::EJob> m_job;
    // Where the backup before a write goes; empty: no backup.
    std::string m_backupFolder;

    // Opens the dialog (elements, the application state's progressWindow,
    // the job) and runs it modally: IDOK or IDCANCEL. With a job and no
    // connected keyboard it neither opens nor starts anything: IDCANCEL, and
    // report() says the keyboard is not connected.
    int exec() override;
    // The same without blocking; result() says how it ended.
    void open() override;

    // The progress value the bar shows.
    int percent() const { return m_percent; }
    // The bar, named by the title, as a screen reader reads it.
    std::optional<shell::SMeterAccess> meterAccess() const override;
    // True while the job waits for an earlier worker to end.
    bool waitingForWorker() const { return m_waiting; }
    // After IDOK: every transfer of the job succeeded.
    bool succeeded() const { return m_outcome.succeeded(); }
    const jobs::CJobOutcome& outcome() const { return m_outcome; }
    // What to tell the user after IDOK without success, in the current language.
    QString failureText() const;
    // How the dialog ended, once exec() has returned: cancelled unless IDOK.
    jobs::CJobReport report() const;

    // Replaces the job's waits (tests; they are real otherwise).
    void setSleep(jobs::CJobControl::Sleep sleep) { m_sleep = std::move(sleep); }
    // The question after a failed backup (tests answer it).
    void setPrompts(CDevicePrompts prompts) { m_prompts = std::move(prompts); }
    // The backup made before this run's write; Cancelled when none was made.
    const backup::SBackupResult& backupResult() const { return m_backupResult; }

protected:
    int closeControlId() const override { return layout::progress_id::Cancel; }
    text::Language language() const override;
    void paintBehindElements(QPainter& p) override;
    void onElementClicked(int index) override;
    void onWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Escape and the window system's close come here: they cancel.
    void reject() override;

private:
    // False, after telling the user why, when the skin lacks the pictures:
    // the dialog does not open and its job does not start.
    bool initialise();
    // False, the dialog ended and the job not started, when the keyboard is not connected.
    bool keyboardThere();
    void fillElements();
    void showWaiting(bool waiting);
    void showWarningCaption();
    // The backup first where the job writes and one is due, else the job itself.
    void startJob();
    // Starts `run` on the worker and keeps it in `kept`, or waits for the worker to be free.
    template <typename Job>
    void startOnWorker(std::shared_ptr<Job> run, std::shared_ptr<Job>& kept);
    void finishBackup();
    void finishJob();
    void cancelJob();

    shell::CSkinSource& m_skin;
    model::CAppState& m_state;
    jobs::CDeviceWorkerSlot& m_worker;
    jobs::CJobControl::Sleep m_sleep;
    int m_percent = 0;
    bool m_waiting = false;
    bool m_closed = false;       // no message of the job counts any more
    bool m_notConnected = false; // the job was not started: no keyboard to run it on
    // Shared with the worker, which may outlive this dialog.
    std::shared_ptr<jobs::CDeviceJob> m_run;
    std::shared_ptr<jobs::CJobControl> m_control;
    std::shared_ptr<backup::CBackupJob> m_backupRun;
    bool m_backupDone = false; // saved, or the user chose to write without one
    backup::SBackupResult m_backupResult;
    CDevicePrompts m_prompts;
    jobs::CJobOutcome m_outcome;
};

} // namespace talvik::device
