#include "serial/windowsports.h"

#include <QRegularExpression>

PortIdentity identityFromInstanceId(const QString &instanceId)
{
    PortIdentity identity;
    // Not static: a thread of its own may still be describing ports as the
    // program ends.
    const QRegularExpression ids(
        QStringLiteral("VID_([0-9A-F]{4})[&+]PID_([0-9A-F]{4})(?:[+]([^\\\\]+))?"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = ids.match(instanceId);
    if (!match.hasMatch())
        return identity;
    identity.vendorId = match.captured(1).toInt(nullptr, 16);
    identity.productId = match.captured(2).toInt(nullptr, 16);
    QString serial = match.captured(3);
    if (serial.isEmpty()) {
        // USB\VID_xxxx&PID_xxxx\<serial>; Windows makes up an id with '&' in it
        // for a device that has no serial number.
        const QStringList parts = instanceId.split(u'\\');
        if (parts.size() == 3 && parts.at(0).compare(QLatin1String("USB"), Qt::CaseInsensitive) == 0
            && !parts.at(2).contains(u'&'))
            serial = parts.at(2);
    } else if (serial.size() > 1
        && instanceId.startsWith(QLatin1String("FTDIBUS"), Qt::CaseInsensitive)) {
        serial.chop(1); // FTDI's driver adds a letter for the channel
    }
    identity.serialNumber = serial;
    return identity;
}

qsizetype usbDeviceIn(const QStringList &instanceIds)
{
    for (qsizetype i = 0; i < instanceIds.size(); ++i) {
        const QString &id = instanceIds.at(i);
        if (id.startsWith(QLatin1String("USB\\VID_"), Qt::CaseInsensitive)
            && !id.contains(QLatin1String("&MI_"), Qt::CaseInsensitive))
            return i;
    }
    return -1;
}
