#include "serial/portholders.h"

#include "text/literaltext.h"

#include <QStringList>

QString holdersText(const QList<PortHolder> &holders)
{
    QStringList named;
    for (const PortHolder &holder : holders)
        named.append(literalText(holder.program) + QStringLiteral(" (PID ")
            + QString::number(holder.pid) + u')');
    return named.join(QLatin1String(", "));
}
