#include "devices/keydevices.h"

#include "text/literaltext.h"

#include <algorithm>

namespace {

constexpr quint16 First = 2;

} // namespace

std::vector<InputDevice> &KeyDevices::devices()
{
    static std::vector<InputDevice> known;
    return known;
}

quint16 KeyDevices::add(const InputDevice &device)
{
    std::vector<InputDevice> &known = devices();
    const auto found = std::find(known.begin(), known.end(), device);
    if (found != known.end())
        return quint16(First + (found - known.begin()));
    if (known.size() >= 0xFFFF - First)
        return Unknown;
    known.push_back(device);
    return quint16(First + known.size() - 1);
}

const InputDevice *KeyDevices::device(quint16 number)
{
    const std::vector<InputDevice> &known = devices();
    return number >= First && number - First < int(known.size()) ? &known[number - First] : nullptr;
}

QStringList KeyDevices::describe(quint16 number)
{
    if (number == NotTold)
        return { QStringLiteral("Устройство: не известно — сеанс Wayland не сообщает программам, "
                                "с какого устройства пришла клавиша.") };
    const InputDevice *known = device(number);
    if (!known)
        return { QStringLiteral("Устройство: не известно — клавишу не удалось связать "
                                "ни с одним устройством.") };
    QStringList lines { QStringLiteral("Устройство: «") + literalText(known->name) + u'»'
        + (known->node.isEmpty() ? QString() : QStringLiteral(", ") + literalText(known->node)) };
    const QString identity = identityText(known->identity);
    if (!identity.isEmpty())
        lines.append((known->identity.usbPort.isEmpty() ? QString() : QStringLiteral("USB: "))
            + identity
            + (known->description.isEmpty() ? QString()
                                            : QStringLiteral(" (") + literalText(known->description) + u')'));
    return lines;
}

QString KeyDevices::shortName(quint16 number)
{
    const InputDevice *known = device(number);
    if (!known)
        return {};
    const QString identity = identityText(known->identity);
    return u'«' + literalText(known->name) + u'»'
        + (identity.isEmpty() ? QString() : QStringLiteral(" (") + identity + u')');
}
