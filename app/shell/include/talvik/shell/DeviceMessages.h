#pragma once

// What start-up tells the user when the keyboard cannot be used. These come
// before anyone could pick a language, so each text carries both.

#include <QString>

namespace talvik::shell {

// No supported keyboard: the program's own "Keyboard is not connected!" and
// what to check (plugged in, permission, another program holding it).
QString notConnectedMessage();

// The keyboard's node (`node`, e.g. /dev/hidraw3) exists but this user may
// not open it; names the fix. `rulePath` is where this installation keeps
// its udev rule, empty when unknown.
QString noPermissionMessage(const QString& node, const QString& rulePath);

// The node opened but the keyboard does not answer: another program holds it.
QString occupiedMessage();

} // namespace talvik::shell
