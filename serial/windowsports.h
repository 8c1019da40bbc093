#pragma once

#include "serial/portmapping.h"

// The serial ports Windows has now, by name: those its serial drivers registered
// (HARDWARE\DEVICEMAP\SERIALCOMM). Only the registry is read: no device is
// touched, and nothing waits on one. Windows only.
QList<ListedPort> windowsPorts();

// What Windows' device manager tells of the serial ports it has (port name,
// description, maker, USB ids, serial number). Nothing is opened, but the
// device manager's calls can stall while Windows installs a device: never asked
// on the window's thread. Windows only.
QList<ListedPort> describedPorts();

// What a Windows device instance id ("USB\VID_0403&PID_6001\A50285BI",
// "FTDIBUS\VID_0403+PID_6001+A50285BIA\0000") tells: USB ids and serial number.
// Read without regular expressions, which must not be used on the threads that
// ask the device manager: Qt keeps a thread-local stack for them, whose clean-up
// at the end of a thread that Qt did not make crashes a MinGW build.
PortIdentity identityFromInstanceId(const QString &instanceId);
// The USB ids that a Windows device id or device path names ("VID_0C2E&PID_0B61",
// FTDI's "VID_0403+PID_6001+…"), -1 each where it names none, and where they end.
struct UsbIds
{
    int vendorId = -1;
    int productId = -1;
    qsizetype end = -1;
};
UsbIds usbIdsIn(QStringView id);

// What Windows' device manager tells of the USB device behind a device instance
// (a keyboard's "HID\VID_0C2E&PID_0B61&MI_00\7&2a4c1b2&0&0000"), as for a port:
// its USB ids, serial number and USB port, and the product's name as the device
// gives it. Windows keeps no maker's name of a device's own. Can stall as
// describedPorts can: never asked on the window's thread. Windows only.
struct DescribedDevice
{
    PortIdentity identity;
    QString product;
};
DescribedDevice describedDevice(const QString &instanceId);

// Which of a port's device node and its parents, nearest first, is the USB device
// itself ("USB\VID_0403&PID_6001\A50285BI"), not one of its interfaces
// ("USB\VID_0C2E&PID_0B6A&MI_00\6&2a4c&0&0000") nor a driver's node above it
// ("FTDIBUS\VID_0403+PID_6001+A50285BIA\0000"): its id holds the serial number
// the device has, and where it is plugged in is its own. -1: none is.
qsizetype usbDeviceIn(const QStringList &instanceIds);
