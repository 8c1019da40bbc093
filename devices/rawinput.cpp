#include "devices/rawinput.h"

#include "devices/keydevices.h"
#include "serial/windowsports.h"

#include <QtEndian>

namespace {

// RAWINPUTHEADER on 64-bit Windows: dwType, dwSize, hDevice, wParam.
constexpr qsizetype HeaderSize = 4 + 4 + 8 + 8;
// RAWKEYBOARD: MakeCode, Flags, Reserved, VKey, Message, ExtraInformation.
constexpr qsizetype KeyboardSize = 2 + 2 + 2 + 2 + 4 + 4;
constexpr quint32 TypeKeyboard = 1; // RIM_TYPEKEYBOARD
constexpr quint16 KeyBreak = 1; // RI_KEY_BREAK
constexpr quint16 KeyE0 = 2; // RI_KEY_E0

template<typename T> T at(QByteArrayView bytes, qsizetype offset)
{
    return qFromLittleEndian<T>(bytes.data() + offset);
}

// \\?\<enumerator>#<device id>#<instance>#{<interface class>}
QStringList pathParts(const QString &path)
{
    return path.mid(path.startsWith(QLatin1String("\\\\?\\")) ? 4 : 0).split(u'#');
}

} // namespace

int RawKeyboardInput::pressedScanCode() const
{
    if (flags & KeyBreak)
        return -1;
    return (makeCode & 0xFF) | ((flags & KeyE0) ? 0x100 : 0);
}

std::optional<RawKeyboardInput> rawKeyboardInput(QByteArrayView bytes)
{
    if (bytes.size() < HeaderSize + KeyboardSize || at<quint32>(bytes, 0) != TypeKeyboard)
        return std::nullopt;
    RawKeyboardInput input;
    input.device = at<quint64>(bytes, 8);
    input.makeCode = at<quint16>(bytes, HeaderSize);
    input.flags = at<quint16>(bytes, HeaderSize + 2);
    input.virtualKey = at<quint16>(bytes, HeaderSize + 6);
    input.message = at<quint32>(bytes, HeaderSize + 8);
    return input;
}

RawInputKeys::RawInputKeys(std::function<quint16(quint64 handle)> named)
    : m_named(std::move(named))
{
}

void RawInputKeys::input(QByteArrayView report, quint32 timeMs)
{
    const std::optional<RawKeyboardInput> input = rawKeyboardInput(report);
    if (!input || input->pressedScanCode() < 0)
        return;
    quint16 number = KeyDevices::Unnamed; // a program's input
    if (input->device) {
        const auto known = m_numbers.constFind(input->device);
        number = known != m_numbers.constEnd() ? *known
                                               : *m_numbers.insert(input->device, m_named(input->device));
    }
    m_matcher.raw(quint32(input->pressedScanCode()), timeMs, number);
}

InputDevice windowsInputDevice(const QString &path)
{
    InputDevice device;
    device.node = path;
    const QStringList parts = pathParts(path);
    device.name = parts.size() >= 2 ? parts[0] + u'\\' + parts[1] : path;
    const UsbIds ids = usbIdsIn(path);
    device.identity.vendorId = ids.vendorId;
    device.identity.productId = ids.productId;
    return device;
}

QString windowsInstanceId(const QString &path)
{
    const QStringList parts = pathParts(path);
    return parts.size() == 4 ? parts.mid(0, 3).join(u'\\') : QString();
}
