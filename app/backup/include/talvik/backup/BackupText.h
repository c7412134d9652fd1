#pragma once

// What the user is told about a backup, in the user's language, UTF-8.

#include "talvik/backup/CBackupJob.h"
#include "talvik/text/Language.h"

#include <string>

namespace talvik::backup {

// Why the backup before a write was not made, and that nothing was written;
// empty for a backup that was saved or cancelled. `folder` is where it was to go.
std::string backupFailureText(const SBackupResult& result, const std::string& folder,
                              text::Language language);

// The one question after such a failure, in a window.
std::string writeWithoutBackupQuestion(text::Language language);

// What a dialog shows while it reads the keyboard for the backup.
std::string backupReadingText(text::Language language);

// The line that says where a backup went.
std::string backupSavedText(const std::string& path, text::Language language);

} // namespace talvik::backup
