#pragma once

#include <QList>
#include <QString>

#include <functional>

// What tells one adapter from another of the same kind; all of it may be unknown.
struct PortIdentity
{
    QString manufacturer;
    int vendorId = -1; // USB ids, -1 when the system gives none
    int productId = -1;
    QString serialNumber;
    QString stableName; // a name that stays with the adapter: /dev/serial/by-id/...
    // Where a USB device is plugged in, as the device tree names the port ("1-1.2"):
    // what tells apart two adapters of one kind that have no serial number.
    QString usbPort {};

    friend bool operator==(const PortIdentity &, const PortIdentity &) = default;
};

// A serial port as the system lists it.
struct ListedPort
{
    QString name; // ttyUSB0, COM3
    QString location; // /dev/ttyUSB0, \\.\COM3: what is opened
    QString description; // the system's description of the device, often empty
    PortIdentity identity {};
};

// Port number n and the device it opens.
struct MappedPort
{
    int number = 0;
    QString device;
    QString description;
    PortIdentity identity {};

    friend bool operator==(const MappedPort &, const MappedPort &) = default;
};

// The current mapping from port numbers to devices, asked at every open and for
// every tooltip, since adapters come and go.
using PortMapper = std::function<QList<MappedPort>()>;

// Windows numbering: COMn is number n; ports not named COMn get no number.
QList<MappedPort> numberByComName(const QList<ListedPort> &listed);

// Numbering elsewhere: ttyS*, then ttyUSB*, then ttyACM*, then the rest by name,
// each family by its number (ttyS2 before ttyS10); number 1 is the first.
QList<MappedPort> numberByFamily(QList<ListedPort> listed);

// The link in directory that leads to the device, as a path, or empty: udev
// names each USB serial adapter there by its maker, model and serial number.
QString stableName(
    const QString &device, const QString &directory = QStringLiteral("/dev/serial/by-id"));

// The maker, the USB ids and the serial number, each where known, on one line of
// plain text ("Maker, VID:PID 0403:6001, серийный номер A1"); empty when none is.
QString identityText(const PortIdentity &identity);

// The mapping as plain text, one port a line, for the port box's tooltip; what
// the system says of a device is shown literally.
QString mappingText(const QList<MappedPort> &mapping);
