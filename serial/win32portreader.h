#pragma once

#include <QByteArray>

#include <deque>
#include <functional>
#include <memory>
#include <mutex>

// What a serial port's reading thread shares with the port on the window's thread:
// the open device, the reads that wait for the window, and the events that stop
// the thread. The thread holds it as long as it runs, so that the port may leave
// a thread that a driver keeps waiting, and never be reached through it again.
// Windows only.
class Win32PortReader
{
public:
    // The most that waits for the window; reading pauses while it is reached, so
    // that the driver's buffer and the line's flow control hold the device back.
    static constexpr qint64 MaxWaiting = 1024 * 1024;
    // One read's size, as much as a terminal hands out in one read on Linux.
    static constexpr qint64 ReadSize = 4096;

    // Told on the reading thread with the lock held; empty once the port is left.
    using Notify = std::function<void()>;
    using Lost = std::function<void(unsigned long code)>;

    // Takes over port (a HANDLE opened for overlapped reads) and closes it.
    Win32PortReader(void *port, Notify announce, Lost lost);
    ~Win32PortReader();
    Win32PortReader(const Win32PortReader &) = delete;
    Win32PortReader &operator=(const Win32PortReader &) = delete;

    // The thread's body: reads until stopped or the device fails or goes, then
    // closes the device and tells of a failure (not of a stop).
    static void run(std::shared_ptr<Win32PortReader> reader);

    void *port() const { return m_port; }
    // Takes the oldest read waiting, false when none waits.
    bool take(QByteArray &into);
    bool waiting();
    // The window has the announce: the next read is announced again.
    void announced();
    // Announces once more when reads still wait (the window takes them a piece
    // at a time); false when none waits.
    bool announceAgain();
    // The device's removal notice: the thread ends as for a failing read.
    void deviceRemoved();
    // No more notifications; the thread ends as soon as its read returns.
    void leave();
    // Whether the thread ended (and closed the device) within msecs.
    bool finished(unsigned long msecs) const;

private:
    bool waitForRoom();
    bool readOnce(char *buffer, unsigned long &failure);
    void deliver(const char *bytes, unsigned long size);
    bool stopped() const;

    void *m_port;
    void *m_stop; // event: leave() or deviceRemoved()
    void *m_room; // event: the window took a read while reading paused
    void *m_done; // event: the thread has closed the device
    void *m_overlapped = nullptr;
    std::mutex m_lock;
    std::deque<QByteArray> m_reads;
    qint64 m_waiting = 0;
    bool m_announced = false;
    bool m_paused = false;
    bool m_removed = false;
    Notify m_announce;
    Lost m_lost;
};
