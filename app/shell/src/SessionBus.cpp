#include "talvik/shell/SessionBus.h"

#include <QDBusConnection>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace talvik::shell {

namespace {

const char* const kAddressVariable = "DBUS_SESSION_BUS_ADDRESS";

} // namespace

bool sessionBusFindable(const QProcessEnvironment& environment, const QString& busToolDir) {
    if (!environment.value(QString::fromLatin1(kAddressVariable)).isEmpty()) {
        return true;
    }
    const QString runtime = environment.value(QStringLiteral("XDG_RUNTIME_DIR"));
    if (!runtime.isEmpty() && QFileInfo::exists(QDir(runtime).filePath(QStringLiteral("bus")))) {
        return true;
    }
    QStringList folders{busToolDir};
    folders +=
        environment.value(QStringLiteral("PATH")).split(QLatin1Char(':'), Qt::SkipEmptyParts);
    return !QStandardPaths::findExecutable(QStringLiteral("dbus-launch"), folders).isEmpty();
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
