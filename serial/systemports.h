#pragma once

#include "serial/portmapping.h"

#include <QObject>

class QFileSystemWatcher;

// Where Linux lists its serial devices: the tty class of the device tree, the
// device directory and udev's stable names.
struct DeviceTree
{
    QString ttyClass = QStringLiteral("/sys/class/tty");
    QString dev = QStringLiteral("/dev");
    QString byId = QStringLiteral("/dev/serial/by-id");
};

// The serial ports the system lists now. On Linux they are read from the device
// tree, which describes them without any device being opened: probing a port by
// opening it can raise and drop its modem lines, and the tool sends nothing. A tty
// is a serial port when a device with a driver stands behind it, unless the kernel
// found no UART there (its type 0); a USB adapter gives its maker, ids and serial
// number. Elsewhere the tree is not used and Qt lists the ports.
QList<ListedPort> listedPorts(const DeviceTree &tree = {});

// The serial ports the system lists, numbered as this platform numbers them. On
// Linux the listing is read again only when the device directory changes (an
// adapter comes or goes, udev names it), not at every look.
class SystemPorts : public QObject
{
    Q_OBJECT

public:
    explicit SystemPorts(QObject *parent = nullptr, const DeviceTree &tree = {});

    QList<MappedPort> mapping();

private:
    bool watch();
    void devicesChanged();

    DeviceTree m_tree;
    QFileSystemWatcher *m_watcher = nullptr;
    QList<MappedPort> m_mapping;
    bool m_current = false;
};
