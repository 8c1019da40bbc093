#pragma once

#include "serial/portmapping.h"

// What Linux's device tree (/sys/devices) tells of the hardware at one of its
// paths: the nearest device on the way up that names itself. For a USB device
// (behind a serial adapter's interface, or a keyboard's input device) that is the
// USB device with its maker, ids, serial number and the port it is plugged in;
// for a PCI card, its ids. Nothing above the tree's devices is read, and nothing
// is opened but attribute files.
struct DeviceFacts
{
    QString description; // the device's product name, often empty
    PortIdentity identity {};
};
DeviceFacts deviceFacts(const QString &hardware);

// An attribute of the device tree: one value, ended by a line feed; empty when
// there is none.
QString deviceAttribute(const QString &path);
