#include "serial/systemports.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>

#ifdef Q_OS_WIN
#include "serial/windowsports.h"
#else
#include <QSerialPortInfo>
#endif

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
#elif defined(Q_OS_WIN)
    Q_UNUSED(tree);
    listed = windowsPorts();
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

SystemPorts::SystemPorts(QObject *parent, const DeviceTree &tree)
    : QObject(parent)
    , m_tree(tree)
{
}

QList<MappedPort> SystemPorts::mapping()
{
    if (m_current)
        return m_mapping;
    // Watched before it is read: a device that comes meanwhile is not missed.
    const bool watched = watch();
#ifdef Q_OS_WIN
    m_mapping = numberByComName(listedPorts(m_tree));
#else
    m_mapping = numberByFamily(listedPorts(m_tree));
#endif
    // Without a watch (elsewhere than on Linux, or out of watches) it is read at
    // every look.
    m_current = watched;
    return m_mapping;
}

bool SystemPorts::watch()
{
#ifdef Q_OS_LINUX
    if (!m_watcher) {
        m_watcher = new QFileSystemWatcher(this);
        connect(
            m_watcher, &QFileSystemWatcher::directoryChanged, this, &SystemPorts::devicesChanged);
    }
    // udev makes the directories of stable names with the first adapter: each one
    // on the way is watched once it is there.
    QStringList wanted { m_tree.dev };
    for (QString dir = m_tree.byId; dir.startsWith(m_tree.dev + u'/'); dir = QFileInfo(dir).path())
        wanted.append(dir);
    const QStringList watched = m_watcher->directories();
    for (const QString &dir : std::as_const(wanted)) {
        if (!watched.contains(dir) && QFileInfo(dir).isDir())
            m_watcher->addPath(dir);
    }
    return m_watcher->directories().contains(m_tree.dev);
#else
    return false;
#endif
}

void SystemPorts::devicesChanged()
{
    m_current = false;
}
