#include "serial/portholders.h"

// Windows gives a COM port to one program at a time: a port another program
// holds is refused at the open, and no process needs looking for.

QList<qint64> processIds(const QString &proc)
{
    Q_UNUSED(proc);
    return {};
}

QString programName(qint64 pid, const QString &proc)
{
    Q_UNUSED(pid);
    Q_UNUSED(proc);
    return {};
}

QList<PortHolder> portHolders(const QString &device, const QString &proc)
{
    Q_UNUSED(device);
    Q_UNUSED(proc);
    return {};
}
