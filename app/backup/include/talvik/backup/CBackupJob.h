#pragma once

// The backup before a write, as a device job in the three parts of
// CDeviceJob (talvik/jobs/CDeviceJob.h):
//   takeFromModel  on the model's thread: what the write will overwrite, what
//                  the program already knows the keyboard holds of it, and the
//                  rest of the configuration for the parts a backup cannot read;
//   run            on any one thread: reads from the keyboard only what is not
//                  known (keys, light area, or both with kBetweenReadsWait between
//                  them), posting the reads' progress and a done message;
//                  touches no model;
//   giveToModel    on the model's thread: records what arrived whole as what the
//                  keyboard holds (state.keyboard), never in the user's
//                  configuration (state.keyConfig), and saves the backup.
// When everything the write overwrites is known already, run has nothing to do:
// needsRead() is false and the caller may go straight to giveToModel.
//
// The key read fills the library's key table; the write that follows fills it
// afresh in its own takeFromModel.

#include "talvik/backup/Backups.h"
#include "talvik/jobs/CDeviceJob.h"

#include <array>
#include <atomic>
#include <string>

namespace talvik::backup {

// What a write is about to overwrite.
enum class EBackupOf { Keys, Lights, KeysAndLights };

// Which backup a job needs; none for the jobs that write nothing.
std::optional<EBackupOf> backupFor(jobs::EJob job);

enum class EBackupStatus {
    Saved,
    ReadFailed, // the keyboard did not deliver everything
    Cancelled,  // cancelled before the reads ended
    SaveFailed, // the folder or the file could not be written
};

struct SBackupResult {
    EBackupStatus status = EBackupStatus::Cancelled;
    std::string path;    // Saved: the backup
    std::string message; // SaveFailed: the system's reason
    bool ok() const { return status == EBackupStatus::Saved; }
};

class CBackupJob {
public:
    CBackupJob(EBackupOf what, std::string folder);
    CBackupJob(const CBackupJob&) = delete;
    CBackupJob& operator=(const CBackupJob&) = delete;

    void takeFromModel(model::CAppState& state);
    bool needsRead() const { return m_readKeys || m_readLights; }
    void run(jobs::CJobControl& control);
    bool finished() const { return m_finished.load(std::memory_order_acquire); }
    // Saves the backup; ReadFailed or Cancelled, recording nothing and saving
    // nothing, when run did not read everything it had to.
    SBackupResult giveToModel(model::CAppState& state);

    const jobs::CJobOutcome& outcome() const { return m_outcome; }

private:
    bool runReads(jobs::CJobControl& control);

    EBackupOf m_what;
    std::string m_folder;
    HWND m_window = 0;
    COrsaHWI* m_device = nullptr;
    bool m_readKeys = false;
    bool m_readLights = false;
    std::array<int, model::kLightArrayInts> m_light{};
    jobs::CJobOutcome m_outcome;
    std::atomic<bool> m_finished{false};
};

// The three parts one after the other on this thread (a program without
// windows); the reads' messages go to the state's progressWindow.
SBackupResult runBackupHere(EBackupOf what, const std::string& folder, model::CAppState& state,
                            jobs::CJobControl& control);

} // namespace talvik::backup
