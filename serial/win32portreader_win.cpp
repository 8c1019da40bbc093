#include "serial/win32portreader.h"

#include <utility>

#include <windows.h>

namespace {

// How long the thread rests after a read that ended empty on a sound port: a
// driver that completes reads at once with nothing must not spin the processor.
constexpr DWORD EmptyReadRest = 50;

} // namespace

Win32PortReader::Win32PortReader(void *port, Notify announce, Lost lost)
    : m_port(port)
    , m_stop(CreateEventW(nullptr, TRUE, FALSE, nullptr))
    , m_room(CreateEventW(nullptr, FALSE, FALSE, nullptr))
    , m_done(CreateEventW(nullptr, TRUE, FALSE, nullptr))
    , m_announce(std::move(announce))
    , m_lost(std::move(lost))
{
}

Win32PortReader::~Win32PortReader()
{
    CloseHandle(m_stop);
    CloseHandle(m_room);
    CloseHandle(m_done);
}

void Win32PortReader::run(std::shared_ptr<Win32PortReader> reader)
{
    OVERLAPPED overlapped {};
    overlapped.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    reader->m_overlapped = &overlapped;
    // The read's buffer and its OVERLAPPED stay here until the driver has given
    // the read back, however long that takes.
    auto buffer = std::make_unique<char[]>(ReadSize);
    unsigned long failure = 0;
    while (!reader->stopped() && reader->waitForRoom() && reader->readOnce(buffer.get(), failure)) {
    }
    CloseHandle(overlapped.hEvent);
    CloseHandle(reader->m_port);
    {
        const std::lock_guard guard(reader->m_lock);
        if (reader->m_removed && !failure)
            failure = ERROR_DEVICE_REMOVED;
        if (failure && reader->m_lost)
            reader->m_lost(failure);
    }
    SetEvent(reader->m_done);
}

bool Win32PortReader::stopped() const
{
    return WaitForSingleObject(m_stop, 0) == WAIT_OBJECT_0;
}

bool Win32PortReader::waitForRoom()
{
    for (;;) {
        {
            const std::lock_guard guard(m_lock);
            if (m_waiting + ReadSize <= MaxWaiting)
                return true;
            m_paused = true;
        }
        const HANDLE events[2] = { m_room, m_stop };
        if (WaitForMultipleObjects(2, events, FALSE, INFINITE) != WAIT_OBJECT_0)
            return false;
    }
}

bool Win32PortReader::readOnce(char *buffer, unsigned long &failure)
{
    auto *overlapped = static_cast<OVERLAPPED *>(m_overlapped);
    ResetEvent(overlapped->hEvent);
    bool stopping = false;
    if (!ReadFile(m_port, buffer, DWORD(ReadSize), nullptr, overlapped)) {
        if (const DWORD code = GetLastError(); code != ERROR_IO_PENDING) {
            failure = code;
            return false;
        }
        const HANDLE events[2] = { overlapped->hEvent, m_stop };
        stopping = WaitForMultipleObjects(2, events, FALSE, INFINITE) != WAIT_OBJECT_0;
        if (stopping)
            CancelIoEx(m_port, overlapped);
    }
    DWORD got = 0;
    const bool read = GetOverlappedResult(m_port, overlapped, &got, TRUE);
    const DWORD code = read ? 0 : GetLastError();
    // What a cancelled or failed read got before it ended is delivered too.
    deliver(buffer, got);
    if (stopping)
        return false;
    if (!read) {
        failure = code;
        return false;
    }
    if (got > 0)
        return true;
    // A read that ends empty: on a device that no longer answers, the port's
    // state cannot be read either.
    if (DWORD errors = 0; !ClearCommError(m_port, &errors, nullptr)) {
        failure = GetLastError();
        return false;
    }
    return WaitForSingleObject(m_stop, EmptyReadRest) == WAIT_TIMEOUT;
}

void Win32PortReader::deliver(const char *bytes, unsigned long size)
{
    if (size == 0)
        return;
    const std::lock_guard guard(m_lock);
    m_reads.emplace_back(bytes, qsizetype(size));
    m_waiting += size;
    if (!m_announced && m_announce) {
        m_announced = true;
        m_announce();
    }
}

bool Win32PortReader::take(QByteArray &into)
{
    const std::lock_guard guard(m_lock);
    if (m_reads.empty())
        return false;
    into += m_reads.front();
    m_waiting -= m_reads.front().size();
    m_reads.pop_front();
    if (m_paused && m_waiting + ReadSize <= MaxWaiting) {
        m_paused = false;
        SetEvent(m_room);
    }
    return true;
}

bool Win32PortReader::waiting()
{
    const std::lock_guard guard(m_lock);
    return !m_reads.empty();
}

void Win32PortReader::announced()
{
    const std::lock_guard guard(m_lock);
    m_announced = false;
}

bool Win32PortReader::announceAgain()
{
    const std::lock_guard guard(m_lock);
    if (m_reads.empty())
        return false;
    if (!m_announced && m_announce) {
        m_announced = true;
        m_announce();
    }
    return true;
}

void Win32PortReader::deviceRemoved()
{
    const std::lock_guard guard(m_lock);
    m_removed = true;
    SetEvent(m_stop);
}

void Win32PortReader::leave()
{
    const std::lock_guard guard(m_lock);
    m_announce = nullptr;
    m_lost = nullptr;
    SetEvent(m_stop);
}

bool Win32PortReader::finished(unsigned long msecs) const
{
    return WaitForSingleObject(m_done, msecs) == WAIT_OBJECT_0;
}
