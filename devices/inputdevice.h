#pragma once

#include "serial/portmapping.h"

#include <QString>
#include <QStringList>

// A keyboard (or a scanner that types like one) as the window system names it.
struct InputDevice
{
    QString name; // "Xvfb keyboard", "Honeywell Scanner"
    QString node; // where the system keeps it: /dev/input/event3, a Windows device path
    QString description; // the USB device's product name, where known
    PortIdentity identity {}; // maker, USB ids, serial number, where known

    friend bool operator==(const InputDevice &, const InputDevice &) = default;
};

// What Linux's device tree tells of the device behind an input node
// (/dev/input/event3): for USB its maker, ids and serial number.
InputDevice linuxInputDevice(const QString &name, const QString &node,
    const QString &inputClass = QStringLiteral("/sys/class/input"));
