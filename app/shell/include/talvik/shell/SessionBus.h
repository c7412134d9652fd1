#pragma once

// The session bus, asked for once before the first window: the
// accessibility bridge, the notification area and the portals all use the
// connection Qt keeps from that first answer.

#include <QProcessEnvironment>
#include <QString>

namespace talvik::shell {

// Whether the bus library could find a session bus from `environment`: an
// address in it, the bus socket in the user's runtime folder, or dbus-launch
// (in `busToolDir` or on the PATH), which asks the X11 session for its bus.
bool sessionBusFindable(const QProcessEnvironment& environment,
                        const QString& busToolDir = QStringLiteral("/usr/bin"));

// Connects to the session bus. Where none can be found, the bus library
// would fork the whole program to run a dbus-launch that is not there, and
// the fork copies a large process's page tables while every other thread
// waits: the connection is then refused at once instead, and the
// environment that child programs inherit is left as it was.
void connectSessionBus();

} // namespace talvik::shell
