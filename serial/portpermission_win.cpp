#include "serial/portpermission.h"

// Windows says no more of a refused port than that it was refused, and its
// serial drivers take every line setting the control accepts.

QString permissionAdvice(const QString &port, const QString &device)
{
    Q_UNUSED(device);
    return QStringLiteral("Нет доступа к порту %1.").arg(port);
}

bool mayRead(const QString &device)
{
    Q_UNUSED(device);
    return true;
}

QString lineRefusal(const LineSettings &line)
{
    Q_UNUSED(line);
    return {};
}

QString modemManagerNote(const QString &device, const QString &ttyClass)
{
    Q_UNUSED(device);
    Q_UNUSED(ttyClass);
    return {};
}
