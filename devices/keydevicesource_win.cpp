#include "devices/keydevicesource.h"

#include "devices/keydevices.h"
#include "devices/rawinput.h"
#include "serial/windowsports.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QWidget>

#include <windows.h>

#include <vector>

// On Windows: Raw Input, asked for every keyboard even while the window is in the
// background (a key may come before it is active), tells each press with the
// device it came from (hDevice), whose device path holds its USB ids.
class KeyDeviceSource::Private : public QAbstractNativeEventFilter
{
public:
    explicit Private(QWidget *window);
    ~Private() override;
    bool nativeEventFilter(const QByteArray &type, void *message, qintptr *) override;
    static quint16 numberOf(HANDLE device);

    RawInputKeys keys { [](quint64 handle) { return numberOf(reinterpret_cast<HANDLE>(handle)); } };
    std::vector<char> buffer;
};

KeyDeviceSource::Private::Private(QWidget *window)
{
    RAWINPUTDEVICE keyboards {};
    keyboards.usUsagePage = 0x01; // generic desktop
    keyboards.usUsage = 0x06; // keyboard
    keyboards.dwFlags = RIDEV_INPUTSINK;
    keyboards.hwndTarget = reinterpret_cast<HWND>(window->winId());
    if (RegisterRawInputDevices(&keyboards, 1, sizeof keyboards))
        qApp->installNativeEventFilter(this);
}

KeyDeviceSource::Private::~Private()
{
    if (qApp)
        qApp->removeNativeEventFilter(this);
}

bool KeyDeviceSource::Private::nativeEventFilter(const QByteArray &type, void *message, qintptr *)
{
    if (type != "windows_generic_MSG")
        return false;
    const MSG *msg = static_cast<const MSG *>(message);
    if (msg->message == WM_DEVICECHANGE) // a keyboard came or went: handles may be reused
        keys.devicesChanged();
    if (msg->message != WM_INPUT)
        return false;
    // Called from Qt's event delivery, which nothing may unwind through: a press
    // whose device cannot be kept is tied to none.
    try {
        UINT size = 0;
        const auto handle = reinterpret_cast<HRAWINPUT>(msg->lParam);
        if (GetRawInputData(handle, RID_INPUT, nullptr, &size, sizeof(RAWINPUTHEADER)) != 0)
            return false;
        buffer.resize(size);
        if (GetRawInputData(handle, RID_INPUT, buffer.data(), &size, sizeof(RAWINPUTHEADER)) != size)
            return false;
        keys.input(QByteArrayView(buffer.data(), qsizetype(size)), quint32(msg->time));
    } catch (...) {
    }
    return false; // DefWindowProc cleans up after WM_INPUT
}

quint16 KeyDeviceSource::Private::numberOf(HANDLE device)
{
    UINT length = 0;
    GetRawInputDeviceInfoW(device, RIDI_DEVICENAME, nullptr, &length);
    std::wstring path(length, L'\0');
    if (length == 0 || GetRawInputDeviceInfoW(device, RIDI_DEVICENAME, path.data(), &length) <= 0)
        return KeyDevices::Unknown;
    // Once a handle (RawInputKeys keeps its number): its keys are tied to a
    // number at once; what the device manager tells of its USB device is asked on
    // a thread of its own (it may stall while Windows installs a device).
    const InputDevice named = windowsInputDevice(QString::fromWCharArray(path.c_str()));
    return KeyDevices::askInBackground([named] {
        InputDevice device = named;
        const DescribedDevice usb = describedDevice(windowsInstanceId(named.node));
        if (usb.identity.vendorId >= 0)
            device.identity = usb.identity;
        device.description = usb.product;
        return device;
    });
}

KeyDeviceSource::KeyDeviceSource(QWidget *window)
    : QObject(window)
    , d(std::make_unique<Private>(window))
{
}

KeyDeviceSource::~KeyDeviceSource() = default;

quint16 KeyDeviceSource::deviceOf(quint32 nativeScanCode, quint64 timestamp)
{
    return d->keys.deviceOf(nativeScanCode & 0x1FF, quint32(timestamp));
}
