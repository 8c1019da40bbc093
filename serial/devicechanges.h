#pragma once

#include <QObject>

#include <memory>

// Tells when the system announces that a device came or went, where the system
// announces it to windows (Windows' WM_DEVICECHANGE, broadcast to every
// top-level window). Elsewhere it tells nothing: on Linux the device directory's
// watch (SystemPorts) serves.
class DeviceChanges : public QObject
{
    Q_OBJECT

public:
    explicit DeviceChanges(QObject *parent = nullptr);
    ~DeviceChanges() override;

signals:
    void changed();

private:
    class Filter;
    std::unique_ptr<Filter> m_filter;
};
