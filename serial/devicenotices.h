#pragma once

#include <QHash>
#include <QObject>

// Windows' own word that a device came or went, told on the window's thread: any
// serial port arriving or being removed, and the removal of a device the program
// holds open (asked for, pending or complete). A hidden message-only window
// receives them (WM_DEVICECHANGE, RegisterDeviceNotification). Where Windows
// gives no notices (Wine gives none) nothing is told, and a failing read is the
// only sign of a removal. Windows only.
class DeviceNotices : public QObject
{
    Q_OBJECT

public:
    explicit DeviceNotices(QObject *parent = nullptr);
    ~DeviceNotices() override;

    // Tells removed(handle) when the device open on handle (a Windows HANDLE)
    // goes, until forgotten. Forget a handle before closing it.
    void watch(void *handle);
    void forget(void *handle);

    // Called by the hidden window's procedure, which must not throw.
    void deviceChanged(unsigned long long event, const void *header) noexcept;

signals:
    // A serial port arrived or was removed: the list of ports has changed.
    void portsChanged();
    // The device open on handle is going: close the handle now, so that Windows
    // may remove it.
    void removed(void *handle);

private:
    void *m_window = nullptr; // HWND
    void *m_ports = nullptr; // HDEVNOTIFY for every serial port
    QHash<void *, void *> m_handles; // open device -> HDEVNOTIFY
};
