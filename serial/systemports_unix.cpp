#include "serial/systemports.h"

#include "serial/devicefacts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QSerialPortInfo>

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
        if (deviceAttribute(ttys.filePath(name + QStringLiteral("/type"))) == QLatin1String("0"))
            continue;
        const DeviceFacts facts = deviceFacts(hardware);
        ListedPort port { name, {}, facts.description, facts.identity };
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
        connect(watcher, &QFileSystemWatcher::directoryChanged, owner, [this, owner] {
            current = false;
            emit owner->changed();
        });
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
