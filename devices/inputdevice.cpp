#include "devices/inputdevice.h"

#include "serial/devicefacts.h"

#include <QFileInfo>

InputDevice linuxInputDevice(const QString &name, const QString &node, const QString &inputClass)
{
    InputDevice device { name, node, {}, {} };
    if (node.isEmpty())
        return device;
    // /sys/class/input/event3/device is the input device; the USB device is above it.
    const QString hardware = QFileInfo(inputClass + u'/' + QFileInfo(node).fileName()
        + QStringLiteral("/device")).canonicalFilePath();
    if (hardware.isEmpty())
        return device;
    const DeviceFacts facts = deviceFacts(hardware);
    device.description = facts.description;
    device.identity = facts.identity;
    return device;
}
