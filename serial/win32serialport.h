#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QObject>
#include <QString>

#include <memory>

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

    // What the reading thread has received and not yet taken.
    QByteArray readAll();
    qint64 bytesAvailable() const;
    // Everything received is already waiting: there is never more to wait for.
    bool waitForReadyRead(int) { return false; }

    SerialPortError error() const { return m_error; }
    QString errorString() const { return m_errorString; }
    void clearError();

signals:
    void readyRead();
    // ReadError once when the device went away while open; reads stop then.
    void errorOccurred(Win32SerialPort::SerialPortError error);

private:
    struct Reader;
    void fail(SerialPortError error, unsigned long code);
    void announce(int generation);
    void lost(int generation, unsigned long code);

    QString m_name;
    qint32 m_baudRate = 9600;
    Parity m_parity = NoParity;
    DataBits m_dataBits = Data8;
    StopBits m_stopBits = OneStop;
    SerialPortError m_error = NoError;
    QString m_errorString;
    std::unique_ptr<Reader> m_reader;
    int m_generation = 0;
};
