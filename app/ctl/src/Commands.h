#pragma once

// The commands of talvikctl. Each returns the exit status.

#include "CtlContext.h"

#include "talvik/backup/CBackupJob.h"

#include <string>

namespace talvik::ctl {

int runList(const CCtlContext& context, bool json);
int runVersion(const CCtlContext& context);
enum class ECountersFormat { Table, Csv, Json };
struct SCountersOptions {
    ECountersFormat format = ECountersFormat::Table;
    // A kept read's file or a date: the presses since then instead of all-time.
    std::string since;
};
int runCounters(const CCtlContext& context, const SCountersOptions& options);
int runFirmware(const CCtlContext& context, const std::string& file, bool backup);
int runRead(const CCtlContext& context, const std::string& profile);
int runWrite(const CCtlContext& context, const std::string& profile, bool backup);
int runBackups(const CCtlContext& context);
// `backupFile` is a file or "latest": the newest backup of the connected model.
int runRestore(const CCtlContext& context, const std::string& backupFile, bool backup);

// Before a write to the connected keyboard: saves what it holds of `what` in the
// backup folder. kExitOk once saved; otherwise says why (and how to write
// without one) and returns the exit status, nothing having been sent.
int backUpBeforeWrite(const CCtlContext& context, model::CAppState& state, backup::EBackupOf what);
// Writes the profile at `path` (checked as write checks it) to the connected
// keyboard, after a backup unless `backup` is false.
int writeProfileFile(const CCtlContext& context, model::CAppState& state, const std::string& path,
                     bool backup);

} // namespace talvik::ctl
