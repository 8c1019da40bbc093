#pragma once

#include "serial/linesettings.h"

#include <QString>

// What keeps a port from the tool beyond a plain refusal, and what helps, in words
// for the operator.

// Why this user may not open the device, and what helps; port names it ("COM1
// (/dev/ttyS0)"). A group is named only when that group may read and write the
// device: joining any other group would not help, and the administrators' group
// (root) is never advised.
QString permissionAdvice(const QString &port, const QString &device);

// Whether this user may read the device: a port refused to a reader is held by
// another program. Windows never refuses a COM port for want of rights.
bool mayRead(const QString &device);

// Why this system's ports cannot take the line settings although the control
// accepts them, or empty when they can.
QString lineRefusal(const LineSettings &line);

// One sentence on the system's modem manager when it may be what keeps a port
// from the tool: it runs and the device is a USB device (under ttyClass, the
// system's tty devices, its "device" link leads through a USB bus). Empty
// otherwise.
QString modemManagerNote(
    const QString &device, const QString &ttyClass = QStringLiteral("/sys/class/tty"));
