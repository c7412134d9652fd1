#pragma once

// Where the program finds the files it ships with: TalvikRES.rcc, the help
// folder and the udev rule. In a build tree they lie beside the program; once
// installed, under the prefix's share/talvik, wherever the prefix is. Both
// are found from the program's own folder, never from a path fixed at build
// time.

#include <QString>

namespace talvik::shell {

// The folder that holds TalvikRES.rcc: the program's folder when the file is
// there, else the installed data folder relative to it. When neither has the
// file, the program's folder, so that messages name where it was looked for.
// An empty `programDir` means the running program's folder.
QString dataDirectory(const QString& programDir = {});

// `name` (e.g. "TalvikRES.rcc" or "help/index.html") inside dataDirectory().
QString dataFilePath(const QString& name, const QString& programDir = {});

// The udev rule this installation ships, or empty when it has none.
QString installedUdevRule(const QString& programDir = {});

} // namespace talvik::shell
