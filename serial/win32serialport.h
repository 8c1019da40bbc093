#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QObject>
#include <QString>

#include <memory>

class DeviceNotices;
class Win32PortReader;

// A serial port on Windows, through the Win32 communications functions: the
// device opened with CreateFile (exclusively, as Windows opens every COM port),
// the line set with SetCommState, and reads on a thread of their own that
// return as soon as bytes come. What the thread reads is handed to the window's
// thread as notifications; nothing here blocks on the device, closing included.
// Only reading is offered: the tool sends nothing. The names follow QSerialPort,
// which the control uses elsewhere.
class Win32SerialPort : public QObject
{
    Q_OBJECT

public:
    enum Parity { NoParity = 0, EvenParity = 2, OddParity = 3, SpaceParity = 4, MarkParity = 5 };
    enum DataBits { Data5 = 5, Data6 = 6, Data7 = 7, Data8 = 8 };
    enum StopBits { OneStop = 1, OneAndHalfStop = 3, TwoStop = 2 };
    enum FlowControl { NoFlowControl };
    enum SerialPortError {
        NoError,
        DeviceNotFoundError,
        PermissionError,
        OpenError,
        WriteError = 7,
        ReadError,
        ResourceError,
        UnsupportedOperationError,
        UnknownError,
        TimeoutError,
        NotOpenError,
    };

    explicit Win32SerialPort(QObject *parent = nullptr);
    ~Win32SerialPort() override;

    void setPortName(const QString &name) { m_name = name; }
    void setBaudRate(qint32 rate) { m_baudRate = rate; }
    void setParity(Parity parity) { m_parity = parity; }
    void setDataBits(DataBits bits) { m_dataBits = bits; }
    void setStopBits(StopBits bits) { m_stopBits = bits; }
    void setFlowControl(FlowControl) { }

    // Opens for reading with the line settings given; on failure error() says why.
    bool open(QIODevice::OpenMode mode);
    bool isOpen() const;
    void close();

    // What has been announced and not yet taken.
    QByteArray readAll();
    qint64 bytesAvailable() const { return m_taken.size(); }
    // Adds the next read that waits to what readAll() gives, without announcing
    // it; false when none waits. Never waits itself.
    bool waitForReadyRead(int msecs);

    SerialPortError error() const { return m_error; }
    QString errorString() const { return m_errorString; }
    void clearError();

signals:
    void readyRead();
    // ReadError once when the device went away while open, after everything it
    // delivered has been announced; reads stop then.
    void errorOccurred(Win32SerialPort::SerialPortError error);

private:
    void fail(SerialPortError error, unsigned long code);
    void announce(int generation);
    void lost(int generation, unsigned long code);
    void report(int generation, unsigned long code);
    void deviceRemoved(void *handle);

    QString m_name;
    qint32 m_baudRate = 9600;
    Parity m_parity = NoParity;
    DataBits m_dataBits = Data8;
    StopBits m_stopBits = OneStop;
    SerialPortError m_error = NoError;
    QString m_errorString;
    DeviceNotices *m_notices;
    std::shared_ptr<Win32PortReader> m_reader;
    QByteArray m_taken;
    unsigned long m_lostCode = 0; // told by the thread, reported once nothing waits
    int m_generation = 0;
};
