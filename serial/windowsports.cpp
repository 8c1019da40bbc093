#include "serial/windowsports.h"

#include "text/hexdigit.h"

#include <algorithm>

namespace {

// The four hex digits at the start of text, in either case, or -1.
int hex4(QStringView text)
{
    if (text.size() < 4)
        return -1;
    const QStringView four = text.first(4);
    const bool hex = std::all_of(
        four.begin(), four.end(), [](QChar ch) { return isHexDigitCode(ch.toUpper().unicode()); });
    return hex ? four.toInt(nullptr, 16) : -1;
}

} // namespace

UsbIds usbIdsIn(QStringView id)
{
    // VID_xxxx, '&' or '+', PID_xxxx: the first place that has them all.
    for (qsizetype at = id.indexOf(u"VID_", 0, Qt::CaseInsensitive); at >= 0;
         at = id.indexOf(u"VID_", at + 1, Qt::CaseInsensitive)) {
        const QStringView rest = id.mid(at);
        const int vendor = hex4(rest.mid(4));
        if (vendor < 0 || rest.size() < 17 || (rest[8] != u'&' && rest[8] != u'+')
            || !rest.mid(9, 4).startsWith(u"PID_", Qt::CaseInsensitive))
            continue;
        const int product = hex4(rest.mid(13));
        if (product >= 0)
            return { vendor, product, at + 17 };
    }
    return {};
}

PortIdentity identityFromInstanceId(const QString &instanceId)
{
    PortIdentity identity;
    const UsbIds ids = usbIdsIn(instanceId);
    if (ids.end < 0)
        return identity;
    identity.vendorId = ids.vendorId;
    identity.productId = ids.productId;
    // FTDI's driver: VID_xxxx+PID_xxxx+<serial><channel letter>\…
    QString serial;
    if (ids.end < instanceId.size() && instanceId[ids.end] == u'+')
        serial = instanceId.mid(ids.end + 1).section(u'\\', 0, 0);
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
