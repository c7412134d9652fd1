#pragma once

// The device jobs: every transfer of configuration between the program and
// the keyboard runs as one of them.
//
// A job runs in three parts, so that only the part that talks to the keyboard
// needs another thread and the model is only ever touched by its own thread:
//   takeFromModel  on the model's thread: copies what the job sends, and the
//                  window its messages go to (the application state's
//                  progressWindow); the job keeps the state's device object;
//   run            on any one thread: the library calls, the waits, the
//                  progress and done messages; touches no model;
//   giveToModel    on the model's thread, after run has returned: stores what
//                  the job read, but only what the keyboard delivered whole.
// While run is in progress nothing else may use the device object, and
// takeFromModel and giveToModel must not overlap it either: the key table they
// fill or read is the library's.

#include "talvik/jobs/CJobControl.h"
#include "talvik/model/CAppState.h"

#include "talvik/hwi/WindowHandle.h"

#include <array>
#include <atomic>
#include <optional>
#include <string>
#include <vector>

namespace talvik::jobs {

// The jobs, numbered by their codes: the progress dialog's m_job and what
// the program has always called them.
enum class EJob : int {
    WriteKeys = 1,
    NoTransfer = 2, // no caller uses it
    ReadAll = 3,
    WriteLight = 4,
    ReadCounters = 5,
    ReadLight = 6,
};

// The job with code `code`; none for a code outside the table.
std::optional<EJob> jobFromCode(int code);

// The waits of the jobs: after the last transfer, and between the key read
// and the light read of "read everything".
inline constexpr std::chrono::milliseconds kSettleWait{1000};
inline constexpr std::chrono::milliseconds kBetweenReadsWait{2000};
// The progress value of jobs that report a single step.
inline constexpr int kSingleStep = 150;

// The bar's percentage for a progress message of `job`: key transfers count
// slots 0..173 against 150 (so 173 gives 115), single-step jobs count double.
int progressPercent(EJob job, int progress);

// The exchanges with the keyboard a job makes.
enum class Transfer { WriteKeys, ReadKeys, ReadLight, WriteLight, ReadCounters };

struct CTransferResult {
    Transfer transfer;
    bool succeeded;
    bool operator==(const CTransferResult&) const = default;
};

struct CJobOutcome {
    bool ranToEnd = false;                  // false when cancelled before its last step
    std::vector<CTransferResult> transfers; // in the order they were made

    // Ran to its end and the keyboard took or delivered everything.
    bool succeeded() const;
    bool transferSucceeded(Transfer transfer) const;
};

// How a job run behind a dialog ended, as the window that asked for it
// tells the user: every transfer succeeded, one failed, the user cancelled,
// or the job never started because the keyboard is not connected (nothing
// was sent; what the window shows is all still there).
enum class EJobEnd { Succeeded, Failed, Cancelled, NotConnected };

struct CJobReport {
    EJobEnd end = EJobEnd::Cancelled;
    std::string failureText; // UTF-8, in the current language, when it failed or never started
};

// Most and least pressed key numbers of pressCount[1..87], -1 for none. A
// counter that is 0 or negative (unread, or beyond 2^31 - 1) is never the
// least pressed key and never the most pressed one; ties go to the lower key.
struct CPressStatistics {
    int mostPressedKey = -1;
    int leastPressedKey = -1;
    bool operator==(const CPressStatistics&) const = default;
};
CPressStatistics pressStatistics(const std::array<int, model::kKeyRows>& pressCount);

class CDeviceJob {
public:
    explicit CDeviceJob(EJob job);
    CDeviceJob(const CDeviceJob&) = delete;
    CDeviceJob& operator=(const CDeviceJob&) = delete;

    EJob job() const { return m_job; }

    void takeFromModel(model::CAppState& state);
    void run(CJobControl& control);
    // True once run has returned or is about to return without touching the
    // job again: what a thread other than run's checks before giveToModel.
    bool finished() const { return m_finished.load(std::memory_order_acquire); }
    // Does nothing unless the job ran to its end.
    void giveToModel(model::CAppState& state);

    const CJobOutcome& outcome() const { return m_outcome; }

private:
    // The job's steps up to its done message; false when cancelled on the way.
    bool runSteps(CJobControl& control);
    // The single progress step and the wait after it.
    bool postStepAndSettle(CJobControl& control) const;
    void readLight();
    void record(Transfer transfer, bool succeeded);

    EJob m_job;
    HWND m_window = 0;
    COrsaHWI* m_device = nullptr;
    std::array<int, model::kLightArrayInts> m_light{};
    std::array<int, model::kKeyCount> m_counters{};
    // What a write sends, for the program's record of what the keyboard holds.
    model::CKeyConfig m_written;
    std::array<model::LightArea, model::kKeyRows> m_writtenLights{};
    CJobOutcome m_outcome;
    std::atomic<bool> m_finished{false};
};

// The three parts one after the other on this thread (a program without
// windows). `control` decides the waits; the messages go to progressWindow.
CJobOutcome runJobHere(EJob job, model::CAppState& state, CJobControl& control);

} // namespace talvik::jobs
