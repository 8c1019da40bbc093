#include "serial/win32serialport.h"

#include "serial/devicenotices.h"
#include "serial/win32portreader.h"
#include "threads/detachedthread.h"

#include <QMetaObject>

#include <utility>

#include <windows.h>

namespace {

// How long closing waits for the reading thread to give its cancelled read back
// and close the device. A driver that keeps a cancelled read (a known fault after
// a surprise removal) is left to the thread, which closes the device itself.
constexpr DWORD CloseWait = 200;

QString systemMessage(DWORD code)
{
    wchar_t *text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t *>(&text), 0, nullptr);
    QString message = length ? QString::fromWCharArray(text, length).trimmed() : QString();
    LocalFree(text);
    while (message.endsWith(u'.'))
        message.chop(1);
    return message.isEmpty() ? QStringLiteral("ошибка Windows %1").arg(code) : message;
}

BYTE parityCode(Win32SerialPort::Parity parity)
{
    switch (parity) {
    case Win32SerialPort::EvenParity:
        return EVENPARITY;
    case Win32SerialPort::OddParity:
        return ODDPARITY;
    case Win32SerialPort::MarkParity:
        return MARKPARITY;
    case Win32SerialPort::SpaceParity:
        return SPACEPARITY;
    case Win32SerialPort::NoParity:
        break;
    }
    return NOPARITY;
}

BYTE stopBitsCode(Win32SerialPort::StopBits bits)
{
    switch (bits) {
    case Win32SerialPort::OneAndHalfStop:
        return ONE5STOPBITS;
    case Win32SerialPort::TwoStop:
        return TWOSTOPBITS;
    case Win32SerialPort::OneStop:
        break;
    }
    return ONESTOPBIT;
}

// Sets the line: speed and framing as given, no flow control, the modem lines
// raised as a terminal raises them.
bool setLine(HANDLE port, qint32 baudRate, Win32SerialPort::DataBits dataBits,
    Win32SerialPort::Parity parity, Win32SerialPort::StopBits stopBits)
{
    DCB line {};
    line.DCBlength = sizeof line;
    if (!GetCommState(port, &line))
        return false;
    line.BaudRate = DWORD(baudRate);
    line.ByteSize = BYTE(dataBits);
    line.Parity = parityCode(parity);
    line.fParity = parity != Win32SerialPort::NoParity;
    line.StopBits = stopBitsCode(stopBits);
    line.fBinary = TRUE;
    line.fOutxCtsFlow = FALSE;
    line.fOutxDsrFlow = FALSE;
    line.fDsrSensitivity = FALSE;
    line.fOutX = FALSE;
    line.fInX = FALSE;
    line.fNull = FALSE;
    line.fAbortOnError = FALSE;
    line.fDtrControl = DTR_CONTROL_ENABLE;
    line.fRtsControl = RTS_CONTROL_ENABLE;
    return SetCommState(port, &line);
}

} // namespace

Win32SerialPort::Win32SerialPort(QObject *parent)
    : QObject(parent)
    , m_notices(new DeviceNotices(this))
{
    connect(m_notices, &DeviceNotices::removed, this, &Win32SerialPort::deviceRemoved);
}

Win32SerialPort::~Win32SerialPort()
{
    close();
}

bool Win32SerialPort::isOpen() const
{
    return m_reader != nullptr;
}

void Win32SerialPort::fail(SerialPortError error, unsigned long code)
{
    m_error = error;
    m_errorString = systemMessage(code);
}

bool Win32SerialPort::open(QIODevice::OpenMode mode)
{
    Q_UNUSED(mode);
    if (m_reader) {
        m_error = OpenError;
        m_errorString = QStringLiteral("порт уже открыт");
        return false;
    }
    // Windows gives a COM port to one program at a time.
    const HANDLE port = CreateFileW(reinterpret_cast<const wchar_t *>(m_name.utf16()), GENERIC_READ,
        0, nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    if (port == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        switch (code) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            fail(DeviceNotFoundError, code);
            break;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
            fail(PermissionError, code);
            break;
        default:
            fail(OpenError, code);
        }
        return false;
    }
    const bool set = setLine(port, m_baudRate, m_dataBits, m_parity, m_stopBits);
    if (!set) {
        fail(UnsupportedOperationError, GetLastError());
        CloseHandle(port);
        return false;
    }
    // A read waits for the first byte, then returns as soon as the line pauses:
    // bytes are handed on as they come, a burst in one piece.
    COMMTIMEOUTS timeouts {};
    timeouts.ReadIntervalTimeout = 1;
    if (!SetCommTimeouts(port, &timeouts)) {
        fail(OpenError, GetLastError());
        CloseHandle(port);
        return false;
    }
    PurgeComm(port, PURGE_RXCLEAR);
    // The thread tells through these for as long as the port listens to it; the
    // notifications come to this object's thread, so they never outlive it.
    const int generation = ++m_generation;
    auto reader = std::make_shared<Win32PortReader>(
        port,
        [this, generation] {
            QMetaObject::invokeMethod(
                this, [this, generation] { announce(generation); }, Qt::QueuedConnection);
        },
        [this, generation](unsigned long code) {
            QMetaObject::invokeMethod(
                this, [this, generation, code] { lost(generation, code); }, Qt::QueuedConnection);
        });
    m_notices->watch(port);
    if (!runDetached([reader] { Win32PortReader::run(reader); })) {
        m_notices->forget(port);
        fail(OpenError, ERROR_NOT_ENOUGH_MEMORY);
        CloseHandle(port);
        return false;
    }
    m_reader = std::move(reader);
    m_error = NoError;
    m_errorString.clear();
    return true;
}

void Win32SerialPort::close()
{
    if (!m_reader)
        return;
    ++m_generation;
    m_notices->forget(m_reader->port());
    m_reader->leave();
    m_reader->finished(CloseWait);
    m_reader.reset();
    m_taken.clear();
    m_lostCode = 0;
}

QByteArray Win32SerialPort::readAll()
{
    QByteArray bytes = std::exchange(m_taken, {});
    // The rest is announced on a later pass of the event loop, a read at a time:
    // the window stays free between the pieces, and a loss comes after them all.
    if (m_reader && !m_reader->announceAgain() && m_lostCode) {
        const int generation = m_generation;
        const unsigned long code = std::exchange(m_lostCode, 0);
        QMetaObject::invokeMethod(
            this, [this, generation, code] { report(generation, code); }, Qt::QueuedConnection);
    }
    return bytes;
}

bool Win32SerialPort::waitForReadyRead(int msecs)
{
    Q_UNUSED(msecs);
    return m_reader && m_reader->take(m_taken);
}

void Win32SerialPort::clearError()
{
    m_error = NoError;
    m_errorString.clear();
}

void Win32SerialPort::announce(int generation)
{
    if (generation != m_generation || !m_reader)
        return;
    m_reader->announced();
    if (m_reader->take(m_taken))
        emit readyRead();
}

void Win32SerialPort::lost(int generation, unsigned long code)
{
    if (generation != m_generation || !m_reader)
        return;
    // What the device delivered before it went is announced first.
    if (m_taken.isEmpty() && !m_reader->waiting())
        report(generation, code);
    else
        m_lostCode = code;
}

void Win32SerialPort::report(int generation, unsigned long code)
{
    if (generation != m_generation || !m_reader)
        return;
    fail(ReadError, code);
    emit errorOccurred(ReadError);
}

void Win32SerialPort::deviceRemoved(void *handle)
{
    if (!m_reader || handle != m_reader->port())
        return;
    // Windows removes the device once every handle on it is closed: the thread
    // closes it now, and tells of the loss as of a failing read.
    m_reader->deviceRemoved();
    m_reader->finished(CloseWait);
}
