#include "serial/systemports.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QSerialPortInfo>

namespace {

#ifdef Q_OS_LINUX
// An attribute of the device tree: one value, ended by a line feed.
QString attribute(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.read(4096)).trimmed();
}

// A USB or PCI id, hexadecimal ("0403", "0x8086"); -1 when there is none.
int hexId(const QString &text)
{
    bool ok = false;
    const int id
        = QStringView(text).mid(text.startsWith(QLatin1String("0x")) ? 2 : 0).toInt(&ok, 16);
    return ok && id >= 0 && id <= 0xFFFF ? id : -1;
}

// What the device tree tells of the hardware behind a port: the nearest device
// on the way up from it that names itself (for a USB adapter, the USB device
// above its interface; for a PCI card, its ids). Not above the tree's devices.
ListedPort described(const QString &name, const QString &hardware)
{
    ListedPort port { name, {}, {}, {} };
    for (QDir dir(hardware); dir.absolutePath().contains(QLatin1String("/devices/")); dir.cdUp()) {
        PortIdentity &id = port.identity;
        port.description = attribute(dir.filePath(QStringLiteral("product")));
        id.manufacturer = attribute(dir.filePath(QStringLiteral("manufacturer")));
        id.serialNumber = attribute(dir.filePath(QStringLiteral("serial")));
        id.vendorId = hexId(attribute(dir.filePath(QStringLiteral("idVendor"))));
        id.productId = hexId(attribute(dir.filePath(QStringLiteral("idProduct"))));
        if (id.vendorId < 0 && id.productId < 0) {
            id.vendorId = hexId(attribute(dir.filePath(QStringLiteral("vendor"))));
            id.productId = hexId(attribute(dir.filePath(QStringLiteral("device"))));
        }
        if (!port.description.isEmpty() || !id.manufacturer.isEmpty() || id.vendorId >= 0
            || id.productId >= 0)
            break;
    }
    return port;
}
#endif

} // namespace

QList<ListedPort> listedPorts(const DeviceTree &tree)
{
    QList<ListedPort> listed;
#ifdef Q_OS_LINUX
    const QDir ttys(tree.ttyClass);
    const QStringList names = ttys.entryList(QDir::Dirs | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &name : names) {
        // Consoles and pseudo-terminals have no device behind them.
        const QString hardware
            = QFileInfo(ttys.filePath(name + QStringLiteral("/device"))).canonicalFilePath();
        if (hardware.isEmpty())
            continue;
        // Bluetooth, null-modem and USB gadget ports have a device but no driver.
        const bool driverless = name.startsWith(QLatin1String("rfcomm"))
            || name.startsWith(QLatin1String("tnt")) || name.startsWith(QLatin1String("ttyGS"));
        if (!driverless && !QFileInfo::exists(hardware + QStringLiteral("/driver")))
            continue;
        // The kernel lists every UART slot it reserved (ttyS0 to ttyS31); one where it
        // found no UART has type 0, PORT_UNKNOWN.
        if (attribute(ttys.filePath(name + QStringLiteral("/type"))) == QLatin1String("0"))
            continue;
        ListedPort port = described(name, hardware);
        port.location = tree.dev + u'/' + name;
        port.identity.stableName = stableName(port.location, tree.byId);
        listed.append(port);
    }
#else
    Q_UNUSED(tree);
    const auto available = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : available) {
        PortIdentity identity { info.manufacturer(), -1, -1, info.serialNumber(), {} };
        if (info.hasVendorIdentifier() && info.hasProductIdentifier()) {
            identity.vendorId = info.vendorIdentifier();
            identity.productId = info.productIdentifier();
        }
        listed.append({ info.portName(), info.systemLocation(), info.description(), identity });
    }
#endif
    return listed;
}

struct SystemPorts::Private
{
    bool watch(SystemPorts *owner);

    DeviceTree tree;
    QFileSystemWatcher *watcher = nullptr;
    QList<MappedPort> mapping;
    bool current = false;
};

SystemPorts::SystemPorts(QObject *parent, const DeviceTree &tree)
    : QObject(parent)
    , d(std::make_unique<Private>())
{
    d->tree = tree;
}

SystemPorts::~SystemPorts() = default;

QList<MappedPort> SystemPorts::mapping()
{
    if (d->current)
        return d->mapping;
    // Watched before it is read: a device that comes meanwhile is not missed.
    const bool watched = d->watch(this);
    d->mapping = numberByFamily(listedPorts(d->tree));
    // Without a watch (elsewhere than on Linux, or out of watches) it is read at
    // every look.
    d->current = watched;
    return d->mapping;
}

bool SystemPorts::Private::watch(SystemPorts *owner)
{
#ifdef Q_OS_LINUX
    if (!watcher) {
        watcher = new QFileSystemWatcher(owner);
        connect(watcher, &QFileSystemWatcher::directoryChanged, owner, [this] { current = false; });
    }
    // udev makes the directories of stable names with the first adapter: each one
    // on the way is watched once it is there.
    QStringList wanted { tree.dev };
    for (QString dir = tree.byId; dir.startsWith(tree.dev + u'/'); dir = QFileInfo(dir).path())
        wanted.append(dir);
    const QStringList watched = watcher->directories();
    for (const QString &dir : std::as_const(wanted)) {
        if (!watched.contains(dir) && QFileInfo(dir).isDir())
            watcher->addPath(dir);
    }
    return watcher->directories().contains(tree.dev);
#else
    Q_UNUSED(owner);
    return false;
#endif
}
