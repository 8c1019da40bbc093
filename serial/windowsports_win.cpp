#include "serial/windowsports.h"

#include <windows.h>
#include <initguid.h>
#include <devguid.h>
#include <setupapi.h>
#include <cfgmgr32.h>
#include <devpkey.h>

#include <string>

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

QString instanceId(DEVINST node)
{
    wchar_t id[MAX_DEVICE_ID_LEN + 1] {};
    return CM_Get_Device_IDW(node, id, MAX_DEVICE_ID_LEN, 0) == CR_SUCCESS
        ? QString::fromWCharArray(id)
        : QString();
}

// Where the device node is plugged in, as Windows names the path to it
// ("PCIROOT(0)#PCI(1400)#USBROOT(0)#USB(2)#USB(1)"): the first of its location paths.
QString locationPath(DEVINST node)
{
    wchar_t paths[1024] {};
    ULONG size = sizeof paths - 2 * sizeof(wchar_t);
    ULONG type = 0;
    if (CM_Get_DevNode_Registry_PropertyW(node, CM_DRP_LOCATION_PATHS, &type, paths, &size, 0)
            != CR_SUCCESS
        || type != REG_MULTI_SZ)
        return {};
    return QString::fromWCharArray(paths);
}

// The product's name as the USB device gives it.
QString busReportedName(DEVINST node)
{
    wchar_t name[512] {};
    ULONG size = sizeof name - sizeof(wchar_t);
    DEVPROPTYPE type = 0;
    if (CM_Get_DevNode_PropertyW(node, &DEVPKEY_Device_BusReportedDeviceDesc, &type,
            reinterpret_cast<PBYTE>(name), &size, 0)
            != CR_SUCCESS
        || type != DEVPROP_TYPE_STRING)
        return {};
    return QString::fromWCharArray(name);
}

// The USB ids and serial number of the USB device the node belongs to (an
// interface's or a driver's own id may not hold them), where that is plugged in,
// and its product's name.
DescribedDevice usbDevice(DEVINST node)
{
    QList<DEVINST> nodes { node };
    QStringList ids { instanceId(node) };
    DEVINST parent = 0;
    while (nodes.size() < 4 && CM_Get_Parent(&parent, nodes.last(), 0) == CR_SUCCESS) {
        nodes.append(parent);
        ids.append(instanceId(parent));
    }
    const qsizetype usb = usbDeviceIn(ids);
    if (usb < 0)
        return { identityFromInstanceId(ids.first()), {} };
    DescribedDevice device { identityFromInstanceId(ids.at(usb)), busReportedName(nodes.at(usb)) };
    device.identity.usbPort = locationPath(nodes.at(usb));
    return device;
}

} // namespace

DescribedDevice describedDevice(const QString &instanceId)
{
    std::wstring id = instanceId.toStdWString();
    DEVINST node = 0;
    if (CM_Locate_DevNodeW(&node, id.data(), CM_LOCATE_DEVNODE_NORMAL) != CR_SUCCESS)
        return { identityFromInstanceId(instanceId), {} };
    return usbDevice(node);
}

QList<ListedPort> describedPorts()
{
    QList<ListedPort> described;
    const HDEVINFO devices = SetupDiGetClassDevsW(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT);
    if (devices == INVALID_HANDLE_VALUE)
        return described;
    SP_DEVINFO_DATA device {};
    device.cbSize = sizeof device;
    for (DWORD i = 0; SetupDiEnumDeviceInfo(devices, i, &device); ++i) {
        const HKEY key = SetupDiOpenDevRegKey(devices, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
        if (key == INVALID_HANDLE_VALUE)
            continue;
        ListedPort port { registryText(key, L"PortName"), {}, {}, {} };
        RegCloseKey(key);
        if (port.name.isEmpty())
            continue;
        port.description = deviceProperty(devices, &device, SPDRP_DEVICEDESC);
        port.identity = usbDevice(device.DevInst).identity;
        port.identity.manufacturer = deviceProperty(devices, &device, SPDRP_MFG);
        described.append(port);
    }
    SetupDiDestroyDeviceInfoList(devices);
    return described;
}

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
        // A name or value too long for the buffers is passed over; any other
        // failure ends the list (ERROR_NO_MORE_ITEMS at its end).
        if (result == ERROR_MORE_DATA)
            continue;
        if (result != ERROR_SUCCESS)
            break;
        if (type != REG_SZ)
            continue;
        data[dataSize / sizeof(wchar_t)] = 0;
        const QString name = QString::fromWCharArray(data);
        listed.append({ name, QStringLiteral("\\\\.\\") + name, {}, {} });
    }
    RegCloseKey(key);
    return listed;
}
