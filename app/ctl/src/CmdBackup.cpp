// backups and restore, and the backup that write and firmware make first.

#include "Commands.h"
#include "CtlText.h"
#include "Progress.h"

#include "talvik/backup/BackupText.h"
#include "talvik/backup/Backups.h"
#include "talvik/model/CAppState.h"

#include <algorithm>

namespace talvik::ctl {

int backUpBeforeWrite(const CCtlContext& context, model::CAppState& state,
                      backup::EBackupOf what) {
    const std::string folder = backup::backupsFolder();
    backup::SBackupResult result;
    {
        CProgress progress(context.err, context.progressBar,
                           std::string(tr(context.language, msg::kBackingUp)),
                           CProgress::slotPercent);
        state.progressWindow = progress.window();
        jobs::CJobControl control;
        result = backup::runBackupHere(what, folder, state, control);
        state.progressWindow = 0;
    }
    if (result.ok()) {
        context.say(backup::backupSavedText(result.path, context.language));
        return kExitOk;
    }
    context.say(backup::backupFailureText(result, folder, context.language));
    context.say(tr(context.language, msg::kNoBackupHint));
    // A keyboard that did not answer is a failed transfer; a folder that cannot be
    // written is a file that cannot be used.
    return result.status == backup::EBackupStatus::SaveFailed ? kExitRefused : kExitFailed;
}

int runBackups(const CCtlContext& context) {
    const std::string folder = backup::backupsFolder();
    const std::vector<backup::SBackupInfo> backups = backup::listBackups(folder);
    if (backups.empty()) {
        context.say(fill(tr(context.language, msg::kNoBackups), {folder}));
        return kExitOk;
    }
    const bool chinese = context.language == text::Language::Chinese;
    std::fprintf(context.out, "%-19s  %-14s  %-13s  %s\n",
                 std::string(tr(context.language, msg::kBackupTime)).c_str(),
                 std::string(tr(context.language, msg::kBackupModel)).c_str(),
                 std::string(tr(context.language, msg::kBackupRead)).c_str(),
                 std::string(tr(context.language, msg::kBackupFile)).c_str());
    for (const backup::SBackupInfo& info : backups) {
        std::fprintf(context.out, "%-19s  %-14s  %-13s  %s\n",
                     backup::localTimeText(info.time).c_str(),
                     std::string(text::modelName(info.modelNumber)).c_str(),
                     backup::partsText(info.parts, chinese).c_str(), info.path.c_str());
    }
    return kExitOk;
}

int runRestore(const CCtlContext& context, const std::string& backupFile, bool backup) {
    model::CAppState& state = context.newSession();
    if (const int status = connectKeyboard(context, state); status != kExitOk) {
        return status;
    }
    std::string path = backupFile;
    if (path.empty() || path == "latest") {
        const std::string folder = backup::backupsFolder();
        const std::vector<backup::SBackupInfo> backups = backup::listBackups(folder);
        const auto newest =
            std::find_if(backups.begin(), backups.end(), [&](const backup::SBackupInfo& info) {
                return info.modelNumber == state.modelNumber;
            });
        if (newest == backups.end()) {
            context.say(fill(tr(context.language, msg::kNoBackupOfModel),
                             {text::modelName(state.modelNumber), folder}));
            context.say(tr(context.language, msg::kNothingWritten));
            return kExitRefused;
        }
        path = newest->path;
    }
    return writeProfileFile(context, state, path, backup);
}

} // namespace talvik::ctl
