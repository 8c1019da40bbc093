#pragma once

#include "devices/inputdevice.h"
#include "devices/rawkeymatcher.h"

#include <QByteArrayView>
#include <QHash>

#include <functional>

#include <optional>

// One keyboard report of Windows' Raw Input (WM_INPUT), read from the bytes
// GetRawInputData gives on 64-bit Windows: a RAWINPUT, its RAWINPUTHEADER then
// its RAWKEYBOARD. Kept apart from Windows' headers so that any build can read
// and try it.
struct RawKeyboardInput
{
    quint64 device = 0; // hDevice; 0 for input a program made (SendInput)
    quint16 makeCode = 0;
    quint16 flags = 0; // RI_KEY_BREAK, RI_KEY_E0, RI_KEY_E1
    quint16 virtualKey = 0;
    quint32 message = 0; // WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN...

    // The scan code that Windows gives the key's own messages (bits 16-24 of
    // lParam: bit 8 for an extended, E0, key), or -1 for a key let go.
    int pressedScanCode() const;
};
// Nothing for another device's report (a mouse's) or bytes too short for one.
std::optional<RawKeyboardInput> rawKeyboardInput(QByteArrayView bytes);

// The Raw Input side of the window's messages: each WM_INPUT's report, with the
// message's time, kept until the key message of the same press asks for its
// device. Windows stamps both messages of a press with the input's time; a
// little leeway is left in case a system stamps them apart. The devices' numbers
// are asked once a handle (named: how a handle's device is learnt), until
// devices come or go, when handles may be given to others.
class RawInputKeys
{
public:
    explicit RawInputKeys(std::function<quint16(quint64 handle)> named);

    // A WM_INPUT: the bytes GetRawInputData gives, and the message's time.
    void input(QByteArrayView report, quint32 timeMs);
    // WM_DEVICECHANGE: a keyboard came or went.
    void devicesChanged() { m_numbers.clear(); }
    // The device of the key message with this scan code (bits 16-24 of its
    // lParam) and time: a number of KeyDevices.
    quint16 deviceOf(quint32 scanCode, quint32 timeMs) { return m_matcher.take(scanCode, timeMs); }

private:
    static constexpr quint32 ToleranceMs = 50;
    std::function<quint16(quint64)> m_named;
    RawKeyMatcher m_matcher { ToleranceMs };
    QHash<quint64, quint16> m_numbers;
};

// A keyboard as its Raw Input device path names it
// ("\\?\HID#VID_0C2E&PID_0B61&MI_00#7&2a4c&0&0000#{884b96c3-…}"): its hardware
// id ("HID\VID_0C2E&PID_0B61&MI_00") for a name, the USB ids where the path has them.
InputDevice windowsInputDevice(const QString &path);
// The device instance the path leads to ("HID\VID_0C2E&PID_0B61&MI_00\7&2a4c&0&0000"),
// by which Windows' device manager knows it; empty for a path of another shape.
QString windowsInstanceId(const QString &path);
