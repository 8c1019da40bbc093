#include "serial/windowsports.h"

#include <QRegularExpression>

#include <algorithm>

#ifdef Q_OS_WIN
#include <windows.h>
#include <initguid.h>
#include <devguid.h>
#include <setupapi.h>
#endif

PortIdentity identityFromInstanceId(const QString &instanceId)
{
    PortIdentity identity;
    static const QRegularExpression ids(
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
    } else if (serial.size() > 1 && instanceId.startsWith(QLatin1String("FTDIBUS"), Qt::CaseInsensitive)) {
        serial.chop(1); // FTDI's driver adds a letter for the channel
    }
    identity.serialNumber = serial;
    return identity;
}

#ifdef Q_OS_WIN
namespace {

QString registryText(HKEY key, const wchar_t *name)
{
    wchar_t value[512];
    DWORD size = sizeof value - sizeof(wchar_t);
    DWORD type = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE *>(value), &size)
            != ERROR_SUCCESS
        || (type != REG_SZ && type != REG_EXPAND_SZ))
        return {};
    value[size / sizeof(wchar_t)] = 0;
    return QString::fromWCharArray(value);
}

QString deviceProperty(HDEVINFO devices, SP_DEVINFO_DATA *device, DWORD property)
{
    wchar_t value[512];
    DWORD type = 0;
    if (!SetupDiGetDeviceRegistryPropertyW(devices, device, property, &type,
            reinterpret_cast<BYTE *>(value), sizeof value - sizeof(wchar_t), nullptr))
        return {};
    value[511] = 0;
    return QString::fromWCharArray(value);
}

// The ports class of the device manager, by port name.
void describe(QList<ListedPort> &listed)
{
    const HDEVINFO devices = SetupDiGetClassDevsW(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT);
    if (devices == INVALID_HANDLE_VALUE)
        return;
    SP_DEVINFO_DATA device {};
    device.cbSize = sizeof device;
    for (DWORD i = 0; SetupDiEnumDeviceInfo(devices, i, &device); ++i) {
        const HKEY key = SetupDiOpenDevRegKey(devices, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
        if (key == INVALID_HANDLE_VALUE)
            continue;
        const QString name = registryText(key, L"PortName");
        RegCloseKey(key);
        const auto port = std::find_if(listed.begin(), listed.end(),
            [&name](const ListedPort &p) { return p.name.compare(name, Qt::CaseInsensitive) == 0; });
        if (port == listed.end())
            continue;
        port->description = deviceProperty(devices, &device, SPDRP_DEVICEDESC);
        wchar_t instance[512];
        if (SetupDiGetDeviceInstanceIdW(devices, &device, instance, 511, nullptr))
            port->identity = identityFromInstanceId(QString::fromWCharArray(instance));
        port->identity.manufacturer = deviceProperty(devices, &device, SPDRP_MFG);
    }
    SetupDiDestroyDeviceInfoList(devices);
}

} // namespace

QList<ListedPort> windowsPorts()
{
    QList<ListedPort> listed;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key)
        != ERROR_SUCCESS)
        return listed;
    for (DWORD i = 0;; ++i) {
        wchar_t valueName[256];
        DWORD nameSize = 256;
        wchar_t data[256];
        DWORD dataSize = sizeof data - sizeof(wchar_t);
        DWORD type = 0;
        const LONG result = RegEnumValueW(key, i, valueName, &nameSize, nullptr, &type,
            reinterpret_cast<BYTE *>(data), &dataSize);
        if (result == ERROR_NO_MORE_ITEMS)
            break;
        if (result != ERROR_SUCCESS || type != REG_SZ)
            continue;
        data[dataSize / sizeof(wchar_t)] = 0;
        const QString name = QString::fromWCharArray(data);
        listed.append({ name, QStringLiteral("\\\\.\\") + name, {}, {} });
    }
    RegCloseKey(key);
    describe(listed);
    return listed;
}
#endif
