#pragma once

#include "errors/runtimeerror.h"
#include "serial/portmapping.h"
#include "serial/serialport.h"

#include <QByteArray>
#include <QObject>
#include <QString>

// The serial port control the form carries: a port number, a settings text, the
// open state, the received text and the notification that something happened.
// The port is only ever read: the tool sends nothing.
class SerialControl : public QObject
{
    Q_OBJECT

public:
    // CommEvent codes.
    static constexpr short comEvReceive = 2;

    explicit SerialControl(QObject *parent = nullptr);
    ~SerialControl() override;

    // Written before opening; never refused. While the port is open they are only
    // kept for the next open.
    short CommPort() const { return m_commPort; }
    void setCommPort(short number) { m_commPort = number; }
    QString Settings() const { return m_settings; }
    void setSettings(const QString &settings) { m_settings = settings; }

    bool PortOpen() const;
    // Opening checks the port number and the settings text and throws RuntimeError
    // with a description for the operator when the port does not open. Closing a
    // closed port does nothing.
    void setPortOpen(bool open);

    // The received bytes waiting, in arrival order, one character per byte: byte b
    // gives the character of code b. Reading takes them, together with what the
    // system has received meanwhile, up to a bound.
    QString Input();
    short CommEvent() const { return m_commEvent; }

    // Which device each port number opens; tests point numbers at pseudo-terminals.
    void setPortMapper(PortMapper mapper);
    QList<MappedPort> portMapping() const;
    // The port of the last open that succeeded; still known once it has closed, to
    // say which device went away.
    MappedPort openedPort() const { return m_opened; }

signals:
    void OnComm();
    // The device went away while open (an adapter unplugged). What it delivered
    // has been announced with OnComm before this; the port now reads closed.
    void DeviceLost();

private:
    void open();
    void received();
    void takeWaiting();
    void portError(SerialPort::SerialPortError error);
    void loseDevice();
    RuntimeError openFailure(const QString &device) const;

    SerialPort *m_port;
    PortMapper m_mapper;
    MappedPort m_opened;
    QByteArray m_leftover;
    QString m_settings;
    short m_commPort = 1;
    short m_commEvent = 0;
    bool m_losing = false;
    bool m_taking = false;
};
