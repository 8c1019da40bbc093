#include "devices/keydevices.h"

#include "text/literaltext.h"
#include "threads/detachedthread.h"

#include <atomic>
#include <mutex>

namespace {

constexpr quint16 First = 3;

// The answers of askInBackground's threads, until the window's thread takes them.
struct Answers
{
    std::mutex lock;
    std::vector<std::pair<quint16, InputDevice>> devices;
    std::atomic<bool> any = false;
};

// Never destroyed: a thread may still be asking as the program ends.
Answers &answers()
{
    static Answers *const all = new Answers;
    return *all;
}

} // namespace

std::vector<KeyDevices::Known> &KeyDevices::devices()
{
    static std::vector<Known> known;
    return known;
}

quint16 KeyDevices::reserve()
{
    std::vector<Known> &known = devices();
    if (known.size() >= 0xFFFF - First)
        return Unknown;
    known.push_back({ {}, false });
    return quint16(First + known.size() - 1);
}

void KeyDevices::learnt(quint16 number, const InputDevice &device)
{
    std::vector<Known> &known = devices();
    if (number >= First && number - First < int(known.size()))
        known[number - First] = { device, true };
}

quint16 KeyDevices::askInBackground(std::function<InputDevice()> ask)
{
    const quint16 number = reserve();
    if (number == Unknown)
        return number;
    // Facts that cannot be had (ask throws, or no thread is to be had): the device
    // stays one whose facts have not come.
    runDetached([number, ask = std::move(ask)] {
        InputDevice device = ask();
        Answers &all = answers();
        const std::lock_guard guard(all.lock);
        all.devices.emplace_back(number, std::move(device));
        all.any = true;
    });
    return number;
}

void KeyDevices::collect()
{
    Answers &all = answers();
    if (!all.any)
        return;
    std::vector<std::pair<quint16, InputDevice>> come;
    {
        const std::lock_guard guard(all.lock);
        come.swap(all.devices);
        all.any = false;
    }
    for (const auto &[number, device] : come)
        learnt(number, device);
}

const InputDevice *KeyDevices::device(quint16 number)
{
    collect();
    const std::vector<Known> &known = devices();
    return number >= First && number - First < int(known.size()) && known[number - First].learnt
        ? &known[number - First].device
        : nullptr;
}

bool KeyDevices::same(quint16 a, quint16 b)
{
    const InputDevice *first = device(a);
    const InputDevice *second = device(b);
    return a == b || (first && second && *first == *second);
}

QStringList KeyDevices::describe(quint16 number)
{
    if (number == NotTold)
        return { QStringLiteral("Устройство: не известно — сеанс Wayland не сообщает программам, "
                                "с какого устройства пришла клавиша.") };
    if (number == Unnamed)
        return { QStringLiteral("Устройство: не известно — Windows не назвал устройство; "
                                "так приходят клавиши, которые послала программа, а не устройство.") };
    const InputDevice *known = device(number);
    if (!known && number >= First && number - First < int(devices().size()))
        return { QStringLiteral("Устройство: его сведения ещё не получены.") };
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
