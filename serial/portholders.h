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

// The processes of the system's process table (proc), by id; elsewhere than on
// Linux none.
QList<qint64> processIds(const QString &proc = QStringLiteral("/proc"));

// The name the system shows for a process, exactly as it is; empty when the
// process has ended.
QString programName(qint64 pid, const QString &proc = QStringLiteral("/proc"));

// The other processes that have the device open now, found by its device number
// among the open files of every process this user may inspect, in order of
// process id. Neither this process nor, for a pseudo-terminal, a process that
// holds its master side (the program that plays the device) counts. Processes of
// other users stay unseen; elsewhere than on Linux the list is always empty. Only
// descriptors open on something under /dev are looked at closely, so a file on a
// network mount that hangs never blocks the window; a device node made elsewhere
// is not seen.
QList<PortHolder> portHolders(const QString &device, const QString &proc = QStringLiteral("/proc"));

// The holders as the operator reads them: "cat (PID 4242), minicom (PID 4250)",
// each name literally, whatever it holds.
QString holdersText(const QList<PortHolder> &holders);
