#pragma once

#include "serial/portmapping.h"

#include <QObject>
#include <QString>
#include <QTime>

class SerialControl;

// Follows the open port's device while the operator asks for it: when the device
// goes away, it waits for a device of the same identity to appear again, under
// whatever name and number, and opens that one with the port's settings. A device
// that only takes the old name is not the same one and is left alone. Nothing of
// it is kept beyond the program's run.
class PortFollower : public QObject
{
    Q_OBJECT

public:
    explicit PortFollower(SerialControl *port);

    bool following() const { return m_following; }
    void setFollowing(bool on);
    // The operator closed the port: whatever went away is no longer waited for.
    void forget();
    // What happened to the followed device, one statement a line, plain text:
    // when it went, when it came back and under which name, or that it is awaited.
    QString history() const;

    // The identity that tells the device again: its USB serial number where it
    // has one (a scanner switched to another mode may come back with another
    // product id), else its USB ids on the same USB port. A device with neither
    // cannot be told again.
    static bool sameDevice(const PortIdentity &was, const PortIdentity &now);
    static bool followable(const PortIdentity &identity);

signals:
    // The device came back and its port is open again.
    void reopened();

private:
    void lost();
    void devicesChanged();

    SerialControl *m_port;
    bool m_following = false;
    bool m_waiting = false;
    MappedPort m_gone;
    QTime m_goneAt;
    QTime m_backAt;
    MappedPort m_back;
    QString m_failure; // why the device that came back did not open
};
