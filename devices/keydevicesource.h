#pragma once

#include <QObject>

#include <memory>

class QWidget;

// Which device typed each key the window gets, as far as the window system tells:
// under X from its input extension's raw key events, on Windows from Raw Input,
// under Wayland not at all. Asked once per key press, at a constant cost.
class KeyDeviceSource : public QObject
{
    Q_OBJECT

public:
    // window: the window whose keys are asked about (Windows sends it the raw
    // input).
    explicit KeyDeviceSource(QWidget *window);
    ~KeyDeviceSource() override;

    // The device of the key press with this native scan code and time: the time
    // the window system gave the key (X's server time; Windows' message time):
    // a number of KeyDevices, KeyDevices::Unknown when it cannot be told,
    // KeyDevices::NotTold when the session tells no device.
    quint16 deviceOf(quint32 nativeScanCode, quint64 timestamp);

private:
    class Private;
    std::unique_ptr<Private> d;
};
