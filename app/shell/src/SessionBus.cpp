#include "talvik/shell/SessionBus.h"

#include <QDBusConnection>
#include <QDir>
#include <QFileInfo>

namespace talvik::shell {

namespace {

const char* const kAddressVariable = "DBUS_SESSION_BUS_ADDRESS";

bool isProgram(const QString& path) {
    const QFileInfo file(path);
    return file.isFile() && file.isExecutable();
}

} // namespace

bool sessionBusFindable(const QProcessEnvironment& environment, const QString& busToolDir) {
    if (!environment.value(QString::fromLatin1(kAddressVariable)).isEmpty()) {
        return true;
    }
    const QString runtime = environment.value(QStringLiteral("XDG_RUNTIME_DIR"));
    if (!runtime.isEmpty() && QFileInfo::exists(QDir(runtime).filePath(QStringLiteral("bus")))) {
        return true;
    }
    const QString tool = QStringLiteral("dbus-launch");
    if (isProgram(QDir(busToolDir).filePath(tool))) {
        return true;
    }
    const QStringList path =
        environment.value(QStringLiteral("PATH")).split(QLatin1Char(':'), Qt::SkipEmptyParts);
    for (const QString& folder : path) {
        if (isProgram(QDir(folder).filePath(tool))) {
            return true;
        }
    }
    return false;
}

void connectSessionBus() {
    const bool findable = sessionBusFindable(QProcessEnvironment::systemEnvironment());
    if (!findable) {
        // An address of no known kind: refused without looking further.
        qputenv(kAddressVariable, "disabled:");
    }
    QDBusConnection::sessionBus();
    if (!findable) {
        qunsetenv(kAddressVariable);
    }
}

} // namespace talvik::shell
