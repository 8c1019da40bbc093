#pragma once

#include <QList>
#include <QString>

// A process that has a device open.
struct PortHolder
{
    qint64 pid = 0;
    QString program; // the name the system shows for it, at most 15 characters on Linux

    friend bool operator==(const PortHolder &, const PortHolder &) = default;
};

// The other processes that have the device open now, found by its device number
// among the open files of every process this user may inspect, in order of
// process id. Neither this process nor, for a pseudo-terminal, a process that
// holds its master side (the program that plays the device) counts. Processes of
// other users stay unseen; elsewhere than on Linux the list is always empty.
QList<PortHolder> portHolders(const QString &device);

// The holders as the operator reads them: "cat (PID 4242), minicom (PID 4250)".
QString holdersText(const QList<PortHolder> &holders);

// One sentence on the system's modem manager when it may be what keeps a port
// from the tool: it runs and the device is a USB device (under ttyClass, the
// system's tty devices, its "device" link leads through a USB bus). Empty
// otherwise.
QString modemManagerNote(
    const QString &device, const QString &ttyClass = QStringLiteral("/sys/class/tty"));
