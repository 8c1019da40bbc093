#pragma once

#include "serial/portmapping.h"

// The serial ports Windows has now: the names its serial drivers registered
// (HARDWARE\DEVICEMAP\SERIALCOMM), each with what the device manager tells of
// its device (description, maker, USB ids, serial number). Nothing is opened.
QList<ListedPort> windowsPorts();

// What a Windows device instance id ("USB\VID_0403&PID_6001\A50285BI",
// "FTDIBUS\VID_0403+PID_6001+A50285BIA\0000") tells: USB ids and serial number.
PortIdentity identityFromInstanceId(const QString &instanceId);
