#include "serial/win32serialport.h"

#include <QMetaObject>

#include <mutex>
#include <thread>
#include <utility>

#include <windows.h>

namespace {

// The reads' buffer: a fast device's burst fits one read.
constexpr DWORD ReadSize = 64 * 1024;

QString systemMessage(DWORD code)
{
    wchar_t *text = nullptr;
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM
            | FORMAT_MESSAGE_IGNORE_INSERTS,
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

} // namespace

// The open device and the thread that reads it. The thread owns nothing of the
// window's: it appends to a buffer under a lock and posts a notification when
// the buffer was empty, or one that the device went away.
struct Win32SerialPort::Reader
{
    HANDLE port = INVALID_HANDLE_VALUE;
    HANDLE stop = nullptr;
    std::thread thread;
    std::mutex lock;
    QByteArray received;
    bool announced = false;

    ~Reader()
    {
        SetEvent(stop);
        if (thread.joinable())
            thread.join();
        CloseHandle(port);
        CloseHandle(stop);
    }

    void run(Win32SerialPort *owner, int generation)
    {
        OVERLAPPED done {};
        done.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        QByteArray buffer(ReadSize, Qt::Uninitialized);
        DWORD failure = 0;
        for (;;) {
            DWORD got = 0;
            ResetEvent(done.hEvent);
            if (!ReadFile(port, buffer.data(), ReadSize, &got, &done)) {
                failure = GetLastError();
                if (failure != ERROR_IO_PENDING)
                    break;
                const HANDLE events[2] = { done.hEvent, stop };
                if (WaitForMultipleObjects(2, events, FALSE, INFINITE) != WAIT_OBJECT_0) {
                    CancelIoEx(port, &done);
                    GetOverlappedResult(port, &done, &got, TRUE);
                    failure = 0;
                    break;
                }
                failure = GetOverlappedResult(port, &done, &got, FALSE) ? 0 : GetLastError();
                if (failure)
                    break;
            }
            if (got > 0) {
                const std::lock_guard guard(lock);
                received.append(buffer.constData(), got);
                if (!std::exchange(announced, true))
                    QMetaObject::invokeMethod(
                        owner, [owner, generation] { owner->announce(generation); },
                        Qt::QueuedConnection);
            } else if (DWORD errors = 0; !ClearCommError(port, &errors, nullptr)) {
                // A read that ends empty on a device that no longer answers.
                failure = GetLastError();
                break;
            }
        }
        CloseHandle(done.hEvent);
        if (failure && WaitForSingleObject(stop, 0) != WAIT_OBJECT_0)
            QMetaObject::invokeMethod(
                owner, [owner, generation, failure] { owner->lost(generation, failure); },
                Qt::QueuedConnection);
    }
};

Win32SerialPort::Win32SerialPort(QObject *parent)
    : QObject(parent)
{
}

Win32SerialPort::~Win32SerialPort() = default;

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
    DCB line {};
    line.DCBlength = sizeof line;
    bool set = GetCommState(port, &line);
    if (set) {
        line.BaudRate = DWORD(m_baudRate);
        line.ByteSize = BYTE(m_dataBits);
        line.Parity = parityCode(m_parity);
        line.fParity = m_parity != NoParity;
        line.StopBits = stopBitsCode(m_stopBits);
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
        set = SetCommState(port, &line);
    }
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
    auto reader = std::make_unique<Reader>();
    reader->port = port;
    reader->stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    const int generation = ++m_generation;
    Reader *raw = reader.get();
    reader->thread = std::thread([raw, this, generation] { raw->run(this, generation); });
    m_reader = std::move(reader);
    m_error = NoError;
    m_errorString.clear();
    return true;
}

void Win32SerialPort::close()
{
    // The thread's read is cancelled, not waited for.
    ++m_generation;
    m_reader.reset();
}

QByteArray Win32SerialPort::readAll()
{
    if (!m_reader)
        return {};
    const std::lock_guard guard(m_reader->lock);
    m_reader->announced = false;
    return std::exchange(m_reader->received, {});
}

qint64 Win32SerialPort::bytesAvailable() const
{
    if (!m_reader)
        return 0;
    const std::lock_guard guard(m_reader->lock);
    return m_reader->received.size();
}

void Win32SerialPort::clearError()
{
    m_error = NoError;
    m_errorString.clear();
}

void Win32SerialPort::announce(int generation)
{
    if (generation == m_generation && m_reader)
        emit readyRead();
}

void Win32SerialPort::lost(int generation, unsigned long code)
{
    if (generation != m_generation || !m_reader)
        return;
    fail(ReadError, code);
    emit errorOccurred(ReadError);
}
