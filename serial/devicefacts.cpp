#include "serial/devicefacts.h"

#include <QDir>
#include <QFile>

QString deviceAttribute(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.read(4096)).trimmed();
}

namespace {

// A USB or PCI id, hexadecimal ("0403", "0x8086"); -1 when there is none.
int hexId(const QString &text)
{
    bool ok = false;
    const int id
        = QStringView(text).mid(text.startsWith(QLatin1String("0x")) ? 2 : 0).toInt(&ok, 16);
    return ok && id >= 0 && id <= 0xFFFF ? id : -1;
}

} // namespace

DeviceFacts deviceFacts(const QString &hardware)
{
    DeviceFacts facts;
    for (QDir dir(hardware); dir.absolutePath().contains(QLatin1String("/devices/")); dir.cdUp()) {
        PortIdentity &id = facts.identity;
        facts.description = deviceAttribute(dir.filePath(QStringLiteral("product")));
        id.manufacturer = deviceAttribute(dir.filePath(QStringLiteral("manufacturer")));
        id.serialNumber = deviceAttribute(dir.filePath(QStringLiteral("serial")));
        id.vendorId = hexId(deviceAttribute(dir.filePath(QStringLiteral("idVendor"))));
        id.productId = hexId(deviceAttribute(dir.filePath(QStringLiteral("idProduct"))));
        // A USB device's directory is named for the port it is plugged in.
        if (id.vendorId >= 0)
            id.usbPort = dir.dirName();
        if (id.vendorId < 0 && id.productId < 0) {
            id.vendorId = hexId(deviceAttribute(dir.filePath(QStringLiteral("vendor"))));
            id.productId = hexId(deviceAttribute(dir.filePath(QStringLiteral("device"))));
        }
        if (!facts.description.isEmpty() || !id.manufacturer.isEmpty() || id.vendorId >= 0
            || id.productId >= 0)
            break;
    }
    return facts;
}
