#pragma once

// What the main window tells the user after saving or opening a profile, in
// the current language. A clean save or load says nothing.

#include "talvik/profile/Profile.h"
#include "talvik/text/Language.h"

#include <QString>
#include <QStringList>

#include <string>

namespace talvik::shell {

// Why a save failed; empty after a successful one.
QString profileSaveMessage(const profile::SProfileResult& result, text::Language language);

// Why a profile was not loaded (the configuration is then unchanged), or
// what had to be repaired in one that loaded leniently, and in which encoding
// a text that was not UTF-8 was read; empty for a clean load.
QString profileLoadMessage(const profile::SProfileResult& result, text::Language language,
                           int model);

// One line per repair the load's notes record, in the user's language:
// broken markup, skipped entries, characters that could not be read. Notes
// that only describe how the file was read (its encoding) give no line.
QStringList repairLines(const std::string& notes, text::Language language);

} // namespace talvik::shell
