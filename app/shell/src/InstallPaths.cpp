#include "talvik/shell/InstallPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace talvik::shell {

namespace {

// Both relative to the folder the program is installed in; the build
// passes them from its install layout.
const QString kDataFromProgram = QStringLiteral(TALVIK_DATA_FROM_BIN);
const QString kUdevRuleFromProgram = QStringLiteral(TALVIK_UDEV_RULE_FROM_BIN);
const QString kSkinFile = QStringLiteral("TalvikRES.rcc");

QString programFolder(const QString& programDir) {
    return programDir.isEmpty() ? QCoreApplication::applicationDirPath() : programDir;
}

} // namespace

QString dataDirectory(const QString& programDir) {
    const QDir program(programFolder(programDir));
    if (program.exists(kSkinFile)) {
        return program.path();
    }
    const QString installed = QDir::cleanPath(program.filePath(kDataFromProgram));
    if (QFileInfo::exists(QDir(installed).filePath(kSkinFile))) {
        return installed;
    }
    return program.path();
}

QString dataFilePath(const QString& name, const QString& programDir) {
    return QDir(dataDirectory(programDir)).filePath(name);
}

QString installedUdevRule(const QString& programDir) {
    const QString rule =
        QDir::cleanPath(QDir(programFolder(programDir)).filePath(kUdevRuleFromProgram));
    return QFileInfo::exists(rule) ? rule : QString();
}

} // namespace talvik::shell
